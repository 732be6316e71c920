#include "dialogs/about_win32.h"

#include <cstdio>

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "resources/resource_ids.h"

namespace {

// The five values, in the order they are read, from the Japanese block of the
// version resource. Both blocks of our resource hold the same ASCII texts, so
// the block reads the same whichever language the system runs.
struct VersionField {
    int control;
    const char* key;
};
const VersionField kVersionFields[] = {
    {IDC_ABOUT_PRODUCT_NAME, "\\StringFileInfo\\041103a4\\ProductName"},
    {IDC_ABOUT_PRODUCT_VERSION, "\\StringFileInfo\\041103a4\\ProductVersion"},
    {IDC_ABOUT_LEGAL_COPYRIGHT, "\\StringFileInfo\\041103a4\\LegalCopyright"},
    {IDC_ABOUT_FILE_DESCRIPTION, "\\StringFileInfo\\041103a4\\FileDescription"},
    {IDC_ABOUT_FILE_VERSION, "\\StringFileInfo\\041103a4\\FileVersion"},
};

// The program's file is looked up by its name alone (string 11 and ".EXE"),
// the way the system finds a module: a renamed executable shows no values.
void ShowVersionFields(HWND dialog) {
    for (const VersionField& f : kVersionFields) SetDlgItemTextA(dialog, f.control, "");
    char fileName[MAX_PATH];
    snprintf(fileName, sizeof fileName, "%s.EXE", g_texts.appName);
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &unused);
    if (size == 0) return;
    void* block = LocalAlloc(LMEM_FIXED, size);
    if (block == nullptr) return;
    if (GetFileVersionInfoA(fileName, 0, size, block)) {
        for (const VersionField& f : kVersionFields) {
            void* value = nullptr;
            UINT length = 0;
            if (VerQueryValueA(block, f.key, &value, &length) && length > 0) {
                SetDlgItemTextA(dialog, f.control, static_cast<const char*>(value));
            }
        }
    }
    LocalFree(block);
}

}  // namespace

void ShowAboutBox() {
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUT), g_mainWindow, AboutDialog, 0);
}

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        BeginDialogFrame(dialog);
        ShowVersionFields(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
        EndModalDialog(dialog, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}
