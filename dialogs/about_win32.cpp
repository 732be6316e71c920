#include "dialogs/about_win32.h"

void ShowAboutBox() {}

INT_PTR CALLBACK AboutDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
