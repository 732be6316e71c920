#include "app/main_window_win32.h"

#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/common_dialogs_win32.h"
#include "app/dialog_frame_win32.h"
#include "app/messages_win32.h"
#include "dialogs/about_win32.h"
#include "dialogs/event_detail_win32.h"
#include "dialogs/find_win32.h"
#include "dialogs/printing_win32.h"
#include "app/path_rules.h"
#include "eventlist/filter.h"
#include "eventlist/filter_dialog_win32.h"
#include "eventlist/ordering.h"
#include "eventlist/ordering_win32.h"
#include "eventlist/panes_win32.h"
#include "eventlist/row_drawing_win32.h"
#include "logfile/loader.h"
#include "logfile/live_access_win32.h"
#include "logfile/log_settings_dialog_win32.h"
#include "logfile/loader_win32.h"
#include "logfile/save_as_win32.h"
#include "resources/resource_ids.h"

ViewerState g_viewer;
FindCriteria g_findCriteria;
HINSTANCE g_instance;
HWND g_mainWindow;
HMENU g_mainMenu;
HMENU g_viewMenu;
HWND g_activeDialog;
HACCEL g_accelerators;
HCURSOR g_waitCursor;
HCURSOR g_arrowCursor;
char g_helpFilePath[MAX_PATH];
TEXTMETRICA g_textMetrics;
PRINTDLGA g_printSetup;

