// What every dialog of the program does while it is open: it takes the
// message loop's dialog slot (so Tab, Enter, Esc and access keys work), the
// main window takes no input, and on closing the main window comes back to
// the front and repaints its list. Also the component and module lists that
// the Find and Filter dialogs share.
#pragma once

#include <windows.h>

#include <cstdint>

// WM_INITDIALOG: the dialog becomes ActiveDialogWindow, the main window is
// disabled, the dialog is centred over it.
void BeginDialogFrame(HWND dialog);

// Closing: the main window is enabled and brought to the front, the dialog is
// destroyed (a modal one ended with result), and command 1128 is posted.
void EndModelessDialog(HWND dialog);
void EndModalDialog(HWND dialog, INT_PTR result);

// WinHelp, asked again once the help viewer's window is up when the first
// request came while the viewer was still starting.
BOOL CallWinHelp(HWND window, const char* helpFile, UINT command, ULONG_PTR data);

// A dialog's Help button: WinHelp with HELP_CONTEXT and the dialog's context
// number on HelpFilePath. Tests replace the function to see the request.
typedef void (*HelpFunction)(HWND window, const char* helpFile, UINT context);
extern HelpFunction g_showHelpContext;
void ShowHelpContext(HWND dialog, UINT context);

// Puts text into a rich edit view as plain text, whatever it starts with:
// set as a window text, a text that opens like a rich text document would be
// parsed as one.
void SetPlainText(HWND view, const char* text);

// Fills a combo box with slots 0..4 of the component names or 0..7 of the
// module names ("unknown" is never offered), each item's data its position,
// and selects index.
void FillComponentCombo(HWND combo, uint32_t index);
void FillModuleCombo(HWND combo, uint32_t index);

// The item data of the selected item, 0 when nothing is selected.
uint16_t SelectedComboData(HWND combo);

// Check boxes and radio buttons of a dialog.
bool ButtonChecked(HWND dialog, int id);
void SetButtonChecked(HWND dialog, int id, bool checked);
