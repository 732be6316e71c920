#include "app/dialog_frame_win32.h"

#include <richedit.h>

#include <cstring>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "eventlist/filter.h"
#include "resources/resource_ids.h"

namespace {

void SystemHelpContext(HWND window, const char* helpFile, UINT context) {
    CallWinHelp(window, helpFile, HELP_CONTEXT, context);
}

void GiveBackMainWindow() {
    EnableWindow(g_mainWindow, TRUE);
    g_activeDialog = g_mainWindow;
    SetForegroundWindow(g_mainWindow);
}

void FillCombo(HWND combo, const char* const* names, uint32_t count, uint32_t index) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const LRESULT item = SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(names[i]));
        SendMessageA(combo, CB_SETITEMDATA, WPARAM(item), LPARAM(i));
    }
    SendMessageA(combo, CB_SETCURSEL, WPARAM(index), 0);
}

// The text still to be streamed into a view.
struct PlainTextStream {
    const char* next;
    size_t left;
    bool first;
};

// Each chunk ends on a whole character, as the view converts chunk by chunk.
// A text opening with the UTF-8 byte order mark would be read as UTF-8: its
// first chunk is its first character alone, too short to be taken for one.
DWORD CALLBACK StreamPlainText(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
    PlainTextStream* s = reinterpret_cast<PlainTextStream*>(cookie);
    const AnsiCodePage& page = *g_viewer.codePage;
    const bool markFirst = s->first && s->left >= 3 && memcmp(s->next, "\xEF\xBB\xBF", 3) == 0;
    s->first = false;
    size_t n = 0;
    while (n < s->left) {
        const size_t step = CharLength(page, s->next + n);
        if (n + step > size_t(size)) break;
        n += step;
        if (markFirst) break;
    }
    memcpy(buffer, s->next, n);
    s->next += n;
    s->left -= n;
    *written = LONG(n);
    return 0;
}

}  // namespace

BOOL CallWinHelp(HWND window, const char* helpFile, UINT command, ULONG_PTR data) {
    if (WinHelpA(window, helpFile, command, data)) return TRUE;
    if (command == HELP_QUIT) return FALSE;
    // The viewer was started but its window looked for too early: once the
    // window is there, the request is made again.
    for (int waited = 0; waited < 50 && FindWindowA("MS_WINHELP", nullptr) == nullptr; ++waited) Sleep(100);
    return WinHelpA(window, helpFile, command, data);
}

HelpFunction g_showHelpContext = SystemHelpContext;

void BeginDialogFrame(HWND dialog) {
    g_activeDialog = dialog;
    EnableWindow(g_mainWindow, FALSE);
    CenterDialogOnMain(dialog);
}

void EndModelessDialog(HWND dialog) {
    GiveBackMainWindow();
    DestroyWindow(dialog);
    PostMessageA(g_mainWindow, WM_COMMAND, IDM_REPAINT_LIST, 0);
}

void EndModalDialog(HWND dialog, INT_PTR result) {
    GiveBackMainWindow();
    EndDialog(dialog, result);
    PostMessageA(g_mainWindow, WM_COMMAND, IDM_REPAINT_LIST, 0);
}

void ShowHelpContext(HWND dialog, UINT context) { g_showHelpContext(dialog, g_helpFilePath, context); }

void SetPlainText(HWND view, const char* text) {
    PlainTextStream s = {text, strlen(text), true};
    EDITSTREAM stream = {DWORD_PTR(&s), 0, StreamPlainText};
    SendMessageA(view, EM_STREAMIN, SF_TEXT, LPARAM(&stream));
}

void FillComponentCombo(HWND combo, uint32_t index) {
    const char* names[5];
    for (int i = 0; i < 5; ++i) names[i] = g_componentNames[i];
    FillCombo(combo, names, 5, index);
}

void FillModuleCombo(HWND combo, uint32_t index) { FillCombo(combo, g_moduleNames, 8, index); }

uint16_t SelectedComboData(HWND combo) {
    const LRESULT item = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return 0;
    return uint16_t(SendMessageA(combo, CB_GETITEMDATA, WPARAM(item), 0));
}

bool ButtonChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetButtonChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
