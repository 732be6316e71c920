// Painting one row of the event list: type icon, date, time, component,
// module and computer, in the normal or the selected look.
#pragma once

#include <windows.h>

#include "logfile/event_table.h"

extern COLORREF g_rowTextColor;     // normal rows; the font dialog changes it

constexpr COLORREF kSelectedRowColor = RGB(0, 0, 128);

// Loads the seven type bitmaps; 0 when one is missing.
int LoadTypeBitmaps(HINSTANCE instance);

// Draws row d->itemID showing entry e; selected rows in white on navy.
void DrawEventRow(const DRAWITEMSTRUCT& d, const EventEntry& e);
