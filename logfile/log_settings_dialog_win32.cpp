#include "logfile/log_settings_dialog_win32.h"

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "logfile/live_access_win32.h"
#include "logfile/log_settings_dialog.h"
#include "resources/resource_ids.h"

namespace {

BOOL OnInitLogSettingsDialog(HWND dialog) {
    BeginDialogFrame(dialog);
    SendDlgItemMessageA(dialog, IDC_LOGSET_SIZE, EM_LIMITTEXT, kLogSizeTextLimit, 0);
    SetDlgItemInt(dialog, IDC_LOGSET_SIZE, LogSizeKilobytes(g_viewer.liveHeaderCopy.maxLogSize), FALSE);
    SetFocus(GetDlgItem(dialog, IDC_LOGSET_SIZE));
    return FALSE;   // the focus is set
}

// The dialog closes whatever the write reported: a failure has shown its own message.
void OnOk(HWND dialog) {
    BOOL isNumber = FALSE;
    const UINT typed = GetDlgItemInt(dialog, IDC_LOGSET_SIZE, &isNumber, FALSE);
    uint32_t bytes = 0;
    const int result = CheckLogKilobytes(typed, isNumber != FALSE, &bytes);
    if (result != 0) {
        ShowErrorMessage(UINT(result));
        return;
    }
    SetMaxLogSize(bytes);
    EndModelessDialog(dialog);
}

// The arrows leave the whole value selected, so the next key types over it.
void OnSpin(HWND dialog, int scrollCode) {
    const UINT shown = GetDlgItemInt(dialog, IDC_LOGSET_SIZE, nullptr, FALSE);
    uint32_t stepped;
    if (!StepLogKilobytes(shown, scrollCode, &stepped)) return;
    SetDlgItemInt(dialog, IDC_LOGSET_SIZE, stepped, FALSE);
    SendDlgItemMessageA(dialog, IDC_LOGSET_SIZE, EM_SETSEL, 0, kLogSizeTextLimit);
}

}  // namespace

void OpenLogSettingsDialog() {
    CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_LOG_SETTINGS), g_mainWindow, LogSettingsDialog, 0);
}

INT_PTR CALLBACK LogSettingsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitLogSettingsDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LOGSET_OK: OnOk(dialog); return TRUE;
        case IDCANCEL: EndModelessDialog(dialog); return TRUE;
        case IDC_LOGSET_DEFAULT: SetDlgItemInt(dialog, IDC_LOGSET_SIZE, kDefaultLogKilobytes, FALSE); return TRUE;
        case IDC_LOGSET_HELP: ShowHelpContext(dialog, IDH_LOG_SETTINGS); return TRUE;
        default: return FALSE;
        }
    case WM_VSCROLL:
        if (HWND(lParam) == GetDlgItem(dialog, IDC_LOGSET_SPIN)) OnSpin(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
