#include "dialogs/find_win32.h"

#include <cstring>

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "dialogs/find.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"

namespace {

// After a question or a failed search the Find dialog's first box takes the
// focus again; F3 leaves it where it was, with the main window.
void GiveFocusBack(HWND window) {
    if (window != g_mainWindow) SetFocus(GetDlgItem(window, IDC_FIND_INFORMATION));
}

// The window that started the search takes no input while its question or
// message is up; the search itself runs under the wait cursor.
int AskFindWrap(void* window, int messageId) {
    EnableWindow(HWND(window), FALSE);
    const int answer = AskOkCancel(UINT(messageId));
    EnableWindow(HWND(window), TRUE);
    GiveFocusBack(HWND(window));
    SetCursor(g_waitCursor);
    return answer == IDOK;
}

void ShowFindFailure(void* window, int messageId) {
    EnableWindow(HWND(window), FALSE);
    ShowErrorMessage(UINT(messageId));
    EnableWindow(HWND(window), TRUE);
}

void ShowCriteria(HWND dialog, const FindCriteria& c) {
    FillComponentCombo(GetDlgItem(dialog, IDC_FIND_COMPONENT), c.componentIndex);
    FillModuleCombo(GetDlgItem(dialog, IDC_FIND_MODULE), c.moduleIndex);
    SetButtonChecked(dialog, IDC_FIND_INFORMATION, c.informationType == kTypeInformation);
    SetButtonChecked(dialog, IDC_FIND_WARNING, c.warningType == kTypeWarning);
    SetButtonChecked(dialog, IDC_FIND_ERROR, c.errorType == kTypeError);
    SetButtonChecked(dialog, IDC_FIND_UP, c.direction == kFindUp);
    SetButtonChecked(dialog, IDC_FIND_DOWN, c.direction != kFindUp);
    SetPlainText(GetDlgItem(dialog, IDC_FIND_DESCRIPTION), c.descriptionText);
}

// The controls as criteria; the text keeps at most 255 bytes of whole characters.
void StoreCriteria(HWND dialog, FindCriteria* c) {
    c->componentIndex = SelectedComboData(GetDlgItem(dialog, IDC_FIND_COMPONENT));
    c->moduleIndex = SelectedComboData(GetDlgItem(dialog, IDC_FIND_MODULE));
    c->informationType = ButtonChecked(dialog, IDC_FIND_INFORMATION) ? kTypeInformation : 0;
    c->warningType = ButtonChecked(dialog, IDC_FIND_WARNING) ? kTypeWarning : 0;
    c->errorType = ButtonChecked(dialog, IDC_FIND_ERROR) ? kTypeError : 0;
    char text[2 * kFindTextSize + 2] = "";
    GetDlgItemTextA(dialog, IDC_FIND_DESCRIPTION, text, sizeof text);
    const size_t n = WholeCharsPrefix(*g_viewer.codePage, text, kFindTextSize - 1);
    memcpy(c->descriptionText, text, n);
    c->descriptionText[n] = '\0';
    c->direction = ButtonChecked(dialog, IDC_FIND_DOWN) ? kFindDown : kFindUp;
}

BOOL OnInitFindDialog(HWND dialog) {
    BeginDialogFrame(dialog);
    SendDlgItemMessageA(dialog, IDC_FIND_DESCRIPTION, EM_LIMITTEXT, kFindTextSize, 0);
    ShowCriteria(dialog, g_findCriteria);
    SetFocus(GetDlgItem(dialog, IDC_FIND_INFORMATION));
    return FALSE;   // the focus is set
}

void OnClearFindDialog(HWND dialog) {
    FindCriteria defaults = DefaultFindCriteria();
    ShowCriteria(dialog, defaults);
}

void OnFindNextClicked(HWND dialog) {
    StoreCriteria(dialog, &g_findCriteria);
    if (FindNextEvent(dialog)) {
        EndModelessDialog(dialog);
    } else {
        GiveFocusBack(dialog);
    }
}

}  // namespace

void OpenFindDialog() {
    CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_FIND), g_mainWindow, FindDialog, 0);
}

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

INT_PTR CALLBACK FindDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitFindDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FIND_NEXT: OnFindNextClicked(dialog); return TRUE;
        case IDC_FIND_CLEAR: OnClearFindDialog(dialog); return TRUE;
        case IDC_FIND_HELP: ShowHelpContext(dialog, IDH_FIND); return TRUE;
        case IDCANCEL: EndModelessDialog(dialog); return TRUE;
        default: return FALSE;
        }
    default:
        return FALSE;
    }
}
