// Filter conditions, the name tables shared by the list, the dialogs and the
// printout, and the test that marks each entry shown or hidden.
#pragma once

#include <cstdint>

#include "app/ui_effects.h"
#include "logfile/event_table.h"
#include "logfile/log_format.h"

constexpr int kStampSize = 18;   // yyyy/mm/ddhh:mm:ss, no terminator

struct ViewRange {
    char firstEvent[kStampSize];
    char lastEvent[kStampSize];
    char from[kStampSize];
    char through[kStampSize];
};

// Texts that come from the string table; English until start-up sets them.
struct ViewTexts {
    const char* all;            // 24 "(All)"
    const char* totalPrefix;    // 51 "Total number of Event"
    const char* writeProhibit;  // 52 "Write Prohibit"
    const char* filter;         // 53 "Filter"
    const char* unopened;       // 50 "File Unopened     "
};
extern ViewTexts g_viewTexts;

constexpr int kComponentNameSize = 24;
constexpr int kComponentNameCount = 6;
constexpr int kModuleNameCount = 9;
// Long component names, 22 characters padded with blanks; slot 0 is "(All)".
extern char g_componentNames[kComponentNameCount][kComponentNameSize];
// Short module names; slot k+1 names module code k, slot 0 is "(All)".
extern const char* g_moduleNames[kModuleNameCount];
// Type names indexed by type code - 1; the slot of code 3 is empty.
extern const char* g_typeNames[4];

// Start-up: the "(All)" text into both tables' slot 0, and the type names.
void SetAllText(const char* all);
void SetTypeNames(const char* error, const char* warning, const char* information);

const char* TypeName(uint16_t type);        // "" for codes without a name
const char* ComponentName(uint16_t component);
const char* ModuleName(uint16_t module);

struct ViewerState;

// The filter's test of one entry against the conditions and the range.
bool EntryPassesFilter(const EventEntry& e, const ViewConditions& c, const ViewRange& r);

// Marks every entry from the current conditions and range, rebuilds the
// visible rows and reports the filtered count. Returns the shown count.
uint32_t ApplyFilter(ViewerState* state, UiEffects* fx);

// Status part 0 and 2 texts and the Print/Find/Detail items. mode 1: filtered.
void ShowEventCount(ViewerState* state, int mode, UiEffects* fx);

// All Events (command 110). Returns 1 when only the first row is to be
// selected (already showing all events), 0 when the list was rebuilt.
int ShowAllEvents(ViewerState* state, UiEffects* fx);

// Command 1124: check marks, view mode 111, then ApplyFilter.
void ApplyFilterCommand(ViewerState* state, UiEffects* fx);

// "%s%ld" of string 51 and a count, into a buffer of kStatusTextSize.
void FormatEventCount(uint32_t count, char* out);
