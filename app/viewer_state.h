// The viewer's process-wide state as plain records. The Win32 layer keeps one
// instance; the core's operations take it by pointer so tests can make many.
#pragma once

#include <cstdint>

#include "app/ansi_text.h"
#include "eventlist/filter.h"
#include "logfile/event_table.h"
#include "logfile/log_format.h"

constexpr int kPathSize = 260;

// Which file a handle reaches, whatever path or form named it: the volume's
// serial number and the file's index on it. known is 0 where the platform
// could not tell, and an unknown file is the same as no other.
struct FileIdentity {
    uint32_t known;
    uint32_t volume;
    uint64_t index;
};
inline bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.known != 0 && b.known != 0 && a.volume == b.volume && a.index == b.index;
}

struct OpenFileState {
    char path[kPathSize];       // CurrentFilePath, upper-cased by the load
    uint32_t isLive;
    int sourceIndex;            // into kLogSources, -1 when not live
    LogHeader currentHeader;    // all zero after a failed load
    FileIdentity identity;      // of the file loaded; unknown after a failed load
};

struct ViewerState {
    const AnsiCodePage* codePage;   // of paths and typed texts; single-byte unless set
    OpenFileState file;
    LogHeader liveHeaderCopy;
    EventTable table;
    ViewConditions conditions;
    ViewRange range;
    uint32_t sortOrder;         // 0 before any, else 112..114
    uint32_t viewMode;          // 0 before the first load, else 110/111
    uint32_t saveSettings;
    uint32_t shownCount;
};

// Start-up values: default conditions, the default LiveHeaderCopy, no file.
void InitViewerState(ViewerState* state);
void ReleaseViewerState(ViewerState* state);

// What Refresh copies aside and puts back after the reload.
struct RefreshSnapshot {
    ViewRange range;
    ViewConditions conditions;
    uint32_t sortOrder;
    uint32_t viewMode;
    uint32_t saveSettings;
};
void TakeRefreshSnapshot(const ViewerState& state, RefreshSnapshot* snap);
void RestoreRefreshSnapshot(ViewerState* state, const RefreshSnapshot& snap);
