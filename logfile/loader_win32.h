// Opening a log file for reading with the system's file calls.
#pragma once

#include <windows.h>

#include "logfile/loader.h"

// Shared reading (writers may go on appending); 206 for a refused access,
// 207 for any other failure to open.
const LogOpener* Win32LogOpener();
// The file the opener reached last: after a load, the file loaded. The live
// operations write only into that file, whatever has been moved onto its
// path since.
FileIdentity LastOpenedIdentity();

// LogReader's read over a file handle, from its current position.
int ReadFromFileHandle(void* handle, uint8_t* buffer, uint32_t size, uint32_t* got);
// The identity of the file behind a handle; unknown when the system cannot tell.
FileIdentity IdentityOfHandle(HANDLE file);
