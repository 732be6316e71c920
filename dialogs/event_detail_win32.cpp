#include "dialogs/event_detail_win32.h"

void OpenEventDetailDialog(EventEntry*) {}

INT_PTR CALLBACK EventDetailDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
