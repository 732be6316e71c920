#include "dialogs/event_detail_win32.h"

#include <richedit.h>

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "app/startup_win32.h"
#include "dialogs/event_detail.h"
#include "dialogs/printing_win32.h"
#include "eventlist/ordering_win32.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"

namespace {

// The description is handed to its view from this copy: the record in
// memory is never changed.
char g_shownDescription[kShownDescriptionSize];

// The controls that only mean something when the event has data.
const int kDataControls[] = {IDC_DETAIL_DATA_LABEL, IDC_DETAIL_DATA, IDC_DETAIL_BYTE, IDC_DETAIL_WORD};

// The dump's columns line up only in a fixed-pitch font: a copy of the dialog
// font when it is one, else a fixed-pitch font of its size and character set.
// Made once and kept for the run; the dialog's own font dies with the dialog.
HFONT g_dumpFont;

// The data view's text limit and font, for the view of the template and for
// each view put in its place.
void PrepareDataView(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_DETAIL_DATA, EM_EXLIMITTEXT, 0, LPARAM(kWorkBufferSize));
    if (g_dumpFont == nullptr) {
        HFONT font = HFONT(SendMessageA(dialog, WM_GETFONT, 0, 0));
        HDC dc = GetDC(dialog);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
        LOGFONTA lf = {};
        GetObjectA(font, sizeof lf, &lf);
        // TMPF_FIXED_PITCH set means a variable pitch.
        if ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0) {
            lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            lf.lfFaceName[0] = '\0';
        }
        g_dumpFont = CreateFontIndirectA(&lf);
    }
    if (g_dumpFont != nullptr) SendDlgItemMessageA(dialog, IDC_DETAIL_DATA, WM_SETFONT, WPARAM(g_dumpFont), FALSE);
}

void FocusDescription(HWND dialog) {
    SendMessageA(dialog, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION)), TRUE);
}

