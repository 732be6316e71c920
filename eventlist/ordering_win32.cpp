#include "eventlist/ordering_win32.h"

#include <windows.h>

#include "app/main_window_win32.h"
#include "eventlist/panes_win32.h"

void FillEventList() {
    SendMessageA(g_eventList, LB_SETCOUNT, WPARAM(g_viewer.table.visibleCount), 0);
    SendMessageA(g_eventList, LB_SETCURSEL, 0, 0);
}

void ResetEventList() { SendMessageA(g_eventList, LB_SETCOUNT, 0, 0); }

EventEntry* SelectedEntry() {
    const LRESULT row = SendMessageA(g_eventList, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR || row < 0 || uint32_t(row) >= g_viewer.table.visibleCount) return nullptr;
    return g_viewer.table.visibleRows[row];
}
