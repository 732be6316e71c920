// The chain check: the loader's own rules, walked again to say where and why
// a log is refused instead of only that it is.
#pragma once

#include <cstdint>

#include "logfile/loader.h"

enum ChainFaultKind {
    kFaultNone,
    kFaultShortHeader,        // fewer than 88 bytes
    kFaultUnknownMagic,
    kFaultAreaBeyondFile,     // the header promises more record area than the file holds
    kFaultCountTooLarge,      // more records than the area has room for
    kFaultAreaStart,          // the area's size, taken from a start other than 88, is what refuses the log
    kFaultOutOfArea,          // the chain leads to a record that starts outside the area
    kFaultLinkZero,
    kFaultCrossesEnd,         // a record's fixed part, description or data runs past the area
    kFaultNoZeroByte,         // a description without its zero byte
    kFaultRevisit,            // the chain comes back to a record: it is shorter than recordCount
    kFaultKindCount
};

struct ChainCheck {
    int fault;                // a ChainFaultKind
    uint64_t fileOffset;      // where the fault lies (a header field, or the record)
    uint32_t recordIndex;     // the record's place in the chain, 0 the oldest
    uint32_t recordCount;     // the header's count
};

// The fault's words, e.g. "link 0".
const char* ChainFaultText(int fault);

// Reads the log from the reader as the loader does and checks it. Returns 0
// with the outcome in *check, or the message id of a read that failed (208)
// or of memory that ran out (209).
int CheckLog(LogReader* reader, ChainCheck* check);

// Checks a whole file already in memory (mapped) as CheckLog checks it read.
void CheckLogBytes(const uint8_t* bytes, uint64_t size, ChainCheck* check);

// Checks a header and its record area already in memory (area position 0 is
// file offset 88).
void CheckChain(const LogHeader& header, const uint8_t* area, uint32_t areaSize, ChainCheck* check);
