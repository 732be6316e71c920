// The walk of a record area's chain from the oldest record, as a load takes
// it: shared by the viewer's load and the terminal tool's mapped reading.
#pragma once

#include <cstdint>
#include <cstring>

#include "logfile/log_format.h"

// A description holds its zero byte somewhere inside its length (writers put
// it last); an empty one needs none.
inline bool DescriptionTerminated(const uint8_t* description, uint16_t length) {
    if (length == 0) return true;
    if (description[length - 1] == 0) return true;
    return memchr(description, 0, length) != nullptr;
}

// Walks the chain of h.recordCount records from the oldest one in an area of
// size bytes, handing each record to take(k, record) with k counting down
// from recordCount - 1 (the oldest) to 0 (the newest). Returns 1, or 0 when
// the log is corrupted: each record with its description and data must lie
// inside the area, the description be terminated and each link move.
// Records may overlap, but none may be taken twice. The usual chain cannot
// take one twice: it moves forward from the oldest record, wraps back once
// and moves forward again below the oldest start, which one comparison per
// step confirms; *unusual says the chain left that shape, and the caller
// then looks for the newest record among the others.
template <typename Take>
int WalkRecordChain(const LogHeader& h, const uint8_t* area, uint64_t size, bool* unusual, Take take) {
    uint64_t pos = uint32_t(h.oldestOffset - kRecordAreaStart);
    const uint64_t oldest = pos;
    bool wrapped = false;
    *unusual = false;
    for (uint32_t k = h.recordCount; k-- > 0;) {
        if (pos + kRecordFixedSize > size) return 0;
        const uint8_t* r = area + pos;
        const uint16_t descriptionLength = RecordDescriptionLength(r);
        if (pos + kRecordFixedSize + descriptionLength + uint64_t(RecordDataLength(r)) > size) return 0;
        if (!DescriptionTerminated(RecordDescription(r), descriptionLength)) return 0;
        take(k, r);
        if (k == 0) break;   // the newest record's link is never followed
        uint64_t next;
        if (RecordWrapToStart(r) == 1) {
            next = 0;
        } else {
            const uint32_t link = RecordLink(r);
            if (link == 0) return 0;
            // File offsets and area positions differ by 88, so the 32-bit
            // sum lands on the same record either way.
            next = uint32_t(uint32_t(pos) + link);
        }
        if (next <= pos) {   // the first step back is the wrap
            if (wrapped) *unusual = true;
            wrapped = true;
        }
        if (wrapped && next >= oldest) *unusual = true;
        pos = next;
    }
    return 1;
}
