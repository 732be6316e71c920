// Writing event log files for tests, benchmarks and fuzz seeds: a precise
// builder for hand-made logs, a realistic generator that streams large logs
// to disk, and a catalogue of small malformed logs with what a loader must do
// with each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "logfile/log_format.h"

// ---------------------------------------------------------------------------
// Hand-made logs

// A whole log file in memory, header first.
struct LogImage {
    std::vector<uint8_t> bytes;
};

// Starts a well-formed empty log of the given source (index into kLogSources):
// the header (recordAreaStart 88, the given recordAreaEnd, recordCount 0,
// oldestOffset 0, maxLogSize 65536, computer name "TESTPC", default
// conditions) and a zero-filled record area, so the file is recordAreaEnd
// bytes long. recordAreaEnd below 88 gives a file of just the header.
void InitLogImage(LogImage* image, int sourceIndex, uint32_t recordAreaEnd);

// Header setters. Each one grows an image shorter than the header to 88
// bytes first; none of them changes the file size otherwise.
void SetMagicForSource(LogImage* image, int sourceIndex);
void SetMagicBytes(LogImage* image, const uint8_t magic[kMagicSize]);
// Copies up to 16 bytes and zero-fills the rest, so a name of exactly 16
// characters leaves no zero byte in the field.
void SetComputerName(LogImage* image, const char* name);
void SetRecordAreaStart(LogImage* image, uint16_t recordAreaStart);
void SetRecordAreaEnd(LogImage* image, uint32_t recordAreaEnd);
void SetRecordCount(LogImage* image, uint32_t recordCount);
void SetOldestOffset(LogImage* image, uint32_t oldestOffset);
void SetWriterOffset(LogImage* image, uint32_t writerOffset);
void SetMaxLogSize(LogImage* image, uint32_t maxLogSize);
void SetConditions(LogImage* image, const ViewConditions& conditions);
// Truncates the file or extends it with zero bytes.
void SetFileSize(LogImage* image, size_t fileSize);
// The header as it stands (an image shorter than 88 bytes reads as if
// zero-extended).
LogHeader ImageHeader(const LogImage& image);

// A valid SYSTEMTIME for the given civil date and time, day of week included.
RecordTime MakeRecordTime(uint16_t year, uint16_t month, uint16_t day,
                          uint16_t hour, uint16_t minute, uint16_t second);
// The time the given number of seconds after start, carried into the
// minutes, hours, days, months and years, day of week included.
RecordTime RecordTimeAfter(const RecordTime& start, uint64_t seconds);

// One record as PlaceRecord writes it. The description is either `text`
// (written with its terminating zero byte, descriptionLength = strlen + 1) or,
// when `text` is null, exactly the `descriptionByteCount` bytes at
// `descriptionBytes` (include a zero byte or leave it out). The override
// flags write a descriptionLength or dataLength that differs from the bytes
// actually placed.
struct RecordSpec {
    uint32_t link = 0;
    RecordTime timeStamp = {2001, 1, 1, 1, 0, 0, 0, 0};   // Monday 2001/01/01 00:00:00
    uint32_t moduleCode = 0;
    uint16_t type = kTypeInformation;
    uint16_t wrapToStart = 0;
    uint8_t writerBytes[4] = {0, 0, 0, 0};
    const char* text = nullptr;
    const uint8_t* descriptionBytes = nullptr;
    uint32_t descriptionByteCount = 0;
    const uint8_t* data = nullptr;
    uint32_t dataByteCount = 0;
    bool overrideDescriptionLength = false;
    uint16_t descriptionLength = 0;
    bool overrideDataLength = false;
    uint32_t dataLength = 0;
};

// Bytes PlaceRecord writes for a RecordSpec: 38 + description + data as placed.
uint32_t RecordSpecSize(const RecordSpec& spec);

// Writes the record at the exact file offset, growing the image with zero
// bytes when it ends beyond the file. Header fields are not touched. Returns
// the file offset one past the record's last byte.
uint32_t PlaceRecord(LogImage* image, uint32_t fileOffset, const RecordSpec& spec);
// Writes the record's RecordSpecSize bytes at p, in memory the caller owns.
void WriteRecordSpec(const RecordSpec& spec, uint8_t* p);

