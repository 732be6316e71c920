#include "cli/cli_check.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* const kFaultTexts[kFaultKindCount] = {
    "well formed",
    "header shorter than 88 bytes",
    "unknown magic",
    "record area past the end of the file",
    "record count too large for the record area",
    "record area not starting at 88 (its size is taken from that start)",
    "chain leads out of the record area",
    "link 0",
    "record crossing the end of the record area",
    "description without its zero byte",
    "chain comes back to a record: shorter than the record count",
};

constexpr uint64_t kOffsetRecordAreaStart = 30;
constexpr uint64_t kOffsetRecordAreaEnd = 36;

// The file offset an area position names: the positions are 32-bit, as the
// loader's sums are, so an offset below the area comes back as itself.
uint64_t FileOffsetOf(uint64_t pos) { return uint32_t(pos + kRecordAreaStart); }

// The area always lies at 88, but its size is recordAreaEnd minus the start
// field. With another start the loader's area is not [88, recordAreaEnd):
// a refusal that the area from 88 to recordAreaEnd would not give is the
// start field's fault. end is how far the refused record or area reaches,
// an area position.
bool StartIsTheFault(const LogHeader& h, uint64_t end) {
    return h.recordAreaStart != kRecordAreaStart && h.recordAreaEnd >= kRecordAreaStart &&
           end <= h.recordAreaEnd - kRecordAreaStart;
}

void SetFault(ChainCheck* check, int fault, uint64_t fileOffset, uint32_t recordIndex) {
    check->fault = fault;
    check->fileOffset = fileOffset;
    check->recordIndex = recordIndex;
}

// False, with the fault, when the area has no room for the header's count.
bool CountFits(const LogHeader& h, uint32_t areaSize, ChainCheck* check) {
    if (h.recordCount <= areaSize / kRecordFixedSize) return true;
    if (StartIsTheFault(h, uint64_t(h.recordCount) * kRecordFixedSize)) {
        SetFault(check, kFaultAreaStart, kOffsetRecordAreaStart, 0);
    } else {
        SetFault(check, kFaultCountTooLarge, kOffsetRecordCount, 0);
    }
    return false;
}

// The walk's view of one area, with the step rule the loader follows.
struct Chain {
    const uint8_t* area;
    uint64_t size;
};

// 0 when the record at pos lies whole inside the area with its description
// terminated, else the fault.
int RecordFault(const Chain& c, uint64_t pos) {
    if (pos >= c.size) return kFaultOutOfArea;
    if (pos + kRecordFixedSize > c.size) return kFaultCrossesEnd;
    const uint8_t* r = c.area + pos;
    const uint16_t descriptionLength = RecordDescriptionLength(r);
    if (pos + kRecordFixedSize + descriptionLength + uint64_t(RecordDataLength(r)) > c.size) return kFaultCrossesEnd;
    const uint8_t* text = RecordDescription(r);
    if (descriptionLength != 0 && text[descriptionLength - 1] != 0 && !memchr(text, 0, descriptionLength)) {
        return kFaultNoZeroByte;
    }
    return 0;
}

// The position after pos, or UINT64_MAX for a link of 0.
uint64_t NextPosition(const Chain& c, uint64_t pos) {
    const uint8_t* r = c.area + pos;
    if (RecordWrapToStart(r) == 1) return 0;
    const uint32_t link = RecordLink(r);
    if (link == 0) return UINT64_MAX;
    return uint32_t(uint32_t(pos) + link);
}

// The next position of a sequence that stays on good records, or UINT64_MAX.
uint64_t SafeNext(const Chain& c, uint64_t pos) {
    if (pos == UINT64_MAX || RecordFault(c, pos) != 0) return UINT64_MAX;
    return NextPosition(c, pos);
}

// Each step depends only on the record it leaves, so the positions repeat
// from the first record taken twice. Brent's cycle search finds where the
// repetition starts (mu) and its length (lambda) in linear steps without
// remembering positions; the chain first comes back at step mu + lambda.
bool FirstRevisit(const Chain& c, uint64_t start, uint32_t count, uint32_t* step, uint64_t* pos) {
    uint64_t power = 1;
    uint64_t lambda = 1;
    uint64_t tortoise = start;
    uint64_t hare = SafeNext(c, start);
    while (tortoise != hare) {
        if (hare == UINT64_MAX) return false;   // the sequence leaves the good records: no cycle
        if (power == lambda) {
            tortoise = hare;
            power *= 2;
            lambda = 0;
        }
        hare = SafeNext(c, hare);
        ++lambda;
    }
    tortoise = start;
    hare = start;
    for (uint64_t i = 0; i < lambda; ++i) hare = SafeNext(c, hare);
    uint64_t mu = 0;
    while (tortoise != hare) {
        tortoise = SafeNext(c, tortoise);
        hare = SafeNext(c, hare);
        ++mu;
    }
    if (mu + lambda >= count) return false;
    *step = uint32_t(mu + lambda);
    *pos = tortoise;
    return true;
}

}  // namespace

