// The Filter dialog (template 300): the display window, types, component and
// module; OK stores them and asks the main window to apply them.
#pragma once

#include <windows.h>

// Command 111: opens the modeless dialog on the current conditions.
void OpenFilterDialog();

INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
