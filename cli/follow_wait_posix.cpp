#include "cli/follow_wait.h"

#include <time.h>

void WaitMilliseconds(unsigned milliseconds) {
    timespec t = {time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}
