// Reading a log file whole into the EventTable. Files are untrusted: every
// size is checked against the bytes present before anything is allocated, and
// the chain walk never leaves the record area.
#pragma once

#include <cstdint>

#include "app/ui_effects.h"
#include "app/viewer_state.h"

// Message ids a load can end with (0 = loaded).
constexpr int kMsgAccessDenied = 206;
constexpr int kMsgOpenFailed = 207;
constexpr int kMsgReadFailed = 208;
constexpr int kMsgOutOfMemory = 209;
constexpr int kMsgCorrupted = 214;

// A sequential reader over an opened file. read returns 0 on a failed read
// and sets *got to the bytes read (0 at the end of the file).
struct LogReader {
    void* context;
    int (*read)(void* context, uint8_t* buffer, uint32_t size, uint32_t* got);
    uint64_t fileSize;          // UINT64_MAX when the platform cannot tell
};

// Opens a path for reading; returns 0 or kMsgAccessDenied / kMsgOpenFailed.
struct LogOpener {
    void* context;
    int (*open)(void* context, const char* path, LogReader* reader);
    void (*close)(void* context, LogReader* reader);
};

// The stdio opener of the native build and the tools.
const LogOpener* StdioLogOpener();

// Upper-cases the path's ASCII letters, character by character, and decides
// from it whether the file is a live log. The Win32 layer has already applied
// the system's upper-casing; this pass then changes nothing.
void IdentifySource(OpenFileState* file, const AnsiCodePage& page);

// The whole load of state->file.path. Returns 0 when the file was loaded (with
// or without events), else the message id to show; fx receives the menu and
// status changes of the outcome, in order.
int LoadLog(ViewerState* state, const LogOpener* opener, UiEffects* fx);

// Loads from an already opened reader (steps after the open).
int LoadLogFromReader(ViewerState* state, LogReader* reader, UiEffects* fx);

// Fills one entry from a record that the caller has bounds-checked.
void BuildEntry(const uint8_t* record, const LogHeader& header, EventEntry* entry);

// 110 when the conditions are the start-up defaults, else 111.
uint32_t DecideViewMode(const ViewConditions& c);

// The 18-character stamp of an entry: date then time.
void EntryStamp(const EventEntry& e, char stamp[18]);
