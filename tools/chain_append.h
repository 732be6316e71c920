// Appending to a log's chain as a writing component does, on the whole file
// held in memory (a mapped view or a LogImage): the record goes where the
// last one ended, wraps to the start of the record area when it does not fit
// before the end, and pushes out the oldest records whose bytes it reuses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/log_writer.h"

constexpr uint32_t kOffsetRecordAreaEnd = 36;

// File offset of the newest record, found by walking the chain from the
// oldest; 0 when the log is empty or its chain leaves the record area.
uint32_t FindNewestRecord(const uint8_t* file, size_t fileSize);

// Appends the record (its link and wrapToStart are the writer's: its own size
// and 0) to the chain of the file at `file`, header first, fileSize bytes.
// The header tells where to write: writerOffset, or 88 when it is 0 or lies
// outside the record area, as after a Clear. *newestOffset says where the
// newest record lies (not read when recordCount is 0) and receives the new
// record's offset. Returns 1; 0, changing nothing, when the record is larger
// than the record area, the area does not lie inside the file, or the log has
// records and *newestOffset lies outside the area. Costs one step per record
// pushed out.
int AppendRecord(uint8_t* file, size_t fileSize, uint32_t* newestOffset, const RecordSpec& record);
