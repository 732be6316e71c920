// What the live operations write into a live log's header, on a view of the
// file shared with its writing component. Only these header fields are ever
// written: recordCount, oldestOffset, writerOffset, maxLogSize and the
// conditions block. No record byte is touched.
#pragma once

#include <cstdint>

#include "app/viewer_state.h"

// Message ids of the three operations' failures.
constexpr int kMsgClearFailed = 217;
constexpr int kMsgStoreConditionsFailed = 218;
constexpr int kMsgMaxLogSizeFailed = 219;

// How long an operation waits for the component's mutex. A component holds
// it for the few field writes of an append; one that keeps it for this long
// has hung, and the operation gives up with its own message rather than
// freezing the window for good.
constexpr uint32_t kLiveMutexWaitMs = 10000;

// A view can take the header writes when the file holds a whole header and
// its magic is still one of the four.
bool LiveViewUsable(const uint8_t* view, uint64_t fileSize);

// An empty chain: recordCount, oldestOffset and writerOffset 0. The record
// bytes, recordAreaEnd, maxLogSize and the conditions stay.
void WriteClearedChain(uint8_t* header);

void WriteMaxLogSize(uint8_t* header, uint32_t bytes);

// With the Save Settings flag 1: the current order goes into the in-memory
// conditions, which are written whole at offsets 68..87, then marked as
// saved. With the flag 0 only the saved mark is cleared.
void WriteStoredConditions(uint8_t* header, ViewerState* state);
