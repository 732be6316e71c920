// The Event Detail dialog (template 500): one event in full, its description
// and its data dump, with Previous and Next over the list.
#pragma once

#include <windows.h>

#include "logfile/event_table.h"

// Command 116: opens the modeless dialog on the entry of the selected row.
void OpenEventDetailDialog(EventEntry* entry);

INT_PTR CALLBACK EventDetailDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
