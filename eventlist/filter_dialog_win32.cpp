#include "eventlist/filter_dialog_win32.h"

void OpenFilterDialog() {}

INT_PTR CALLBACK FilterDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
