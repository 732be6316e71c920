#include "logfile/live_access_win32.h"

bool OpenLiveView(const char*, const char*, LiveView*) { return false; }
void CloseLiveView(LiveView*) {}
void ClearAllEvents() {}
void SetMaxLogSize(uint32_t) {}
void StoreConditions() {}
