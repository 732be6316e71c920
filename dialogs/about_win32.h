// The About box (template 2000): the version resource of the executable.
#pragma once

#include <windows.h>

// Command 130: the modal box.
void ShowAboutBox();

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
