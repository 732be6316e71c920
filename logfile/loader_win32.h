// Opening a log file for reading with the system's file calls.
#pragma once

#include "logfile/loader.h"

// Shared reading (writers may go on appending); 206 for a refused access,
// 207 for any other failure to open.
const LogOpener* Win32LogOpener();
