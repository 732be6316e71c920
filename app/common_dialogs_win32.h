// The Open / Save As file dialogs and the list font dialog.
#pragma once

#include <windows.h>

extern char g_savePath[MAX_PATH];       // the name the next Save As copy gets

// Mode 1: Open, the path goes into CurrentFilePath. Any other mode: Save As,
// the path with a ".evt" extension goes into g_savePath. 1 when a path was
// stored, 0 when the user cancelled.
UINT ChooseOpenOrSavePath(WORD mode);

// Lets the user pick the list's font and text colour and applies them.
void ChooseListFont();
