#include "app/startup_win32.h"

#include <commctrl.h>

#include "app/ansi_text_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "app/path_rules.h"
#include "dialogs/event_detail.h"
#include "dialogs/printing.h"
#include "eventlist/row_drawing_win32.h"
#include "resources/resource_ids.h"

char* g_workBuffer;

namespace {

int Fail(UINT id) {
    ShowErrorMessage(id);
    return 0;
}

}  // namespace

int StartProgram(HINSTANCE instance, const char* commandLine, int showCommand) {
    if (LoadResidentTexts() != 0) return Fail(IDS_ERR_RESOURCE);
    if (GetModuleFileNameA(nullptr, g_helpFilePath, MAX_PATH) == 0) return Fail(IDS_ERR_MODULE_NAME);
    DeriveHelpFilePath(g_helpFilePath, g_texts.appName, SystemCodePage());
    if (!RegisterMainWindowClass(instance)) return Fail(IDS_ERR_REGISTER_CLASS);

    g_instance = instance;
    g_waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    g_arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
    LoadTypeBitmaps(instance);
    // The header and the status bar are created inside the main window's
    // creation, so their classes must be there first.
    InitCommonControls();
    if (CreateMainWindow(instance, showCommand) == nullptr) return Fail(IDS_ERR_INIT_INSTANCE);
    GrayStartupMenuItems();
    g_accelerators = LoadAcceleratorsA(instance, g_texts.appName);

    g_findCriteria = DefaultFindCriteria();
    InitViewerState(&g_viewer);
    g_viewer.codePage = &SystemCodePage();
    g_printTexts.codePage = &SystemCodePage();
    if (TakeCommandLinePath(commandLine, SystemCodePage(), g_viewer.file.path) != 0) return Fail(IDS_ERR_PATH_TOO_LONG);

    if (LoadLibraryA("riched32.dll") == nullptr) return Fail(IDS_ERR_LOAD_DLL);
    g_workBuffer = static_cast<char*>(LocalAlloc(LMEM_FIXED, kWorkBufferSize));
    if (g_workBuffer == nullptr) return Fail(IDS_ERR_NO_MEMORY);
    SetCursor(g_arrowCursor);
    // The command-line file comes in like a dropped one, once the loop runs.
    if (g_viewer.file.path[0] != '\0') PostMessageA(g_mainWindow, WM_DARVEX_RELOAD, 1, 0);
    return 1;
}

void DispatchLoopMessage(MSG* msg) {
    if (g_activeDialog != g_mainWindow && IsDialogMessageA(g_activeDialog, msg)) return;
    if (TranslateAcceleratorA(msg->hwnd, g_accelerators, msg)) return;
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchLoopMessage(&msg);
    return int(msg.wParam);
}
