// The Find dialog (template 400) and the search it starts, which F3 repeats.
#pragma once

#include <windows.h>

// Command 115: opens the modeless dialog on the stored criteria.
void OpenFindDialog();

// Searches the list with the stored criteria from its selection; window (the
// Find dialog, or the main window for F3) takes no input while a question or
// message is up. Returns 1 when a row was selected, 0 when none was.
int FindNextEvent(HWND window);

INT_PTR CALLBACK FindDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
