#include "eventlist/row_drawing_win32.h"

#include <cstring>

#include "eventlist/filter.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"

COLORREF g_rowTextColor = RGB(0, 0, 0);

namespace {

constexpr int kIconCellRight = 22;

HBITMAP g_iconMask;
// Indexed by type code (1 Error, 2 Warning, 4 Information); other slots stay null.
HBITMAP g_normalIcons[5];
HBITMAP g_selectedIcons[5];

HBITMAP IconFor(const HBITMAP* table, uint16_t type) { return type < 5 ? table[type] : nullptr; }

void BlitBitmap(HDC dc, HBITMAP bitmap, int x, int y, int size, DWORD rop) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, x, y, size, size, memory, 0, 0, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void FillCell(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    RECT cell = {left, top, right, bottom};
    FillRect(dc, &cell, brush);
}

// Each cell is filled just before its text, so a text running past its
// column is cut by the next cell's fill.
void DrawRowCells(const DRAWITEMSTRUCT& d, const EventEntry& e, HBRUSH brush) {
    HDC dc = d.hDC;
    const int top = d.rcItem.top;
    const int bottom = d.rcItem.bottom;
    const ColumnEdges& c = g_columnEdges;
    FillCell(dc, kIconCellRight, top, c.timeX, bottom, brush);
    TextOutA(dc, c.dateTextX, top, e.date + 2, 8);
    FillCell(dc, c.timeX - 3, top, c.componentX, bottom, brush);
    TextOutA(dc, c.timeX + 3, top, e.time, 8);
    FillCell(dc, c.componentX - 3, top, c.moduleX, bottom, brush);
    TextOutA(dc, c.componentX + 3, top, ComponentName(e.component), 19);
    FillCell(dc, c.moduleX - 3, top, c.computerX, bottom, brush);
    const char* module = ModuleName(e.module);
    TextOutA(dc, c.moduleX + 3, top, module, int(strlen(module)));
    FillCell(dc, c.computerX - 3, top, d.rcItem.right, bottom, brush);
    TextOutA(dc, c.computerX + 3, top, e.computer, int(e.computerLength));
}

void DrawNormalRow(const DRAWITEMSTRUCT& d, const EventEntry& e) {
    HDC dc = d.hDC;
    // The list's own background: a deselected row loses every trace of navy.
    HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    SetBkMode(dc, TRANSPARENT);
    FillCell(dc, d.rcItem.left, d.rcItem.top, kIconCellRight, d.rcItem.bottom, brush);
    HBITMAP icon = IconFor(g_normalIcons, e.type);
    if (icon != nullptr) {
        BlitBitmap(dc, g_iconMask, d.rcItem.left, d.rcItem.top, g_rowHeight, SRCAND);
        BlitBitmap(dc, icon, d.rcItem.left, d.rcItem.top, g_rowHeight, SRCPAINT);
    }
    SetTextColor(dc, g_rowTextColor);
    DrawRowCells(d, e, brush);
}

void DrawSelectedRow(const DRAWITEMSTRUCT& d, const EventEntry& e) {
    HDC dc = d.hDC;
    SetBkMode(dc, TRANSPARENT);
    HBRUSH brush = CreateSolidBrush(kSelectedRowColor);
    FillCell(dc, d.rcItem.left, d.rcItem.top, kIconCellRight, d.rcItem.bottom, brush);
    HBITMAP icon = IconFor(g_selectedIcons, e.type);
    if (icon != nullptr) BlitBitmap(dc, icon, d.rcItem.left, d.rcItem.top, g_rowHeight, SRCCOPY);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawRowCells(d, e, brush);
    DeleteObject(brush);
}

HBITMAP LoadOne(HINSTANCE instance, int id) { return LoadBitmapA(instance, MAKEINTRESOURCEA(id)); }

}  // namespace

int LoadTypeBitmaps(HINSTANCE instance) {
    g_iconMask = LoadOne(instance, IDB_ICON_MASK);
    g_normalIcons[kTypeInformation] = LoadOne(instance, IDB_INFO_NORMAL);
    g_normalIcons[kTypeWarning] = LoadOne(instance, IDB_WARNING_NORMAL);
    g_normalIcons[kTypeError] = LoadOne(instance, IDB_ERROR_NORMAL);
    g_selectedIcons[kTypeInformation] = LoadOne(instance, IDB_INFO_SELECTED);
    g_selectedIcons[kTypeWarning] = LoadOne(instance, IDB_WARNING_SELECTED);
    g_selectedIcons[kTypeError] = LoadOne(instance, IDB_ERROR_SELECTED);
    return g_iconMask && g_normalIcons[1] && g_normalIcons[2] && g_normalIcons[4] && g_selectedIcons[1] &&
           g_selectedIcons[2] && g_selectedIcons[4];
}

void DrawEventRow(const DRAWITEMSTRUCT& d, const EventEntry& e) {
    if (d.itemState & ODS_SELECTED) {
        DrawSelectedRow(d, e);
    } else {
        DrawNormalRow(d, e);
    }
}
