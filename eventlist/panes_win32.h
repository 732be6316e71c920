// The three panes of the main window: column header, event list, status bar.
#pragma once

#include <windows.h>

// x positions of the row cells, from the left of the list's client area.
struct ColumnEdges {
    int dateTextX;
    int timeX;
    int componentX;
    int moduleX;
    int computerX;
};

extern ColumnEdges g_columnEdges;
extern HWND g_statusBar;
extern HWND g_columnHeader;
extern HWND g_eventList;
extern int g_headerHeight;
extern int g_rowHeight;

constexpr UINT kStatusSimpleMode = WM_USER + 9;   // SB_SIMPLE
constexpr int kStatusSimplePart = 255;            // SB_SIMPLEID

// Creates status bar, header and list (in that order) and subclasses the list.
void CreateListPanes(HWND mainWindow, const TEXTMETRICA& metrics);

// Places the panes for a new client size; sizeMessage is the WM_SIZE as received.
void LayoutPanes(HWND mainWindow, WPARAM sizeType, LPARAM sizeMessage);

// A divider of header item i moved: recompute the edges from i on and repaint.
void OnHeaderItemChanged(int item);

// The command a header click asks for, or 0 for none.
UINT HeaderClickCommand(int item);

// Hides and shows the list so that every row is drawn again.
void RepaintEventList();

// Sets the text of one status bar part.
void SetStatusPartText(int part, const char* text);
