// The three orders of the list and the sort request that the menu, the
// context menu, the header and the reload all go through.
#pragma once

#include <cstdint>

#include "app/ui_effects.h"
#include "app/viewer_state.h"

// Case-insensitive byte comparison of module names: ASCII letters folded to
// lower case, other bytes unsigned, a prefix sorts first.
int CompareModuleNames(const char* a, const char* b);

// Rearranges displayOrder: 112 newest first, 113 oldest first, anything else
// by module name (stable; equal names keep newest-first order). O(N).
void OrderEvents(EventTable* table, uint32_t order);

enum OrderRequestResult {
    kOrderStored,          // no events: only the order and the check mark changed
    kOrderSelectFirstRow,  // the order was current: select row 0
    kOrderArranged,        // displayOrder rearranged; the list needs filling unless listFlag is 1
};

// The sort request for order X (commands 112 to 114 and the header toggle).
// When the arrays were rearranged and listFlag is not 1 the visible rows are
// rebuilt too, so the caller only refills the list.
int RequestOrder(ViewerState* state, uint32_t order, uintptr_t listFlag, UiEffects* fx);

// The header's Date/Time click: newest first gives oldest first, anything else newest first.
uint32_t ToggledTimeOrder(uint32_t current);

// The order the reload re-applies: 113 and 114 stay, anything else is 112.
uint32_t RestoredOrder(uint32_t stored);
