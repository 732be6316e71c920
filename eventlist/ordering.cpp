#include "eventlist/ordering.h"

#include <cstring>

#include "eventlist/filter.h"

int CompareModuleNames(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        unsigned x = *p, y = *q;
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

void OrderEvents(EventTable* table, uint32_t order) {
    const uint32_t n = table->loadedCount;
    EventEntry** out = table->displayOrder;
    EventEntry* const* in = table->fileOrder;
    if (n == 0) return;
    if (order == kOrderNewestFirst) {
        memcpy(out, in, n * sizeof *out);
        return;
    }
    if (order == kOrderOldestFirst) {
        for (uint32_t i = 0; i < n; ++i) out[i] = in[n - 1 - i];
        return;
    }
    // Only eight module codes exist, so a stable counting pass gives exactly
    // the array a stable comparison sort of the names would.
    constexpr int kCodes = kModuleNameCount - 1;
    int rank[kCodes];
    for (int c = 0; c < kCodes; ++c) {
        rank[c] = 0;
        for (int d = 0; d < kCodes; ++d) {
            if (CompareModuleNames(ModuleName(uint16_t(d)), ModuleName(uint16_t(c))) < 0) ++rank[c];
        }
    }
    // Codes with equal names share a rank and so one bucket, keeping file order.
    uint32_t start[kCodes + 1] = {};
    for (uint32_t i = 0; i < n; ++i) ++start[rank[in[i]->module & 7] + 1];
    for (int r = 0; r < kCodes; ++r) start[r + 1] += start[r];
    for (uint32_t i = 0; i < n; ++i) out[start[rank[in[i]->module & 7]]++] = in[i];
}

uint32_t ToggledTimeOrder(uint32_t current) {
    return current == kOrderNewestFirst ? kOrderOldestFirst : kOrderNewestFirst;
}

uint32_t RestoredOrder(uint32_t stored) {
    return stored == kOrderOldestFirst || stored == kOrderModule ? stored : kOrderNewestFirst;
}

int RequestOrder(ViewerState* state, uint32_t order, uintptr_t listFlag, UiEffects* fx) {
    if (state->sortOrder >= kOrderNewestFirst && state->sortOrder <= kOrderModule) {
        AddMenuChange(fx, uint16_t(state->sortOrder), kMenuUncheck);
    }
    AddMenuChange(fx, uint16_t(order), kMenuCheck);
    if (state->table.loadedCount == 0) {
        state->sortOrder = order;
        return kOrderStored;
    }
    if (order == state->sortOrder) return kOrderSelectFirstRow;
    state->sortOrder = order;
    OrderEvents(&state->table, order);
    if (listFlag != 1) BuildVisibleRows(&state->table);
    return kOrderArranged;
}
