#include "eventlist/filter.h"

#include <cstdio>
#include <cstring>

#include "app/viewer_state.h"

ViewTexts g_viewTexts = {"(All)", "Total number of Event", "Write Prohibit", "Filter", "File Unopened     "};

char g_componentNames[kComponentNameCount][kComponentNameSize] = {
    "(All)",
    "HALDOR/PERN           ",
    "HALDOR/TOLVA          ",
    "HALDOR/BORAXLIN       ",
    "Setup Tool            ",
    "unknown               ",
};

const char* g_moduleNames[kModuleNameCount] = {
    "(All)",          "HALDOR/PERN",     "HALDOR/PERN", "HALDOR/TOLVA", "HALDOR/TOLVA",
    "HALDOR/BORAXLIN", "HALDOR/BORAXLIN", "HALKESTR",    "unknown",
};

const char* g_typeNames[4] = {"Error", "Warning  ", nullptr, "Information"};

void SetAllText(const char* all) {
    g_viewTexts.all = all;
    g_moduleNames[0] = all;
    // The slot is 24 bytes; a longer translation is cut rather than overrun.
    snprintf(g_componentNames[0], kComponentNameSize, "%s", all);
}

void SetTypeNames(const char* error, const char* warning, const char* information) {
    g_typeNames[0] = error;
    g_typeNames[1] = warning;
    g_typeNames[3] = information;
}

const char* TypeName(uint16_t type) {
    if (type < 1 || type > 4 || g_typeNames[type - 1] == nullptr) return "";
    return g_typeNames[type - 1];
}

const char* ComponentName(uint16_t component) {
    return component < kComponentNameCount ? g_componentNames[component] : "";
}

const char* ModuleName(uint16_t module) {
    return module + 1 < kModuleNameCount ? g_moduleNames[module + 1] : "";
}

void FormatEventCount(uint32_t count, char* out) {
    snprintf(out, kStatusTextSize, "%s%ld", g_viewTexts.totalPrefix, long(count));
}

void ShowEventCount(ViewerState* state, int mode, UiEffects* fx) {
    const uint16_t items[] = {104, 115, 116};
    char text[kStatusTextSize];
    if (mode == 1) {
        AddMenuChanges(fx, items, 3, state->shownCount != 0 ? kMenuEnable : kMenuGray);
        FormatEventCount(state->shownCount, text);
        SetStatusText(fx, 2, g_viewTexts.filter);
    } else {
        if (state->table.loadedCount != 0) AddMenuChanges(fx, items, 3, kMenuEnable);
        FormatEventCount(state->table.loadedCount, text);
        SetStatusText(fx, 2, "");
    }
    SetStatusText(fx, 0, text);
}

bool EntryPassesFilter(const EventEntry& e, const ViewConditions& c, const ViewRange& r) {
    if (e.type != c.errorType && e.type != c.warningType && e.type != c.informationType) return false;
    // Stamps are fixed-width digit texts, so comparing bytes compares time.
    if (c.fromIsStamp != 0) {
        int d = memcmp(e.date, r.from, 10);
        if (d < 0 || (d == 0 && memcmp(e.time, r.from + 10, 8) < 0)) return false;
    }
    if (c.throughIsStamp != 0) {
        int d = memcmp(e.date, r.through, 10);
        if (d > 0 || (d == 0 && memcmp(e.time, r.through + 10, 8) > 0)) return false;
    }
    if (c.moduleIndex != 0 && e.module != c.moduleIndex - 1) return false;
    if (c.componentIndex != 0 && e.component != c.componentIndex) return false;
    return true;
}

uint32_t ApplyFilter(ViewerState* state, UiEffects* fx) {
    EventTable& t = state->table;
    const ViewConditions& c = state->conditions;
    const ViewRange& r = state->range;
    uint32_t shown = 0;
    const uint32_t n = t.loadedCount;
    for (uint32_t i = 0; i < n; ++i) {
        EventEntry* e = t.displayOrder[i];
        e->visible = 0;
        if (!EntryPassesFilter(*e, c, r)) continue;
        e->visible = 1;
        t.visibleRows[shown++] = e;
    }
    t.visibleCount = shown;
    state->shownCount = shown;
    ShowEventCount(state, 1, fx);
    return shown;
}

void ApplyFilterCommand(ViewerState* state, UiEffects* fx) {
    AddMenuChange(fx, kViewAllEvents, kMenuUncheck);
    AddMenuChange(fx, kViewFiltered, kMenuCheck);
    state->viewMode = kViewFiltered;
    ApplyFilter(state, fx);
}

int ShowAllEvents(ViewerState* state, UiEffects* fx) {
    if (state->viewMode == kViewAllEvents) return 1;
    AddMenuChange(fx, kViewFiltered, kMenuUncheck);
    AddMenuChange(fx, kViewAllEvents, kMenuCheck);
    state->viewMode = kViewAllEvents;
    EventTable& t = state->table;
    for (uint32_t i = 0; i < t.loadedCount; ++i) t.displayOrder[i]->visible = 1;
    if (t.loadedCount != 0) memcpy(t.visibleRows, t.displayOrder, t.loadedCount * sizeof *t.visibleRows);
    t.visibleCount = t.loadedCount;
    state->shownCount = t.loadedCount;
    ShowEventCount(state, 0, fx);
    // Back to the start-up conditions; the range stays as it is.
    state->conditions.componentIndex = 0;
    state->conditions.sortOrder = 0;
    state->conditions.moduleIndex = 0;
    state->conditions.informationType = kTypeInformation;
    state->conditions.fromIsStamp = 0;
    state->conditions.throughIsStamp = 0;
    state->conditions.warningType = kTypeWarning;
    state->conditions.errorType = kTypeError;
    return 0;
}
