#include "eventlist/panes_win32.h"

#include <commctrl.h>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "resources/resource_ids.h"

ColumnEdges g_columnEdges;
HWND g_statusBar;
HWND g_columnHeader;
HWND g_eventList;
int g_headerHeight;
int g_rowHeight;

namespace {

WNDPROC g_listProcedure;    // the list box's own procedure

constexpr int kColumnCount = 5;
const int kInitialColumnChars[kColumnCount] = {12, 10, 18, 15, 15};

int HeaderItemWidth(int item) {
    HDITEMA hi = {};
    hi.mask = HDI_WIDTH;
    SendMessageA(g_columnHeader, HDM_GETITEMA, WPARAM(item), LPARAM(&hi));
    return hi.cxy;
}

void CreateStatusBar(HWND mainWindow, const TEXTMETRICA& tm) {
    g_statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, g_texts.unopened, mainWindow, IDC_STATUS_BAR);
    const int avg = tm.tmAveCharWidth;
    const int max = tm.tmMaxCharWidth;
    int edges[3];
    edges[0] = 7 * max + 8 * avg;
    edges[1] = edges[0] + 6 * max;
    edges[2] = edges[1] + 4 * max;
    SendMessageA(g_statusBar, SB_SETPARTS, 3, LPARAM(edges));
    SendMessageA(g_statusBar, SB_SETMINHEIGHT, 25, 0);
}

void CreateColumnHeader(HWND mainWindow, const TEXTMETRICA& tm) {
    g_columnHeader = CreateWindowExA(0, "SysHeader32", nullptr, WS_CHILD | HDS_BUTTONS, 0, 0, 0, 0, mainWindow,
                                     HMENU(UINT_PTR(IDC_COLUMN_HEADER)), g_instance, nullptr);
    RECT client;
    GetClientRect(mainWindow, &client);
    WINDOWPOS pos = {};
    HDLAYOUT layout = {&client, &pos};
    SendMessageA(g_columnHeader, HDM_LAYOUT, 0, LPARAM(&layout));
    g_headerHeight = GetSystemMetrics(SM_CYMENU) + 3;
    SetWindowPos(g_columnHeader, pos.hwndInsertAfter, pos.x, 0, pos.cx, g_headerHeight, pos.flags | SWP_SHOWWINDOW);

    const int avg = tm.tmAveCharWidth;
    for (int i = 0; i < kColumnCount; ++i) {
        HDITEMA hi = {};
        hi.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        hi.fmt = HDF_STRING | HDF_LEFT;
        hi.cxy = kInitialColumnChars[i] * avg;
        hi.pszText = g_texts.columnTitles[i];
        hi.cchTextMax = lstrlenA(g_texts.columnTitles[i]);
        SendMessageA(g_columnHeader, HDM_INSERTITEMA, WPARAM(i), LPARAM(&hi));
    }
    g_columnEdges.dateTextX = 25;
    g_columnEdges.timeX = 12 * avg;
    g_columnEdges.componentX = 22 * avg;
    g_columnEdges.moduleX = 40 * avg;
    g_columnEdges.computerX = 55 * avg;
    SendMessageA(g_columnHeader, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
}

void ShowViewPopup(HWND list) {
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(g_viewMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, list, nullptr);
}

// The thumb's 16-bit position in WM_VSCROLL cannot address more than 65,535
// rows; the 32-bit tracking position can.
void ScrollToThumb(HWND list) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(list, SB_VERT, &info)) SendMessageA(list, LB_SETTOPINDEX, WPARAM(info.nTrackPos), 0);
}

LRESULT CALLBACK EventListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Accelerators and the context menu arrive here, since the list holds the focus.
        PostMessageA(g_mainWindow, WM_COMMAND, wParam, lParam);
        break;
    case WM_RBUTTONUP:
        ShowViewPopup(list);
        return 1;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION) {
            ScrollToThumb(list);
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(g_listProcedure, list, message, wParam, lParam);
}

bool DateFitsItsCell(HWND list) {
    HDC dc = GetDC(list);
    SIZE date = {};
    GetTextExtentPoint32A(dc, "00/00/00", 8, &date);
    ReleaseDC(list, dc);
    // The next cell's fill starts 3 pixels left of its edge.
    return g_columnEdges.dateTextX + date.cx <= g_columnEdges.timeX - 3;
}

void CreateEventList(HWND mainWindow) {
    // A virtual list: the rows live in the viewer's visible-rows array and the
    // list box holds only their count, whatever that count is.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                        LBS_NODATA | LBS_NOINTEGRALHEIGHT;
    g_eventList = CreateWindowExA(0, "LISTBOX", nullptr, style, 0, 0, 0, 0, mainWindow,
                                  HMENU(UINT_PTR(IDC_EVENT_LIST)), g_instance, nullptr);
    g_listProcedure = WNDPROC(SetWindowLongPtrA(g_eventList, GWLP_WNDPROC, LONG_PTR(EventListSubclassProc)));
    // The columns are sized from the window font's average character width.
    // Where that font's digits are wider than its average (the proportional
    // bold system font) a date would lose its last digits under the Time
    // cell, so the rows take the header's font, which fits, until the user
    // picks a font of their own.
    if (!DateFitsItsCell(g_eventList)) {
        SendMessageA(g_eventList, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
}

}  // namespace

void CreateListPanes(HWND mainWindow, const TEXTMETRICA& metrics) {
    g_rowHeight = metrics.tmHeight + 3;
    CreateStatusBar(mainWindow, metrics);
    CreateColumnHeader(mainWindow, metrics);
    CreateEventList(mainWindow);
}

void LayoutPanes(HWND mainWindow, WPARAM sizeType, LPARAM sizeMessage) {
    const int width = LOWORD(sizeMessage);
    const int height = HIWORD(sizeMessage);
    MoveWindow(g_columnHeader, 0, 0, width, g_headerHeight, TRUE);
    SendMessageA(g_statusBar, WM_SIZE, sizeType, sizeMessage);
    RECT status;
    GetClientRect(g_statusBar, &status);
    MoveWindow(g_eventList, 0, g_headerHeight, width, height - g_headerHeight - status.bottom, TRUE);
    UpdateWindow(mainWindow);
}

void OnHeaderItemChanged(int item) {
    ColumnEdges& e = g_columnEdges;
    if (item == 0) e.timeX = HeaderItemWidth(0);
    if (item >= 0 && item <= 1) e.componentX = e.timeX + HeaderItemWidth(1);
    if (item >= 0 && item <= 2) e.moduleX = e.componentX + HeaderItemWidth(2);
    if (item >= 0 && item <= 3) e.computerX = e.moduleX + HeaderItemWidth(3);
    RepaintEventList();
}

UINT HeaderClickCommand(int item) {
    if (item == 0 || item == 1) return IDM_TOGGLE_TIME_ORDER;
    if (item == 3) return IDM_VIEW_MODULE;
    return 0;
}

void RepaintEventList() {
    ShowWindow(g_eventList, SW_HIDE);
    ShowWindow(g_eventList, SW_SHOW);
}

void SetStatusPartText(int part, const char* text) {
    SendMessageA(g_statusBar, SB_SETTEXTA, WPARAM(part), LPARAM(text));
}
