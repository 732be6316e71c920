// The main window: its process-wide state, its class and creation, and
// DarvexMainWindow, which routes every command to the part doing the work.
#pragma once

#include <windows.h>

#include "app/ui_effects.h"
#include "app/viewer_state.h"
#include "dialogs/find.h"

// The private message behind every (re)load: wParam 1 for a newly chosen
// file, 0 for Refresh.
constexpr UINT WM_DARVEX_RELOAD = WM_USER + 16;

extern ViewerState g_viewer;            // the table, the conditions, CurrentFilePath
extern FindCriteria g_findCriteria;
extern HINSTANCE g_instance;
extern HWND g_mainWindow;
extern HMENU g_mainMenu;
extern HMENU g_viewMenu;                // also the list's context menu
extern HWND g_activeDialog;             // the modeless dialog the loop serves, else the main window
extern HACCEL g_accelerators;
extern HCURSOR g_waitCursor;
extern HCURSOR g_arrowCursor;
extern char g_helpFilePath[MAX_PATH];
extern TEXTMETRICA g_textMetrics;       // of the main window's default font
extern PRINTDLGA g_printSetup;          // shared by Print Setup and the print jobs

int RegisterMainWindowClass(HINSTANCE instance);
// Creates, shows and updates the main window; null on failure.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
// The items that need a loaded file start grayed.
void GrayStartupMenuItems();

// Applies what a core operation decided: list reset, menu states, status texts.
void ApplyUiEffects(const UiEffects& fx);

LRESULT CALLBACK DarvexMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
