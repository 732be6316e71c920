// The real main window driven with real messages, in this process.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "eventlist/filter.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win32_test_support.h"

namespace {

void ExpectGrayed(std::initializer_list<UINT> grayed, std::initializer_list<UINT> enabled = {}) {
    for (UINT id : grayed) EXPECT_TRUE(MenuGrayed(id)) << id;
    for (UINT id : enabled) EXPECT_FALSE(MenuGrayed(id)) << id;
}

void ExpectChecked(UINT on, UINT off) { EXPECT_TRUE(MenuChecked(on) && !MenuChecked(off)) << on << " " << off; }

// A row drawn into a red bitmap.
struct RowCanvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(700, 40, 1, 32, nullptr);
    RowCanvas() {
        SelectObject(dc, bitmap);
        SetDCBrushColor(dc, RGB(255, 0, 0));
        const RECT all = {0, 0, 700, 40};
        FillRect(dc, &all, HBRUSH(GetStockObject(DC_BRUSH)));
    }
    ~RowCanvas() { DeleteDC(dc), DeleteObject(bitmap); }
    LRESULT Draw(UINT item, UINT action, UINT state) {
        DRAWITEMSTRUCT d = {ODT_LISTBOX, IDC_EVENT_LIST, item, action, state, g_eventList, dc, {0, 0, 700, g_rowHeight}, 0};
        return SendMessageA(g_mainWindow, WM_DRAWITEM, IDC_EVENT_LIST, LPARAM(&d));
    }
    COLORREF At(int x, int y) { return GetPixel(dc, x, y); }
};

// Commands as they reach the main window, each with the list's selection then.
std::vector<std::pair<UINT, int>> g_commands;
LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) g_commands.push_back({LOWORD(wParam), ListSelection()});
    return DarvexMainWindow(window, message, wParam, lParam);
}
bool Received(UINT id, int selection) {
    return std::find(g_commands.begin(), g_commands.end(), std::make_pair(id, selection)) != g_commands.end();
}

// Answers the View popup with "&Oldest First"; any other menu is closed unanswered.
HMENU g_poppedMenu;
POINT g_popupAt;
void CALLBACK ChooseOldestFirst(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup == nullptr || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, timer);
    g_poppedMenu = HMENU(SendMessageA(popup, MN_GETHMENU, 0, 0));
    RECT r;
    GetWindowRect(popup, &r);
    g_popupAt = POINT{r.left, r.top};
    g_poppedMenu == g_viewMenu ? void(PostMessageA(popup, WM_CHAR, 'o', 0)) : void(EndMenu());
}

}  // namespace

TEST(MainWindow, StartsWithNoFileAndMenuHelpThenLoadsReadOnlyEmptyMissingAndDroppedLogs) {
    EXPECT_EQ(Title(g_mainWindow) + "|" + StatusText(0), "DARVEX|File Unopened     ");
    ExpectGrayed({101, 104, 102, 103, 111, 110, 115, 116, 117, 120}, {100, 105, 106, 112, 113, 114, 121, 130, 131, 132, 133});
    // Opening a popup switches to the simple line, its items' help fills it; closing brings the parts back.
    SendMessageA(g_mainWindow, WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_HILITE), LPARAM(g_mainMenu));
    SendMessageA(g_mainWindow, WM_MENUSELECT, MAKEWPARAM(IDM_FILE_OPEN, MF_HILITE), LPARAM(g_mainMenu));
    EXPECT_EQ(StatusText(0), "Opens an existing file.");
    SendMessageA(g_mainWindow, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(0), "File Unopened     ");

    OpenLog(WriteGeneratedLog("SAMPLE.EVT", 500));
    EXPECT_TRUE(ListCount() == 500 && ListSelection() == 0);
    ExpectGrayed({102, 103, 120}, {101, 104, 110, 111, 115, 116, 117});
    ExpectChecked(IDM_VIEW_NEWEST_FIRST, IDM_VIEW_OLDEST_FIRST);
    EXPECT_GE(Rows().front(), Rows().back());

    // An empty live log empties the list and leaves Save As, Refresh and Log Settings.
    LogImage empty;
    InitLogImage(&empty, 0, 88);
    const std::string emptyPath = TempLogPath("PERN.EVT");
    ASSERT_EQ(WriteLogImage(empty, emptyPath.c_str()), 1);
    OpenLog(emptyPath);
    EXPECT_EQ(StatusText(0) + "|" + StatusText(1) + "|" + std::to_string(ListCount()), "Total number of Event0||0");
    ExpectGrayed({102, 104, 110, 111, 115, 116}, {101, 103, 117, 120});

    // A file that fails to load leaves no file behind, nor a path for Refresh.
    OpenLog(TempLogPath("NOSUCH.EVT"));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_TRUE(g_boxes[0].id == 207 && g_boxes[0].owner == g_mainWindow);
    EXPECT_EQ(Title(g_mainWindow) + "|" + StatusText(0), "DARVEX |File Unopened     ");
    ExpectGrayed({101, 102, 103, 104, 110, 111, 115, 116, 117, 120});
    Command(IDM_VIEW_REFRESH);
    EXPECT_EQ(g_boxes.size(), 1u);

    // Dropping two files on the minimised window opens the first and restores it.
    const std::string first = WriteGeneratedLog("FIRST.EVT", 30);
    ShowWindow(g_mainWindow, SW_MINIMIZE);
    const std::string names = first + '\0' + WriteGeneratedLog("SECOND.EVT", 40) + '\0' + '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(drop + 1, names.data(), names.size());
    GlobalUnlock(memory);
    SendMessageA(g_mainWindow, WM_DROPFILES, WPARAM(memory), 0);
    EXPECT_FALSE(IsIconic(g_mainWindow));
    EXPECT_EQ(Title(g_mainWindow), "DARVEX " + Upper(first));
    EXPECT_EQ(ListCount(), 30);
}