// Patches single fields of a record already placed at fileOffset.
void SetRecordLink(LogImage* image, uint32_t fileOffset, uint32_t link);
void SetRecordWrapToStart(LogImage* image, uint32_t fileOffset, uint16_t wrapToStart);

// Writes the image to a new or truncated file. 1 on success, 0 on failure.
int WriteLogImage(const LogImage& image, const char* path);

// ---------------------------------------------------------------------------
// Realistic generated logs

constexpr uint32_t kMaxGeneratedFileSize = 1073741824;   // 1 GiB, header included

// Every field has a realistic default. The output depends only on these
// options: the same options give byte-identical files on every platform.
struct GenOptions {
    int sourceIndex = 0;                    // whose magic, and whose modules are most frequent
    const char* computerName = "HALDOR-SRV01";   // up to 16 bytes
    uint32_t eventCount = 1000;             // used when targetFileSize is 0
    uint32_t targetFileSize = 0;            // whole file incl. header; 0 = as many bytes as eventCount needs
    uint64_t seed = 1;
    // Wrapped: the oldest record lies inside the area, the physically last
    // record carries wrapToStart 1, newer records continue at offset 88, and
    // stale bytes lie between the newest record and the oldest one.
    bool wrapped = false;
    uint32_t unknownModulesPerMillion = 0;  // records with a moduleCode outside 0..6
    uint16_t firstYear = 2019;              // timestamps span Jan 1 firstYear .. Dec 31 lastYear
    uint16_t lastYear = 2023;
    // Mean descriptionLength (zero byte included) of records that have a
    // description; 0 = the natural mix of short, medium and multi-line texts.
    uint32_t averageDescriptionLength = 0;
    uint32_t japanesePercent = 15;          // Shift-JIS descriptions
    uint32_t emptyDescriptionsPerMillion = 3000;   // descriptionLength 0
    // Data mix: none, small (1..dataSmallMax bytes, uniform) or large
    // (dataLargeMin..dataLargeMax, uniform; some above 65535 by default).
    uint32_t dataNonePercent = 35;
    uint32_t dataSmallMax = 256;
    uint32_t dataLargePerMillion = 100;     // about 1 in 10,000
    uint32_t dataLargeMin = 1024;
    uint32_t dataLargeMax = 70000;
    uint32_t maxLogSize = 0;                // 0 = the file size rounded up to 64 KiB
    ViewConditions conditions = DefaultViewConditions();
};

// ~10 million events in a 1 GiB wrapped log (records of about 107 bytes).
GenOptions BenchGenOptions();

// What a generation produced.
struct GenResult {
    uint32_t recordCount;
    uint32_t fileSize;
    uint32_t recordAreaEnd;
    uint32_t oldestOffset;
    uint32_t newestOffset;
    uint32_t typeCounts[3];                 // Error, Warning, Information
    uint32_t moduleCounts[8];               // moduleCode 0..6, then all unknown codes
    uint32_t emptyDescriptions;
    uint32_t japaneseDescriptions;
    uint32_t multiLineDescriptions;
    uint32_t dataOver65535;
    uint32_t largestData;
    const char* error;                      // why generation failed; null on success
    bool ioFailed;                          // the failure was creating or writing the file
};

// Null when the options can be generated, else what is wrong with them.
const char* CheckGenOptions(const GenOptions& options);

// Streams the log to a file in large chunks. 1 on success, 0 on failure
// (result->error says why; errno is left as the failing call set it). A
// failed generation removes the file it had started.
int GenerateLog(const GenOptions& options, const char* path, GenResult* result);
// The same log built in memory; meant for small logs.
int GenerateLogImage(const GenOptions& options, LogImage* image, GenResult* result);

// ---------------------------------------------------------------------------
// Malformed and edge-case logs

// What a correct loader does with a log: load it, or refuse it with a message.
constexpr uint32_t kExpectLoads = 0;
constexpr uint32_t kExpectReadFailed = 208;    // "Failed to read the event log file."
constexpr uint32_t kExpectCorrupted = 214;     // "Event log file is corrupted."