namespace {

RefreshSnapshot g_refreshSnapshot;
char g_menuHelp[128];

// ---------------------------------------------------------------------------

void WaitCursor() { SetCursor(g_waitCursor); }
void ArrowCursor() { SetCursor(g_arrowCursor); }

bool MenuItemGrayed(UINT id) { return GetMenuState(g_mainMenu, id, MF_BYCOMMAND) == MF_GRAYED; }
void CheckItem(UINT id, bool checked) {
    CheckMenuItem(g_mainMenu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void SetTitleFromPath(HWND window) {
    char title[MAX_PATH + 64];
    wsprintfA(title, "%s %s", g_texts.title, g_viewer.file.path);
    SetWindowTextA(window, title);
}

// Save Settings can only store into the header of a live log.
void UpdateSaveSettingsItem(bool liveLogLoaded) {
    EnableMenuItem(g_mainMenu, IDM_OPTION_SAVE_SETTINGS, MF_BYCOMMAND | (liveLogLoaded ? MF_ENABLED : MF_GRAYED));
}

// ---------------------------------------------------------------------------
// Commands

void OnSortRequest(uint32_t order, LPARAM listFlag) {
    const bool arranging = g_viewer.table.loadedCount != 0 && order != g_viewer.sortOrder;
    if (arranging) WaitCursor();
    UiEffects fx;
    ClearEffects(&fx);
    const int result = RequestOrder(&g_viewer, order, uintptr_t(listFlag), &fx);
    ApplyUiEffects(fx);
    if (result == kOrderSelectFirstRow) {
        SendMessageA(g_eventList, LB_SETCURSEL, 0, 0);
    } else if (result == kOrderArranged && listFlag != 1) {
        FillEventList();
    }
    if (arranging) ArrowCursor();
}

void OnAllEvents() {
    UiEffects fx;
    ClearEffects(&fx);
    if (ShowAllEvents(&g_viewer, &fx) == 1) {
        SendMessageA(g_eventList, LB_SETCURSEL, 0, 0);
        return;
    }
    WaitCursor();
    ApplyUiEffects(fx);
    FillEventList();
    ArrowCursor();
}

void OnApplyFilter() {
    WaitCursor();
    UiEffects fx;
    ClearEffects(&fx);
    ApplyFilterCommand(&g_viewer, &fx);
    ApplyUiEffects(fx);
    FillEventList();
    ArrowCursor();
}

void OnSaveAsChain(HWND window, LPARAM followUp) {
    // A failed load leaves no header to copy.
    if (!IsKnownMagic(g_viewer.file.currentHeader.magic)) return;
    if (!ChooseOpenOrSavePath(2)) return;
    const int result = SaveLogAs(g_savePath);
    if (result == 1) {
        SendMessageA(window, WM_COMMAND, IDM_FILE_SAVE_AS, followUp);
    } else if (result == 2) {
        if (followUp == 0) return;
        // The change that follows writes this copy again from the live file,
        // so that it holds every event the change erases.
        SetCopyBeforeChange(g_savePath);
        SendMessageA(window, WM_COMMAND, WPARAM(followUp), 0);
    } else {
        g_savePath[0] = '\0';
    }
}

// Clear All Events and Log Settings: offer a copy first, then confirm. Both
// need a live log loaded, which their menu items say.
void OnAskSaveFirst(HWND window, UINT command, UINT question, UINT followUp) {
    if (MenuItemGrayed(command)) return;
    SetCopyBeforeChange(nullptr);
    const int answer = AskYesNoCancel(question);
    if (answer == IDYES) {
        SendMessageA(window, WM_COMMAND, IDM_FILE_SAVE_AS, LPARAM(followUp));
    } else if (answer == IDNO) {
        SendMessageA(window, WM_COMMAND, followUp, 0);
    }
}

void OnConfirmClear() {
    if (AskOkCancel(IDS_ASK_CLEAR_ALL) != IDOK) return;
    WaitCursor();
    ClearAllEvents();
    ArrowCursor();
}

void OnConfirmLogSettings() {
    if (AskOkCancel(IDS_ASK_CHANGE_MAX_SIZE) != IDOK) return;
    WaitCursor();
    OpenLogSettingsDialog();
    ArrowCursor();
}

void OnPrintSetup(HWND window) {
    g_printSetup.hwndOwner = window;
    g_printSetup.Flags = PD_RETURNDC | PD_PRINTSETUP | PD_NOSELECTION;
    if (PrintDlgA(&g_printSetup) && g_printSetup.hDC != nullptr) {
        DeleteDC(g_printSetup.hDC);
        g_printSetup.hDC = nullptr;
    }
}

void OnFind() {
    if (g_viewer.table.loadedCount == 0) return;
    WaitCursor();
    OpenFindDialog();
    ArrowCursor();
}

void OnDetail() {
    if (g_viewer.table.loadedCount == 0) return;
    EventEntry* entry = SelectedEntry();
    if (entry == nullptr) return;
    WaitCursor();
    OpenEventDetailDialog(entry);
    ArrowCursor();
}

void OnFindNext() {
    if (MenuItemGrayed(IDM_VIEW_FIND)) return;
    FindNextEvent(g_mainWindow);
}

void OnRefresh(HWND window) {
    if (g_viewer.file.path[0] == '\0') return;
    TakeRefreshSnapshot(g_viewer, &g_refreshSnapshot);
    SendMessageA(window, WM_DARVEX_RELOAD, 0, 0);
}

void OnToggleSaveSettings() {
    g_viewer.saveSettings = g_viewer.saveSettings == 1 ? 0 : 1;
    CheckItem(IDM_OPTION_SAVE_SETTINGS, g_viewer.saveSettings == 1);
}

void OnHelp(HWND window, UINT command) {
    if (command == IDM_HELP_CONTENTS) {
        CallWinHelp(window, g_helpFilePath, HELP_CONTENTS, 0);
    } else if (command == IDM_HELP_SEARCH) {
        CallWinHelp(window, g_helpFilePath, HELP_PARTIALKEY, ULONG_PTR(""));
    } else {
        CallWinHelp(window, g_helpFilePath, HELP_HELPONHELP, 0);
    }
}

void OnListNotification(HWND window, UINT code) {
    if (code == LBN_DBLCLK) SendMessageA(window, WM_COMMAND, IDM_VIEW_DETAIL, 0);
}

// The commands that open a dialog, or act on the list's selection, wait
// while a dialog is open: its state stays the only one, and the event it
// shows stays the selected one.
bool WaitsForOpenDialog(UINT id) {
    if (g_activeDialog == g_mainWindow || g_activeDialog == nullptr) return false;
    return id == IDM_VIEW_FILTER || id == IDM_VIEW_FIND || id == IDM_VIEW_DETAIL || id == IDM_HELP_ABOUT ||
           id == IDC_EVENT_LIST;
}

void OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (WaitsForOpenDialog(id)) return;
    switch (id) {
    case IDM_FILE_OPEN:
        if (ChooseOpenOrSavePath(1)) SendMessageA(window, WM_DARVEX_RELOAD, 1, 0);
        break;
    case IDM_FILE_SAVE_AS: OnSaveAsChain(window, lParam); break;
    case IDM_FILE_CLEAR_ALL: OnAskSaveFirst(window, id, IDS_ASK_SAVE_BEFORE_CLEAR, IDM_CONFIRM_CLEAR); break;
    case IDM_FILE_LOG_SETTINGS:
        OnAskSaveFirst(window, id, IDS_ASK_SAVE_BEFORE_RESIZE, IDM_CONFIRM_LOG_SETTINGS);
        break;
    case IDM_FILE_PRINT: PrintEventList(); break;
    case IDM_FILE_PRINT_SETUP: OnPrintSetup(window); break;
    case IDM_FILE_EXIT: SendMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_VIEW_ALL_EVENTS: OnAllEvents(); break;
    case IDM_VIEW_FILTER:
        WaitCursor();
        OpenFilterDialog();
        ArrowCursor();
        break;
    case IDM_VIEW_NEWEST_FIRST:
    case IDM_VIEW_OLDEST_FIRST:
    case IDM_VIEW_MODULE: OnSortRequest(id, lParam); break;
    case IDM_VIEW_FIND: OnFind(); break;
    case IDM_VIEW_DETAIL: OnDetail(); break;
    case IDM_VIEW_REFRESH: OnRefresh(window); break;
    case IDM_OPTION_SAVE_SETTINGS: OnToggleSaveSettings(); break;
    case IDM_OPTION_FONT: ChooseListFont(); break;
    case IDM_HELP_ABOUT: ShowAboutBox(); break;
    case IDM_HELP_CONTENTS:
    case IDM_HELP_SEARCH:
    case IDM_HELP_HOW_TO_USE: OnHelp(window, id); break;
    case IDM_APPLY_FILTER: OnApplyFilter(); break;
    case IDM_CONFIRM_CLEAR: OnConfirmClear(); break;
    case IDM_CONFIRM_LOG_SETTINGS: OnConfirmLogSettings(); break;
    case IDM_FIND_NEXT: OnFindNext(); break;
    case IDM_REPAINT_LIST: RepaintEventList(); break;
    case IDM_TOGGLE_TIME_ORDER_ALT:
    case IDM_TOGGLE_TIME_ORDER: OnSortRequest(ToggledTimeOrder(g_viewer.sortOrder), lParam); break;
    case IDC_EVENT_LIST: OnListNotification(window, HIWORD(wParam)); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// The reload sequence behind Open, drop, Refresh and Clear.

void ReapplyOrderAndView(HWND window) {
    const uint32_t order = RestoredOrder(g_viewer.sortOrder);
    g_viewer.sortOrder = 0;
    SendMessageA(window, WM_COMMAND, order, 1);
    if (g_viewer.viewMode == kViewFiltered) {
        SendMessageA(window, WM_COMMAND, IDM_APPLY_FILTER, 0);
    } else {
        CheckItem(IDM_VIEW_ALL_EVENTS, true);
        CheckItem(IDM_VIEW_FILTER, false);
        // The load marks every entry visible; the rows follow the order just applied.
        BuildVisibleRows(&g_viewer.table);
        FillEventList();
    }
    if (!MenuItemGrayed(IDM_OPTION_SAVE_SETTINGS) && g_viewer.saveSettings == 1) {
        CheckItem(IDM_OPTION_SAVE_SETTINGS, true);
    }
}

void OnReload(HWND window, WPARAM wParam) {
    WaitCursor();
    CharUpperA(g_viewer.file.path);
    UiEffects fx;
    ClearEffects(&fx);
    const int result = LoadLog(&g_viewer, Win32LogOpener(), &fx);
    ApplyUiEffects(fx);
    UpdateSaveSettingsItem(result == 0 && g_viewer.file.isLive != 0);
    if (result != 0) {
        ShowErrorMessage(UINT(result));
        if (!IsWindow(window)) return;
        SetStatusPartText(0, g_texts.unopened);
    } else {
        g_viewer.file.identity = LastOpenedIdentity();
        if (wParam == 0) RestoreRefreshSnapshot(&g_viewer, g_refreshSnapshot);
        ReapplyOrderAndView(window);
    }
    SetTitleFromPath(window);
    ArrowCursor();
}

// ---------------------------------------------------------------------------
// Window messages

BOOL OnCreate(HWND window, LPCREATESTRUCTA) {
    ZeroMemory(&g_printSetup, sizeof g_printSetup);
    g_printSetup.lStructSize = sizeof g_printSetup;
    g_mainWindow = window;
    g_activeDialog = window;
    HDC dc = GetDC(window);
    GetTextMetricsA(dc, &g_textMetrics);
    ReleaseDC(window, dc);
    CreateListPanes(window, g_textMetrics);
    g_rowTextColor = RGB(0, 0, 0);
    DragAcceptFiles(window, TRUE);
    return TRUE;
}

void OnDestroy(HWND window) {
    DragAcceptFiles(window, FALSE);
    PostQuitMessage(0);
}

void OnClose(HWND window) {
    WinHelpA(window, g_helpFilePath, HELP_QUIT, 0);
    if (!MenuItemGrayed(IDM_OPTION_SAVE_SETTINGS)) StoreConditions();
    DestroyWindow(window);
}

// The list keeps the focus so that the accelerators reach it.
void FocusEventList() {
    SetFocus(g_eventList);
    ShowWindow(g_eventList, SW_SHOW);
}

void OnMeasureItem(MEASUREITEMSTRUCT* m) { m->itemHeight = UINT(g_textMetrics.tmHeight + 3); }

bool OnDrawItem(const DRAWITEMSTRUCT* d) {
    if (d->itemID == UINT(-1)) return false;
    // A focus change draws nothing: the selection colour shows where the cursor is.
    if ((d->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return false;
    if (d->itemID >= g_viewer.table.visibleCount) return false;
    DrawEventRow(*d, *g_viewer.table.visibleRows[d->itemID]);
    return true;
}

void OnHeaderNotify(HWND window, const NMHDR* header) {
    const NMHEADERA* nm = reinterpret_cast<const NMHEADERA*>(header);
    switch (header->code) {
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
        OnHeaderItemChanged(nm->iItem);
        break;
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        if (const UINT command = HeaderClickCommand(nm->iItem)) SendMessageA(window, WM_COMMAND, command, 0);
        break;
    default:
        break;
    }
}

void OnMenuSelect(WPARAM wParam) {
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    g_menuHelp[0] = '\0';
    if (flags == 0xFFFF) {
        SendMessageA(g_statusBar, kStatusSimpleMode, FALSE, 0);
    } else if (flags & MF_SEPARATOR) {
        SendMessageA(g_statusBar, kStatusSimpleMode, TRUE, 0);
    } else if (flags & MF_POPUP) {
        SendMessageA(g_statusBar, kStatusSimpleMode, TRUE, 0);
        SetStatusPartText(kStatusSimplePart, g_menuHelp);
    } else {
        LoadStringA(g_instance, item, g_menuHelp, sizeof g_menuHelp);
        SetStatusPartText(kStatusSimplePart, g_menuHelp);
    }
}

void OnDropFiles(HWND window, HDROP drop) {
    DragQueryFileA(drop, 0, g_viewer.file.path, MAX_PATH);
    SendMessageA(window, WM_DARVEX_RELOAD, 1, 0);
    DragFinish(drop);
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
}

}  // namespace

void ApplyUiEffects(const UiEffects& fx) {
    if (fx.resetList) ResetEventList();
    for (int i = 0; i < fx.menuCount; ++i) {
        const MenuChange& c = fx.menu[i];
        switch (c.action) {
        case kMenuEnable: EnableMenuItem(g_mainMenu, c.id, MF_BYCOMMAND | MF_ENABLED); break;
        case kMenuGray: EnableMenuItem(g_mainMenu, c.id, MF_BYCOMMAND | MF_GRAYED); break;
        case kMenuCheck: CheckItem(c.id, true); break;
        case kMenuUncheck: CheckItem(c.id, false); break;
        default: break;
        }
    }
    for (int part = 0; part < kStatusParts; ++part) {
        if (fx.status[part].set) SetStatusPartText(part, fx.status[part].text);
    }
}

LRESULT CALLBACK DarvexMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<LPCREATESTRUCTA>(lParam)) ? 0 : -1;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    case WM_MOVE:
    case WM_SETFOCUS:
    case WM_PAINT:
    case WM_NCPAINT:
        FocusEventList();
        break;
    case WM_SIZE:
        LayoutPanes(window, wParam, lParam);
        break;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_MEASUREITEM:
        OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        if (OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_NOTIFY:
        if (wParam == IDC_COLUMN_HEADER) OnHeaderNotify(window, reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_COMMAND:
        OnCommand(window, wParam, lParam);
        break;
    case WM_MENUSELECT:
        OnMenuSelect(wParam);
        break;
    case WM_DROPFILES:
        OnDropFiles(window, HDROP(wParam));
        break;
    case WM_DARVEX_RELOAD:
        OnReload(window, wParam);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DarvexMainWindow;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, g_texts.appName);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    wc.lpszMenuName = g_texts.appName;
    wc.lpszClassName = g_texts.appName;
    return RegisterClassA(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    const int width = MainWindowWidth(GetSystemMetrics(SM_CXFULLSCREEN));
    const int height = MainWindowHeight(GetSystemMetrics(SM_CYFULLSCREEN));
    HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, g_texts.appName, g_texts.title, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, width == kDefaultWindowSize ? CW_USEDEFAULT : width,
                                  height == kDefaultWindowSize ? CW_USEDEFAULT : height, nullptr, nullptr, instance,
                                  nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

void GrayStartupMenuItems() {
    g_mainMenu = GetMenu(g_mainWindow);
    g_viewMenu = GetSubMenu(g_mainMenu, MENU_POS_VIEW);
    const UINT grayed[] = {101, 104, 102, 103, 111, 110, 115, 116, 117, 120};
    for (UINT id : grayed) EnableMenuItem(g_mainMenu, id, MF_BYCOMMAND | MF_GRAYED);
}
