// Save As onto the disk: a new file only, never over an existing one, and
// never left half written.
#pragma once

// 2 when the copy was written; 1 when a file of that name exists and the
// user chose OK to pick another name (251); 0 when nothing was written
// (Cancel on 251, or a failure, after 211).
int SaveLogAs(const char* savePath);