// Unless noted, each log is the three-record PERN log of BuildBaseLog with
// one thing changed. Expected loader outcome after each name.
enum BrokenLog {
    kBrokenShortHeader,           // 214: the file is only 87 bytes
    kBrokenUnknownMagic,          // 214: magic "PERN.EVT V2.0  "
    kBrokenPernMagicNoSpace,      // 214: PERN's magic with a zero byte in place of its 15th character
    kBrokenAreaBeyondFile,        // 208: recordAreaEnd lies 100 bytes past the end of the file
    kBrokenCountExceedsArea,      // 214: recordCount 5 for an area of 181 bytes (fewer than 5 * 38)
    kBrokenCountHuge,             // 214: recordCount 0xFFFFFFFF (refuse before allocating per record)
    kBrokenChainLeavesArea,       // 214: the middle record's link points past recordAreaEnd
    kBrokenLinkZero,              // 214: the oldest record's link is 0 (the walk would stand still)
    kBrokenFixedPartCrossesEnd,   // 214: the newest record's 38-byte fixed part straddles recordAreaEnd
    kBrokenDescriptionCrossesEnd, // 214: the newest record's description runs past recordAreaEnd
    kBrokenDataCrossesEnd,        // 214: the newest record's data runs past recordAreaEnd
    kBrokenDescriptionNoZero,     // 214: the middle record's description has no zero byte
    kBrokenChainRevisits,         // 214: recordCount 4, the newest links back to the oldest
    kBrokenWrapsToItself,         // 214: the oldest record, first in the area, has wrapToStart 1: the chain stays on it
    kBrokenRevisitAfterStepsBack, // 214: two-steps-back with recordCount 9; the ninth record is the one at 230 again
    kBrokenOldestBelowArea,       // 214: oldestOffset 40, inside the header
    kBrokenAreaStartNot88,        // 214: recordAreaStart 96
    kBrokenAreaEndBelow88,        // 208: recordAreaEnd 60: the unsigned area size (60 - 88) is far more than the file holds
    kEdgeComputerName16,          // loads 3 events; computer "ABCDEFGHIJKLMNOP", all 16 bytes, no zero
    kEdgeEmptyWithOldest,         // loads 0 events: recordCount 0, oldestOffset 150 (not followed)
    kEdgeWrapToStartTwo,          // loads 3 events: the oldest has wrapToStart 2 and is followed by link
    kEdgeWrappedExample,          // loads 3 events at 150, 230, 88 (oldest to newest)
    kEdgeTwoStepsBack,            // loads 8 events at kTwoStepsBackOffsets: two steps back, no record taken twice
    kEdgeFullWrapped,             // loads 3 events: the wrapped example without a free byte; the newest ends at the oldest
    kEdgeNewestOverlapsOldest,    // loads 3 events: as full-wrapped, the newest's last data byte is the oldest's first
    kBrokenLogCount
};

struct BrokenLogInfo {
    BrokenLog variant;
    const char* name;             // command-line name, e.g. "short-header"
    uint32_t expectedMessage;     // kExpectLoads, kExpectReadFailed or kExpectCorrupted
    uint32_t expectedEvents;      // when it loads
    const char* summary;
};
extern const BrokenLogInfo kBrokenLogInfo[kBrokenLogCount];   // indexed by BrokenLog

// Index of the variant with that name, or -1.
int FindBrokenLog(const char* name);

// The well-formed base of the variants: PERN magic, computer "TESTPC",
// recordAreaEnd just past the three records, records at kBaseRecordOffsets
// (oldest first) with descriptions "Oldest event", "Middle event",
// "Newest event", 2001/01/01 00:00:01, :02, :03, moduleCodes 0, 2, 4, types
// 1, 2, 4 and 4, 8 and 16 data bytes.
constexpr uint32_t kBaseRecordOffsets[3] = {88, 143, 202};
constexpr uint32_t kBaseRecordAreaEnd = 269;
LogImage BuildBaseLog();
LogImage BuildBrokenLog(BrokenLog variant);

// The records of kEdgeTwoStepsBack from the oldest to the newest: forward
// from 600, a link back to 230, forward, a wrap to 88, forward. Their seconds
// count 1 to 8 in this order.
constexpr uint32_t kTwoStepsBackOffsets[8] = {600, 650, 700, 230, 300, 400, 88, 150};
