// Start-up and the message loop.
#pragma once

#include <windows.h>

extern char* g_workBuffer;      // the data dump's text, allocated once

// Everything that lives for the whole run, up to the shown main window with
// the command-line file on its way in. 1 when the program can run; 0 after
// the failure has been reported.
int StartProgram(HINSTANCE instance, const char* commandLine, int showCommand);

// One message as the loop handles it: the open dialog's keys (Tab, Enter,
// Esc, access keys) first, then the accelerators, then its window.
void DispatchLoopMessage(MSG* msg);

// Runs until WM_QUIT; returns its wParam.
int RunMessageLoop();
