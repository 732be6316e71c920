#include "tools/chain_append.h"

namespace {

// The record area's end from the header, or 0 when the area does not lie in the file.
uint32_t CheckedAreaEnd(const uint8_t* file, size_t fileSize) {
    if (fileSize < kHeaderSize) return 0;
    const uint32_t end = GetU32(file + kOffsetRecordAreaEnd);
    return end >= kRecordAreaStart && end <= fileSize ? end : 0;
}

uint32_t NextRecord(const uint8_t* file, uint32_t p) {
    return RecordWrapToStart(file + p) == 1 ? kRecordAreaStart : p + RecordLink(file + p);
}

}  // namespace

uint32_t FindNewestRecord(const uint8_t* file, size_t fileSize) {
    const uint32_t end = CheckedAreaEnd(file, fileSize);
    if (end < kRecordAreaStart + kRecordFixedSize) return 0;
    const uint32_t count = GetU32(file + kOffsetRecordCount);
    // More records than the area can hold means a chain that comes round again.
    if (count == 0 || count > (end - kRecordAreaStart) / kRecordFixedSize) return 0;
    uint32_t p = GetU32(file + kOffsetOldestOffset);
    for (uint32_t k = 1;; ++k) {
        if (p < kRecordAreaStart || p > end - kRecordFixedSize) return 0;
        if (k == count) return p;
        p = NextRecord(file, p);
    }
}

int AppendRecord(uint8_t* file, size_t fileSize, uint32_t* newestOffset, const RecordSpec& record) {
    const uint32_t end = CheckedAreaEnd(file, fileSize);
    const uint32_t size = RecordSpecSize(record);
    if (end == 0 || size > end - kRecordAreaStart) return 0;
    uint32_t count = GetU32(file + kOffsetRecordCount);
    uint32_t oldest = GetU32(file + kOffsetOldestOffset);
    const uint32_t newest = *newestOffset;
    if (count != 0 && (newest < kRecordAreaStart || newest > end - kRecordFixedSize)) return 0;
    uint32_t from = GetU32(file + kOffsetWriterOffset);
    if (from < kRecordAreaStart || from > end) from = kRecordAreaStart;

    const bool wraps = size > end - from;
    const uint32_t at = wraps ? kRecordAreaStart : from;
    if (count != 0) {
        uint8_t* last = file + newest;
        if (wraps) {
            PutU16(last + 36, 1);
        } else {
            PutU32(last, at - newest);
            PutU16(last + 36, 0);
        }
    }
    // The bytes reused run from the old write position to the new record's
    // end, through the area's end when the chain wraps. The records starting
    // there are the oldest ones, so they leave the chain from its start.
    const uint32_t firstRunEnd = wraps ? end : at + size;
    while (count != 0 && ((oldest >= from && oldest < firstRunEnd) ||
                          (wraps && oldest >= kRecordAreaStart && oldest < at + size))) {
        if (oldest > end - kRecordFixedSize) {   // a chain that leaves the area: start afresh
            count = 0;
            break;
        }
        if (--count != 0) oldest = NextRecord(file, oldest);
    }

    RecordSpec placed = record;
    placed.link = size;
    placed.wrapToStart = 0;
    WriteRecordSpec(placed, file + at);
    if (count == 0) oldest = at;
    PutU32(file + kOffsetRecordCount, count + 1);
    PutU32(file + kOffsetOldestOffset, oldest);
    PutU32(file + kOffsetWriterOffset, at + size);
    *newestOffset = at;
    return 1;
}
