// The in-memory summary of a loaded log: one EventEntry per record, the two
// order arrays and the record area the entries point into.
#pragma once

#include <cstdint>

struct EventEntry {
    uint16_t type;
    char date[11];          // yyyy/mm/dd
    char time[9];           // hh:mm:ss
    char computer[18];
    uint32_t computerLength;
    uint16_t component;     // 1..5
    uint16_t module;        // 0..7
    const uint8_t* record;  // the record inside recordArea
    uint32_t visible;
};

struct EventTable {
    EventEntry* entries;
    EventEntry** fileOrder;     // slot 0 the newest event
    EventEntry** displayOrder;  // the list's order, filled by OrderEvents
    EventEntry** visibleRows;   // the displayOrder entries that pass the filter
    uint32_t visibleCount;
    uint8_t* recordArea;        // buffer position 0 is file offset 88
    uint32_t recordAreaSize;
    uint32_t loadedCount;
};

void ReleaseEventTable(EventTable* table);

// Rebuilds visibleRows from displayOrder and the visible flags, in one pass.
void BuildVisibleRows(EventTable* table);
