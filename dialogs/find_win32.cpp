#include "dialogs/find_win32.h"

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "dialogs/find.h"
#include "eventlist/panes_win32.h"

namespace {

// The window that started the search takes no input while its question or
// message is up; the search itself runs under the wait cursor.
int AskFindWrap(void* window, int messageId) {
    EnableWindow(HWND(window), FALSE);
    const int answer = AskOkCancel(UINT(messageId));
    EnableWindow(HWND(window), TRUE);
    SetCursor(g_waitCursor);
    return answer == IDOK;
}

void ShowFindFailure(void* window, int messageId) {
    EnableWindow(HWND(window), FALSE);
    ShowErrorMessage(UINT(messageId));
    EnableWindow(HWND(window), TRUE);
}

}  // namespace

void OpenFindDialog() {}

int FindNextEvent(HWND window) {
    SetCursor(g_waitCursor);
    const LRESULT current = SendMessageA(g_eventList, LB_GETCURSEL, 0, 0);
    const FindPrompts prompts = {window, AskFindWrap, ShowFindFailure};
    const int32_t row = FindNextRow(g_viewer.table.visibleRows, g_viewer.table.visibleCount,
                                    current == LB_ERR ? -1 : int32_t(current), g_findCriteria,
                                    *g_viewer.codePage, prompts);
    if (row >= 0) SendMessageA(g_eventList, LB_SETCURSEL, WPARAM(row), 0);
    SetCursor(g_arrowCursor);
    return row >= 0;
}

INT_PTR CALLBACK FindDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