TEST(MainWindow, PanesDividerAndDialogsFollowTheWindow) {
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, header, list, status;
    GetClientRect(g_mainWindow, &client), GetWindowRect(g_columnHeader, &header);
    GetWindowRect(g_eventList, &list), GetWindowRect(g_statusBar, &status);
    EXPECT_EQ(header.bottom - header.top, g_headerHeight);
    EXPECT_TRUE(list.top == header.bottom && list.bottom == status.top && list.right - list.left == client.right);

    // Dragging the first divider moves every following edge.
    const ColumnEdges before = g_columnEdges;
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    SendMessageA(g_columnHeader, HDM_GETITEMA, 0, LPARAM(&item));
    item.cxy += 20;
    SendMessageA(g_columnHeader, HDM_SETITEMA, 0, LPARAM(&item));
    for (int ColumnEdges::*edge : {&ColumnEdges::timeX, &ColumnEdges::componentX, &ColumnEdges::moduleX,
                                   &ColumnEdges::computerX}) EXPECT_EQ(g_columnEdges.*edge, before.*edge + 20);

    // A 300 x 200 dialog centred over the main window, pushed onto the screen (left and top edges first).
    HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, g_mainWindow, nullptr, nullptr, nullptr);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const RECT mains[] = {{sw - 100, 100, 200, 300}, {-250, -180, 200, 300}, {100, sh - 50, 501, 200}};
    const POINT placed[] = {{sw - 300, 150}, {0, 0}, {200, sh - 200}};
    for (int i = 0; i < 3; ++i) {
        SetWindowPos(g_mainWindow, nullptr, mains[i].left, mains[i].top, mains[i].right, mains[i].bottom, SWP_NOZORDER);
        CenterDialogOnMain(dialog);
        RECT r;
        GetWindowRect(dialog, &r);
        EXPECT_TRUE(r.left == placed[i].x && r.top == placed[i].y) << i << ": " << r.left << "," << r.top;
    }
    DestroyWindow(dialog);
}

