// Save As: a copy of the loaded log, written from memory. The copy is the
// header as read at the last load followed by the record area as read then,
// so a live log's later changes never reach it.
#pragma once

#include <cstdint>

#include "app/viewer_state.h"
#include "logfile/loader.h"

constexpr int kMsgWriteFailed = 211;
constexpr int kMsgFileExists = 251;

// SaveLogAs's results.
constexpr int kSaveNotWritten = 0;
constexpr int kSaveChooseAnotherName = 1;
constexpr int kSaveWritten = 2;

// Where a copy goes. write returns 0 when the call failed and sets *written
// to the bytes it took.
struct CopySink {
    void* context;
    int (*write)(void* context, const uint8_t* bytes, uint32_t size, uint32_t* written);
};

// Bytes in the copy: the header, then the record area when the load read one.
// An empty log's area was never read, so its copy is the header alone, which
// loads as the same empty log.
uint64_t LogCopySize(const ViewerState& state);

// Writes the header in one call, then the record area in calls that go on
// from what each took. 1 when every byte was written; 0 when a call failed or
// took nothing while bytes remained.
int WriteLogCopy(const ViewerState& state, const CopySink& sink);

// A live log copied under its component's mutex, just before a clear or a
// size change: the header as it stands then, and the record area that header
// names, read from the file. The area's size, or 0 with ok false when the
// file does not hold the area its header names. An empty chain copies as
// its header alone, as an empty loaded log does.
uint32_t LiveCopyAreaSize(const uint8_t header[kHeaderSize], uint64_t fileSize, bool* ok);

// The header, then areaSize bytes read in order from source through buffer.
// 1 when every byte was read and written.
int CopyLiveLog(const uint8_t header[kHeaderSize], uint32_t areaSize, const LogReader& source, uint8_t* buffer,
                uint32_t bufferSize, const CopySink& sink);
