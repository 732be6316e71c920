// The on-disk event log: an 88-byte header followed by a record area in which
// variable-length records form a circular chain from the oldest to the newest
// event. Every field is read and written at its exact offset as a little-endian
// value, never by laying a struct over the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/ansi_text.h"

constexpr uint32_t kHeaderSize = 88;
constexpr uint32_t kRecordAreaStart = 88;   // the area always follows the header
constexpr uint32_t kRecordFixedSize = 38;   // link .. wrapToStart
constexpr uint32_t kMagicSize = 16;
constexpr uint32_t kComputerNameSize = 16;

// Event type codes.
constexpr uint16_t kTypeError = 1;
constexpr uint16_t kTypeWarning = 2;
constexpr uint16_t kTypeInformation = 4;

// Sort orders and view modes reuse the View menu's command ids.
constexpr uint32_t kOrderNewestFirst = 112;
constexpr uint32_t kOrderOldestFirst = 113;
constexpr uint32_t kOrderModule = 114;
constexpr uint32_t kViewAllEvents = 110;
constexpr uint32_t kViewFiltered = 111;

inline uint16_t GetU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void PutU16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

// The viewer's filter and sort conditions, persisted byte for byte at header
// offsets 68 to 87.
struct ViewConditions {
    uint16_t fromIsStamp;
    uint16_t throughIsStamp;
    uint16_t errorType;
    uint16_t warningType;
    uint16_t informationType;
    uint16_t componentIndex;
    uint32_t moduleIndex;
    uint16_t sortOrder;
    uint16_t conditionsSaved;
};
constexpr uint32_t kConditionsOffset = 68;
constexpr uint32_t kConditionsSize = 20;

// All types shown, no bounds, every component and module, no order yet.
ViewConditions DefaultViewConditions();
void ReadViewConditions(const uint8_t bytes[kConditionsSize], ViewConditions* out);
void WriteViewConditions(const ViewConditions& c, uint8_t bytes[kConditionsSize]);

struct LogHeader {
    uint8_t magic[kMagicSize];
    uint8_t writerBytes[14];            // offsets 16..29: the writer's, copied unchanged
    uint16_t recordAreaStart;
    uint32_t maxLogSize;
    uint32_t recordAreaEnd;
    uint32_t recordCount;
    uint8_t computerName[kComputerNameSize];
    uint32_t oldestOffset;
    uint32_t writerOffset;
    ViewConditions conditions;
};

// Header field offsets, for the live writes that touch single fields.
constexpr uint32_t kOffsetMaxLogSize = 32;
constexpr uint32_t kOffsetRecordCount = 40;
constexpr uint32_t kOffsetOldestOffset = 60;
constexpr uint32_t kOffsetWriterOffset = 64;
constexpr uint32_t kOffsetConditionsSaved = 86;

void ReadLogHeader(const uint8_t bytes[kHeaderSize], LogHeader* out);
void WriteLogHeader(const LogHeader& h, uint8_t bytes[kHeaderSize]);

// The year..second fields of the record's SYSTEMTIME (day of week and
// milliseconds are kept for writers and tests).
struct RecordTime {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

// The fixed part of one record, as read from its 38 bytes.
struct LogRecord {
    uint32_t link;
    RecordTime timeStamp;
    uint32_t moduleCode;
    uint8_t writerBytes[4];             // record offset 24: never interpreted
    uint32_t dataLength;
    uint16_t descriptionLength;
    uint16_t type;
    uint16_t wrapToStart;
};

void WriteLogRecord(const LogRecord& r, uint8_t* bytes);           // writes 38 bytes

// Direct field readers for hot paths that need one field of a record in memory.
inline uint32_t RecordLink(const uint8_t* r) { return GetU32(r + 0); }
inline uint32_t RecordModuleCode(const uint8_t* r) { return GetU32(r + 20); }
inline uint32_t RecordDataLength(const uint8_t* r) { return GetU32(r + 28); }
inline uint16_t RecordDescriptionLength(const uint8_t* r) { return GetU16(r + 32); }
inline uint16_t RecordType(const uint8_t* r) { return GetU16(r + 34); }
inline uint16_t RecordWrapToStart(const uint8_t* r) { return GetU16(r + 36); }
inline const uint8_t* RecordDescription(const uint8_t* r) { return r + kRecordFixedSize; }
inline const uint8_t* RecordData(const uint8_t* r) { return r + kRecordFixedSize + RecordDescriptionLength(r); }

// The four writing components, looked up in this order.
struct LogSource {
    const char* eventFileName;
    const char* mappingName;
    const char* mutexName;
    const char* magic;                  // 15 characters; byte 15 of the header is 0
};
constexpr int kLogSourceCount = 4;
extern const LogSource kLogSources[kLogSourceCount];

// True when the 16 bytes equal one of the four magics, zero byte included.
bool IsKnownMagic(const uint8_t bytes[kMagicSize]);

// Index into kLogSources of the first event file name found anywhere in the
// path, or -1. The path must already be upper-cased. A name counts only where
// it starts a character: the second byte of a double-byte character is no 'P'.
int FindLogSource(const char* upperPath, const AnsiCodePage& page);

// moduleCode -> component code 1..5 and module code 0..7; unknown codes give 5 and 7.
void ClassifyModuleCode(uint32_t moduleCode, uint16_t* component, uint16_t* module);
