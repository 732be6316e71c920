// Save As onto the disk: a new file only, never over an existing one, and
// never a partial file under the chosen name.
#pragma once

#include <windows.h>

#include <cstdint>

// 2 when the copy was written; 1 when a file of that name exists and the
// user chose OK to pick another name (251); 0 when nothing was written
// (Cancel on 251, or a failure, after 211).
int SaveLogAs(const char* savePath);

// Under the component's mutex, just before a clear or a size change: the
// live file as it stands (its header as the view shows it, then the record
// area read through liveFile) replaces the copy the user asked for at
// copyPath, so that the copy holds every event the change may erase. Shows
// nothing; false when the copy could not be written whole, and copyPath is
// then as it was.
bool CopyLiveLogTo(const char* copyPath, HANDLE liveFile, const uint8_t* liveHeader);
