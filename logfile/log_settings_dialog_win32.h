// The Log Settings dialog (template 200): the live log's maximum size in
// kilobytes, stepped by the spin arrows in 64-kilobyte steps; OK writes it.
#pragma once

#include <windows.h>

// Command 1126, once confirmed: opens the modeless dialog on the live log's size.
void OpenLogSettingsDialog();

INT_PTR CALLBACK LogSettingsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