// Empties the data view by putting a new, empty one in its place. Some rich
// edit implementations take time that grows with the square of the line count
// to delete text (half a minute for a full dump under Wine), while a view of
// any size is destroyed at once.
void EmptyDataView(HWND dialog) {
    HWND old = GetDlgItem(dialog, IDC_DETAIL_DATA);
    if (GetWindowTextLengthA(old) == 0) return;
    RECT r;
    GetWindowRect(old, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    HWND view = CreateWindowExA(DWORD(GetWindowLongPtrA(old, GWL_EXSTYLE)), "RICHEDIT", "",
                                DWORD(GetWindowLongPtrA(old, GWL_STYLE)), r.left, r.top, r.right - r.left,
                                r.bottom - r.top, dialog, HMENU(INT_PTR(IDC_DETAIL_DATA)), g_instance, nullptr);
    if (view == nullptr) {
        SetPlainText(old, "");
        return;
    }
    // Right after the old view in the tab order.
    SetWindowPos(view, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool hadFocus = GetFocus() == old;
    DestroyWindow(old);
    PrepareDataView(dialog);
    if (hadFocus) SendMessageA(dialog, WM_NEXTDLGCTL, WPARAM(view), TRUE);
}

void ShowDump(HWND dialog, const EventEntry* e, DumpLayout layout) {
    if (e == nullptr) return;
    FormatEventDump(e->record, layout, *g_viewer.codePage, g_workBuffer);
    SetCursor(g_waitCursor);
    EmptyDataView(dialog);
    SetPlainText(GetDlgItem(dialog, IDC_DETAIL_DATA), g_workBuffer);
    SetCursor(g_arrowCursor);
}

// Every field and both views from one entry, in the Byte layout.
void FillEventDetail(HWND dialog, const EventEntry* e) {
    if (e == nullptr) return;
    const DetailFields f = EventDetailFields(*e);
    SetDlgItemTextA(dialog, IDC_DETAIL_DATE, f.date);
    SetDlgItemTextA(dialog, IDC_DETAIL_TIME, f.time);
    SetDlgItemTextA(dialog, IDC_DETAIL_COMPUTER, f.computer);
    SetDlgItemTextA(dialog, IDC_DETAIL_COMPONENT, f.component);
    SetDlgItemTextA(dialog, IDC_DETAIL_MODULE, f.module);
    SetDlgItemTextA(dialog, IDC_DETAIL_TYPE, f.type);
    CopyShownDescription(e->record, *g_viewer.codePage, g_shownDescription);
    SetCursor(g_waitCursor);
    SetPlainText(GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION), g_shownDescription);
    SetCursor(g_arrowCursor);

    CheckRadioButton(dialog, IDC_DETAIL_BYTE, IDC_DETAIL_WORD, IDC_DETAIL_BYTE);
    EmptyDataView(dialog);
    const BOOL hasData = EventHasData(e->record) ? TRUE : FALSE;
    for (int id : kDataControls) EnableWindow(GetDlgItem(dialog, id), hasData);
    if (hasData) ShowDump(dialog, e, kDumpByte);
}

// Boxes are owned by the main window; the dialog takes no input while one is up.
int AskWithDialogDisabled(HWND dialog, int (*ask)(UINT), UINT id) {
    EnableWindow(dialog, FALSE);
    const int answer = ask(id);
    EnableWindow(dialog, TRUE);
    return answer;
}

// Previous (-1) and Next (+1) move the list's selection; past either end the
// user is asked whether to go on from the other end.
void StepToEvent(HWND dialog, int step) {
    const int current = int(SendMessageA(g_eventList, LB_GETCURSEL, 0, 0));
    const int count = int(SendMessageA(g_eventList, LB_GETCOUNT, 0, 0));
    const int target = current + step;
    SendMessageA(g_eventList, LB_SETCURSEL, WPARAM(target), 0);
    if (target >= 0 && target < count) {
        FillEventDetail(dialog, SelectedEntry());
        return;
    }
    const UINT question = step < 0 ? IDS_ASK_DETAIL_FROM_END : IDS_ASK_DETAIL_FROM_TOP;
    const int answer = AskWithDialogDisabled(dialog, AskOkCancel, question);
    FocusDescription(dialog);
    if (answer != IDOK) {
        SendMessageA(g_eventList, LB_SETCURSEL, WPARAM(current), 0);
        return;
    }
    SendMessageA(g_eventList, LB_SETCURSEL, WPARAM(step < 0 ? count - 1 : 0), 0);
    FillEventDetail(dialog, SelectedEntry());
}

// The shown event is the list's selection, printed from the two views as
// they stand (the data in the layout chosen).
void OnPrint(HWND dialog) {
    const EventEntry* e = SelectedEntry();
    if (e == nullptr) return;
    PrintEvent(dialog, GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION), GetDlgItem(dialog, IDC_DETAIL_DATA), *e);
}

void OnInitDialog(HWND dialog, const EventEntry* e) {
    BeginDialogFrame(dialog);
    SendDlgItemMessageA(dialog, IDC_DETAIL_DESCRIPTION, EM_EXLIMITTEXT, 0, LPARAM(kShownDescriptionChars));
    PrepareDataView(dialog);
    FillEventDetail(dialog, e);
    SetFocus(GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION));
}

BOOL OnCommand(HWND dialog, UINT id, UINT code) {
    if (code == EN_ERRSPACE && (id == IDC_DETAIL_DESCRIPTION || id == IDC_DETAIL_DATA)) {
        AskWithDialogDisabled(dialog, ShowErrorMessage, IDS_ERR_DETAIL_MEMORY);
        return TRUE;
    }
    switch (id) {
    case IDC_DETAIL_BYTE:
    case IDC_DETAIL_WORD:
        if (code != BN_CLICKED) return FALSE;
        ShowDump(dialog, SelectedEntry(), id == IDC_DETAIL_WORD ? kDumpWord : kDumpByte);
        return TRUE;
    case IDC_DETAIL_PREVIOUS: StepToEvent(dialog, -1); return TRUE;
    case IDC_DETAIL_NEXT: StepToEvent(dialog, 1); return TRUE;
    case IDC_DETAIL_PRINT: OnPrint(dialog); return TRUE;
    case IDC_DETAIL_HELP: ShowHelpContext(dialog, IDH_EVENT_DETAIL); return TRUE;
    case IDCANCEL: EndModelessDialog(dialog); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void OpenEventDetailDialog(EventEntry* entry) {
    CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_EVENT_DETAIL), g_mainWindow, EventDetailDialog,
                       LPARAM(entry));
}

INT_PTR CALLBACK EventDetailDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<const EventEntry*>(lParam));
        return FALSE;   // the focus is set
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}
