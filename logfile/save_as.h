// Save As: a copy of the loaded log, written from memory. The copy is the
// header as read at the last load followed by the record area as read then,
// so a live log's later changes never reach it.
#pragma once

#include <cstdint>

#include "app/viewer_state.h"

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