TEST(MainWindow, LiveLogComesUpAsSavedRefreshKeepsTheUsersViewAndHeaderClicksOrderIt) {
    GenOptions saved;   // errors only, oldest first
    saved.eventCount = 300;
    saved.conditions.warningType = saved.conditions.informationType = 0;
    saved.conditions.sortOrder = IDM_VIEW_OLDEST_FIRST;
    saved.conditions.conditionsSaved = 1;
    GenResult result;
    const std::string path = WriteGeneratedLog("PERN.EVT", saved, &result);
    OpenLog(path);
    const int errors = int(result.typeCounts[0]);
    ASSERT_EQ(ListCount(), errors);
    EXPECT_LT(Rows().front(), Rows().back());
    ExpectChecked(IDM_VIEW_OLDEST_FIRST, IDM_VIEW_NEWEST_FIRST);
    ExpectChecked(IDM_VIEW_FILTER, IDM_VIEW_ALL_EVENTS);
    EXPECT_TRUE(MenuChecked(IDM_OPTION_SAVE_SETTINGS));

    // The user's own view is kept by Refresh; another order keeps the filter.
    Command(IDM_VIEW_NEWEST_FIRST);
    EXPECT_EQ(ListCount(), errors);
    Command(IDM_VIEW_ALL_EVENTS);
    EXPECT_EQ(ListCount(), 300);
    Command(IDM_OPTION_SAVE_SETTINGS);
    const ViewRange before = g_viewer.range;   // rewritten with events of other years
    saved.eventCount = 200;
    saved.firstYear = saved.lastYear = 2010;
    WriteGeneratedLog("PERN.EVT", saved, &result);
    Command(IDM_VIEW_REFRESH);
    EXPECT_EQ(ListCount(), 200);
    ExpectChecked(IDM_VIEW_NEWEST_FIRST, IDM_VIEW_OLDEST_FIRST);
    ExpectChecked(IDM_VIEW_ALL_EVENTS, IDM_VIEW_FILTER);
    EXPECT_FALSE(MenuChecked(IDM_OPTION_SAVE_SETTINGS));
    EXPECT_EQ(std::string(g_viewer.range.firstEvent, 36), std::string(before.firstEvent, 36));   // and lastEvent

    // Opened afresh, the file's saved conditions count again.
    OpenLog(path);
    EXPECT_TRUE(MenuChecked(IDM_VIEW_OLDEST_FIRST) && MenuChecked(IDM_VIEW_FILTER) && MenuChecked(IDM_OPTION_SAVE_SETTINGS));
    // Date and Time toggle the time order (from Module: newest first); Component and Computer do nothing.
    const std::pair<int, uint32_t> clicks[] = {{0, 112}, {2, 112}, {4, 112}, {0, 113}, {1, 112}, {3, 114}, {1, 112}};
    for (const auto& click : clicks) {
        NMHEADERA nm = {};
        nm.hdr = NMHDR{g_columnHeader, IDC_COLUMN_HEADER, UINT(HDN_ITEMCLICKA)};
        nm.iItem = click.first;
        SendMessageA(g_mainWindow, WM_NOTIFY, IDC_COLUMN_HEADER, LPARAM(&nm));
        EXPECT_EQ(g_viewer.sortOrder, click.second) << click.first;
    }
    ExpectChecked(IDM_VIEW_NEWEST_FIRST, IDM_VIEW_MODULE);
}

// Each dialog's Help button is checked end to end, against the viewer's topic.
TEST(MainWindow, ClearAndLogSettingsAskFirstAndEachDialogClosesThreeWays) {
    // Cancel stops Clear and Log Settings (texts and going on: end to end).
    OpenLog(WriteGeneratedLog("PERN.EVT", 5));
    g_boxAnswers = {IDCANCEL, IDNO, IDCANCEL, IDCANCEL};
    for (UINT command : {IDM_FILE_CLEAR_ALL, IDM_FILE_CLEAR_ALL, IDM_FILE_LOG_SETTINGS}) Command(command);
    std::vector<UINT> boxes;
    for (const RecordedBox& b : g_boxes) boxes.push_back(b.id << 20 | b.style);
    EXPECT_EQ(boxes, (std::vector<UINT>{256 << 20 | 0x12023, 256 << 20 | 0x12023, 257 << 20 | 0x12021, 258 << 20 | 0x12023}));
    EXPECT_EQ(ListCount(), 5);

    for (UINT command : {IDM_FILE_LOG_SETTINGS, IDM_VIEW_FILTER, IDM_VIEW_FIND, IDM_VIEW_DETAIL}) {
        for (int way = 0; way < 3; ++way) {
            g_boxAnswers = {IDNO, IDOK};   // Log Settings: no copy first, then go on
            Command(command);
            ASSERT_NE(Dialog(), nullptr) << command;
            if (way == 0) Click(IDCANCEL);
            if (way == 2) SendMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_EQ(way == 1 ? PressKey(VK_ESCAPE) : PumpMessages(), std::vector<UINT>{IDM_REPAINT_LIST}) << command << way;
            EXPECT_TRUE(Dialog() == nullptr && IsWindowEnabled(g_mainWindow)) << command << " " << way;
        }
    }
}

