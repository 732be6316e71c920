#include "logfile/event_table.h"

#include <cstdlib>
#include <cstring>

void ReleaseEventTable(EventTable* table) {
    free(table->entries);
    free(table->fileOrder);
    free(table->displayOrder);
    free(table->visibleRows);
    free(table->recordArea);
    memset(table, 0, sizeof *table);
}

void BuildVisibleRows(EventTable* table) {
    EventEntry** out = table->visibleRows;
    EventEntry* const* in = table->displayOrder;
    const uint32_t n = table->loadedCount;
    uint32_t shown = 0;
    // Branch-free: always store, advance only past visible entries.
    for (uint32_t i = 0; i < n; ++i) {
        EventEntry* e = in[i];
        out[shown] = e;
        shown += e->visible != 0;
    }
    table->visibleCount = shown;
}