const char* ChainFaultText(int fault) {
    return fault >= 0 && fault < kFaultKindCount ? kFaultTexts[fault] : "";
}

void CheckChain(const LogHeader& h, const uint8_t* area, uint32_t areaSize, ChainCheck* check) {
    const Chain c = {area, areaSize};
    const uint32_t count = h.recordCount;
    check->recordCount = count;
    SetFault(check, kFaultNone, 0, 0);
    if (count == 0 || !CountFits(h, areaSize, check)) return;
    const uint64_t start = uint32_t(h.oldestOffset - kRecordAreaStart);
    uint64_t pos = start;
    bool wrapped = false;
    bool usualShape = true;
    for (uint32_t i = 0; i < count; ++i) {
        // A position outside the area is reported as the file offset it names.
        if (int fault = RecordFault(c, pos)) {
            // How far the record reaches, as far as it can be read.
            uint64_t end = pos + kRecordFixedSize;
            if (end <= c.size) end += RecordDescriptionLength(area + pos) + uint64_t(RecordDataLength(area + pos));
            if (fault != kFaultNoZeroByte && StartIsTheFault(h, end)) {
                SetFault(check, kFaultAreaStart, kOffsetRecordAreaStart, 0);
            } else {
                SetFault(check, fault, FileOffsetOf(pos), i);
            }
            return;
        }
        if (i + 1 == count) break;   // the newest record's link is never followed
        const uint64_t next = NextPosition(c, pos);
        if (next == UINT64_MAX) {
            SetFault(check, kFaultLinkZero, FileOffsetOf(pos), i);
            return;
        }
        if (next <= pos) {
            if (wrapped) usualShape = false;
            wrapped = true;
        }
        if (wrapped && next >= start) usualShape = false;
        pos = next;
    }
    uint32_t step = 0;
    if (!usualShape && FirstRevisit(c, start, count, &step, &pos)) {
        SetFault(check, kFaultRevisit, FileOffsetOf(pos), step);
    }
}

namespace {

// The header's faults, as the loader meets them before the chain: false when
// one is found (or there are no records), else the header and the area's size.
bool HeaderLeadsToArea(const uint8_t* bytes, uint32_t total, uint64_t fileSize, LogHeader* h, uint32_t* areaSize,
                       ChainCheck* check) {
    if (total < kHeaderSize) {
        SetFault(check, kFaultShortHeader, total, 0);
        return false;
    }
    if (!IsKnownMagic(bytes)) {
        SetFault(check, kFaultUnknownMagic, 0, 0);
        return false;
    }
    ReadLogHeader(bytes, h);
    check->recordCount = h->recordCount;
    if (h->recordCount == 0) return false;
    *areaSize = uint32_t(h->recordAreaEnd - h->recordAreaStart);
    if (fileSize != UINT64_MAX && uint64_t(kHeaderSize) + *areaSize > fileSize) {
        if (StartIsTheFault(*h, 0) && h->recordAreaEnd <= fileSize) {
            SetFault(check, kFaultAreaStart, kOffsetRecordAreaStart, 0);
        } else {
            SetFault(check, kFaultAreaBeyondFile, kOffsetRecordAreaEnd, 0);
        }
        return false;
    }
    return CountFits(*h, *areaSize, check);
}

}  // namespace

int CheckLog(LogReader* reader, ChainCheck* check) {
    memset(check, 0, sizeof *check);
    uint8_t bytes[kHeaderSize];
    uint32_t total = 0;
    while (total < kHeaderSize) {
        uint32_t got = 0;
        if (!reader->read(reader->context, bytes + total, kHeaderSize - total, &got)) return kMsgReadFailed;
        if (got == 0) break;
        total += got;
    }
    LogHeader h;
    uint32_t areaSize = 0;
    if (!HeaderLeadsToArea(bytes, total, reader->fileSize, &h, &areaSize, check)) return 0;
    uint8_t* area = static_cast<uint8_t*>(malloc(areaSize));
    if (!area) return kMsgOutOfMemory;
    for (uint32_t have = 0; have < areaSize;) {
        uint32_t got = 0;
        if (!reader->read(reader->context, area + have, areaSize - have, &got)) {
            free(area);
            return kMsgReadFailed;
        }
        if (got == 0) {   // the size could not be told beforehand: the file ends early
            free(area);
            SetFault(check, kFaultAreaBeyondFile, kOffsetRecordAreaEnd, 0);
            return 0;
        }
        have += got;
    }
    CheckChain(h, area, areaSize, check);
    free(area);
    return 0;
}

void CheckLogBytes(const uint8_t* bytes, uint64_t size, ChainCheck* check) {
    memset(check, 0, sizeof *check);
    LogHeader h;
    uint32_t areaSize = 0;
    const uint32_t total = size < kHeaderSize ? uint32_t(size) : kHeaderSize;
    if (HeaderLeadsToArea(bytes, total, size, &h, &areaSize, check)) CheckChain(h, bytes + kRecordAreaStart, areaSize, check);
}