TEST(MainWindow, RowsDrawTheirBackgroundAndTheSelectedIcon) {
    OpenLog(WriteGeneratedLog("SAMPLE.EVT", 5));
    RowCanvas canvas;
    EXPECT_TRUE(canvas.Draw(0, ODA_DRAWENTIRE, ODS_SELECTED));
    EXPECT_EQ(canvas.At(690, 1), RGB(0, 0, 128));
    EXPECT_TRUE(canvas.Draw(0, ODA_SELECT, 0));
    EXPECT_EQ(canvas.At(690, 1), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);

    // The icon cell is, pixel for pixel, the type's selected bitmap.
    const std::pair<uint16_t, int> types[] = {{1, IDB_ERROR_SELECTED}, {2, IDB_WARNING_SELECTED}, {4, IDB_INFO_SELECTED}};
    for (const auto& type : types) {
        g_viewer.table.visibleRows[0]->type = type.first;
        canvas.Draw(0, ODA_DRAWENTIRE, ODS_SELECTED);
        RowCanvas icon;
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(type.second));
        SelectObject(icon.dc, bitmap);
        for (int y = 0; y < g_rowHeight && y < 23; ++y) {
            for (int x = 0; x < 22; ++x) ASSERT_EQ(canvas.At(x, y), icon.At(x, y)) << type.first << " " << x << "," << y;
        }
        SelectObject(icon.dc, icon.bitmap);
        DeleteObject(bitmap);
    }
}

TEST(MainWindow, ThumbBeyondSixteenBitsShowsTheRowsItPointsAt) {
    OpenLog(WriteGeneratedLog("LONG.EVT", 100000));
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(g_eventList, SB_VERT, &info));
    ASSERT_EQ(info.nMax, 99999);
    const int bottom = info.nMax - int(info.nPage) + 1;
    // The scroll bar keeps the whole 32-bit position; the message carries its low 16 bits.
    for (int target : {bottom, 70000, 65535}) {
        for (WORD code : {WORD(SB_THUMBTRACK), WORD(SB_THUMBPOSITION)}) {
            SCROLLINFO pos = {sizeof pos, SIF_POS, 0, 0, 0, target, 0};
            SetScrollInfo(g_eventList, SB_VERT, &pos, FALSE);
            SendMessageA(g_eventList, WM_VSCROLL, MAKEWPARAM(code, WORD(target & 0xFFFF)), 0);
            EXPECT_EQ(int(SendMessageA(g_eventList, LB_GETTOPINDEX, 0, 0)), target) << target << " " << code;
        }
    }
}

TEST(MainWindow, KeysDoubleClickAndContextMenuReachTheMainWindow) {
    OpenLog(WriteGeneratedLog("SAMPLE.EVT", 5));
    SetWindowLongPtrA(g_mainWindow, GWLP_WNDPROC, LONG_PTR(RecordCommands));
    // The list's subclass passes keys on; a double click on a row asks for its detail.
    PressKey(VK_F3, g_eventList);
    EXPECT_EQ(ListSelection(), 1);
    RECT row;
    SendMessageA(g_eventList, LB_GETITEMRECT, 2, LPARAM(&row));
    const LPARAM at = MAKELPARAM(row.left + 30, row.top + 1);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        SendMessageA(g_eventList, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    PumpMessages();
    EXPECT_TRUE(Received(IDM_VIEW_DETAIL, 2));

    // A right click opens the View menu at the mouse; a choice there acts as in the menu bar.
    SetCursorPos(300, 200);
    SetTimer(nullptr, 0, 50, ChooseOldestFirst);
    SendMessageA(g_eventList, WM_RBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(g_poppedMenu, g_viewMenu);
    EXPECT_TRUE(g_popupAt.x == 300 && g_popupAt.y == 200);
    ExpectChecked(IDM_VIEW_OLDEST_FIRST, IDM_VIEW_NEWEST_FIRST);
    PressKey(VK_F4, g_eventList, true);
    EXPECT_TRUE(Received(IDM_FILE_EXIT, 0));
    EXPECT_FALSE(IsWindow(g_mainWindow));
}
