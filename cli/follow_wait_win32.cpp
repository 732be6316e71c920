#include "cli/follow_wait.h"

#include <windows.h>

void WaitMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }
