// The three writes DARVEX makes into a live log's header while its component
// may be writing: Clear All Events, the maximum size and the stored view
// conditions. Each goes through the component's named file mapping, under its
// named mutex, and holds nothing once it returns.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/viewer_state.h"

// A read/write view of the file's header through the source's named mapping.
struct LiveView {
    HANDLE file;
    HANDLE mapping;
    uint8_t* bytes;
};

// Opens the file for reading and writing, the named mapping (the component's
// own when it holds one) and a view of it; false when any step fails, when
// the file is shorter than a header or its magic is none of the four, or when
// the path or the view reaches any file but the one loaded. Shows no
// message: the operation reports its own.
bool OpenLiveView(const char* path, const char* mappingName, const FileIdentity& loaded, LiveView* view);
// Unmaps the view, then closes the mapping and the file, in that order.
void CloseLiveView(LiveView* view);

// The copy the user asked for before a clear or a size change (Yes to 256 or
// 258); the next ClearAllEvents or SetMaxLogSize takes it and writes it again
// from the live file under the component's mutex, right before its change.
// Null forgets it (the user declined the copy).
void SetCopyBeforeChange(const char* path);

// Empties the open live log's chain and reloads it; 217 on failure.
void ClearAllEvents();
// Writes the new maximum size into the open live log's header and into
// LiveHeaderCopy; 219 on failure.
void SetMaxLogSize(uint32_t bytes);
// At exit: the view conditions and the order with the Save Settings flag 1
// (218 on failure), or only the flag 0 (no message).
void StoreConditions();
