// The Log Settings dialog (template 200): the live log's maximum size in
// kilobytes, stepped by the spin arrows in 64-kilobyte steps; OK writes it.
#pragma once

#include <windows.h>

#include <cstdint>

// Command 1126, once confirmed: opens the modeless dialog on the live log's size.
void OpenLogSettingsDialog();

// OK's write of the new size into the live log. Tests replace it to see the
// request without a live write.
typedef void (*MaxLogSizeWriter)(uint32_t bytes);
extern MaxLogSizeWriter g_writeMaxLogSize;

INT_PTR CALLBACK LogSettingsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
