// The two print jobs on the printer chosen in the common print dialog: the
// list (command 104) and one event (the Event Detail's Print button), with
// the "Print" progress dialog whose Cancel abandons the job.
#pragma once

#include <windows.h>

#include "logfile/event_table.h"

// Prints the rows of the list; the main window owns the dialogs.
void PrintEventList();

// Prints one event from the two views of the dialog that shows it (owner).
void PrintEvent(HWND owner, HWND descriptionView, HWND dataView, const EventEntry& entry);

// The font the printed lines are set in, for a printer's device context:
// 10 points, fixed pitch, in the character set of the system's code page.
// The caller deletes it.
HFONT CreatePrinterFont(HDC printer);

INT_PTR CALLBACK PrintProgressDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CALLBACK PrintAbortProc(HDC dc, int error);
