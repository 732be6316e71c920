#include "app/messages_win32.h"

#include <cstring>

#include "app/main_window_win32.h"
#include "dialogs/printing.h"
#include "eventlist/filter.h"
#include "resources/resource_ids.h"

ResidentTexts g_texts;
MessageBoxFunction g_showMessageBox = SystemMessageBox;

namespace {

constexpr int kTextLimit = 1024;
char g_boxText[kTextLimit];     // shared by all boxes; one is open at a time

int ShowBox(UINT id, const char* caption, UINT style) {
    char* text = LoadText(id);
    if (text == nullptr || caption == nullptr) {
        LocalFree(text);
        // Without its words the program cannot talk to the user any more.
        if (g_mainWindow != nullptr) DestroyWindow(g_mainWindow);
        return 0;
    }
    char local[kTextLimit];
    lstrcpynA(local, text, kTextLimit);
    LocalFree(text);
    lstrcpynA(g_boxText, local, kTextLimit);
    MessageBeep(style);
    const int answer = g_showMessageBox(g_mainWindow, id, g_boxText, caption, style);
    // Closing the box enables its owner, the main window, even while a
    // dialog is open; the main window must take no input until the dialog
    // closes.
    if (g_activeDialog != nullptr && g_activeDialog != g_mainWindow && IsWindow(g_activeDialog)) {
        EnableWindow(g_mainWindow, FALSE);
    }
    return answer;
}

bool LoadInto(char** slot, UINT id) {
    *slot = LoadText(id);
    return *slot != nullptr;
}

}  // namespace

char* LoadText(UINT id) {
    char buffer[kTextLimit];
    const int n = LoadStringA(GetModuleHandleA(nullptr), id, buffer, kTextLimit);
    if (n <= 0) {
        GetLastError();
        return nullptr;
    }
    char* copy = static_cast<char*>(LocalAlloc(LMEM_FIXED, size_t(n) + 1));
    if (copy == nullptr) return nullptr;
    memcpy(copy, buffer, size_t(n) + 1);
    return copy;
}

int SystemMessageBox(HWND owner, UINT, const char* text, const char* caption, UINT style) {
    return MessageBoxA(owner, text, caption, style);
}

int LoadResidentTexts() {
    ResidentTexts& t = g_texts;
    bool ok = LoadInto(&t.openTitle, IDS_OPEN_TITLE) && LoadInto(&t.saveAsTitle, IDS_SAVE_AS_TITLE) &&
              LoadInto(&t.errorCaption, IDS_ERROR_CAPTION) && LoadInto(&t.confirmCaption, IDS_CONFIRM_CAPTION) &&
              LoadInto(&t.appName, IDS_APP_NAME) && LoadInto(&t.title, IDS_APP_TITLE) && LoadInto(&t.all, IDS_ALL);
    if (!ok) return IDS_ERR_RESOURCE;
    SetAllText(t.all);
    ok = LoadInto(&t.unopened, IDS_FILE_UNOPENED) && LoadInto(&t.totalPrefix, IDS_TOTAL_EVENTS) &&
         LoadInto(&t.writeProhibit, IDS_WRITE_PROHIBIT) && LoadInto(&t.filter, IDS_FILTER);
    for (int i = 0; ok && i < 9; ++i) ok = LoadInto(&t.printFormats[i], IDS_PRINT_LIST_HEADER + i);
    ok = ok && LoadInto(&t.typeError, IDS_TYPE_ERROR) && LoadInto(&t.typeWarning, IDS_TYPE_WARNING) &&
         LoadInto(&t.typeInformation, IDS_TYPE_INFORMATION) && LoadInto(&t.columnType, IDS_COLUMN_TYPE);
    for (int i = 0; ok && i < 5; ++i) ok = LoadInto(&t.columnTitles[i], IDS_COLUMN_DATE + i);
    if (!ok) return IDS_ERR_RESOURCE;
    SetTypeNames(t.typeError, t.typeWarning, t.typeInformation);
    PrintTexts& p = g_printTexts;
    p.listHeader = t.printFormats[0];
    p.listRow = t.printFormats[1];
    p.dateTimeLine = t.printFormats[2];
    p.componentLine = t.printFormats[3];
    p.moduleLine = t.printFormats[4];
    p.computerLine = t.printFormats[5];
    p.typeLine = t.printFormats[6];
    p.descriptionHeading = t.printFormats[7];
    p.dataHeading = t.printFormats[8];
    p.date = t.columnTitles[0];
    p.time = t.columnTitles[1];
    p.component = t.columnTitles[2];
    p.module = t.columnTitles[3];
    p.computer = t.columnTitles[4];
    p.type = t.columnType;
    g_viewTexts.totalPrefix = t.totalPrefix;
    g_viewTexts.writeProhibit = t.writeProhibit;
    g_viewTexts.filter = t.filter;
    g_viewTexts.unopened = t.unopened;
    return 0;
}

int ShowErrorMessage(UINT id) { return ShowBox(id, g_texts.errorCaption, kErrorBoxStyle); }
int AskOkCancel(UINT id) { return ShowBox(id, g_texts.confirmCaption, kOkCancelBoxStyle); }
int AskYesNoCancel(UINT id) { return ShowBox(id, g_texts.confirmCaption, kYesNoCancelBoxStyle); }

void CenterDialogOnMain(HWND dialog) {
    RECT d;
    RECT m;
    GetWindowRect(dialog, &d);
    GetWindowRect(g_mainWindow, &m);
    const int dw = d.right - d.left;
    const int dh = d.bottom - d.top;
    HDC dc = GetDC(dialog);
    const int sw = GetDeviceCaps(dc, HORZRES);
    const int sh = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(dialog, dc);
    // Left and top are tested first: a dialog larger than the screen whose
    // centred position is on it ends flush with the right or bottom edge.
    int x = m.left + ((m.right - m.left) - dw) / 2;
    if (x < 0) {
        x = 0;
    } else if (x + dw > sw) {
        x = sw - dw;
    }
    int y = m.top + ((m.bottom - m.top) - dh) / 2;
    if (y < 0) {
        y = 0;
    } else if (y + dh > sh) {
        y = sh - dh;
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
