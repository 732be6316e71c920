#include "tools/log_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// Hand-made logs

namespace {

void EnsureHeader(LogImage* image) {
    if (image->bytes.size() < kHeaderSize) image->bytes.resize(kHeaderSize, 0);
}

void EnsureSize(LogImage* image, size_t size) {
    if (image->bytes.size() < size) image->bytes.resize(size, 0);
}

// Civil date <-> days since 1970-01-01 (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? unsigned(-3) : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* year, unsigned* month, unsigned* day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *day = doy - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = int64_t(yoe) + era * 400 + (*month <= 2);
}

// SYSTEMTIME counts the day of week from Sunday = 0; 1970-01-01 was a Thursday.
uint16_t DayOfWeek(int64_t days) {
    int64_t w = (days + 4) % 7;
    return uint16_t(w < 0 ? w + 7 : w);
}

}  // namespace

void InitLogImage(LogImage* image, int sourceIndex, uint32_t recordAreaEnd) {
    image->bytes.assign(recordAreaEnd > kHeaderSize ? recordAreaEnd : kHeaderSize, 0);
    LogHeader h = {};
    memcpy(h.magic, kLogSources[sourceIndex].magic, kMagicSize);   // 15 characters and their zero byte
    h.recordAreaStart = uint16_t(kRecordAreaStart);
    h.maxLogSize = 65536;
    h.recordAreaEnd = recordAreaEnd;
    memcpy(h.computerName, "TESTPC", 7);
    h.conditions = DefaultViewConditions();
    WriteLogHeader(h, image->bytes.data());
}

void SetMagicForSource(LogImage* image, int sourceIndex) {
    SetMagicBytes(image, reinterpret_cast<const uint8_t*>(kLogSources[sourceIndex].magic));
}

void SetMagicBytes(LogImage* image, const uint8_t magic[kMagicSize]) {
    EnsureHeader(image);
    memcpy(image->bytes.data(), magic, kMagicSize);
}

void SetComputerName(LogImage* image, const char* name) {
    EnsureHeader(image);
    uint8_t* field = image->bytes.data() + 44;
    memset(field, 0, kComputerNameSize);
    size_t n = strlen(name);
    memcpy(field, name, n < kComputerNameSize ? n : kComputerNameSize);
}

void SetRecordAreaStart(LogImage* image, uint16_t recordAreaStart) {
    EnsureHeader(image);
    PutU16(image->bytes.data() + 30, recordAreaStart);
}

void SetRecordAreaEnd(LogImage* image, uint32_t recordAreaEnd) {
    EnsureHeader(image);
    PutU32(image->bytes.data() + 36, recordAreaEnd);
}

void SetRecordCount(LogImage* image, uint32_t recordCount) {
    EnsureHeader(image);
    PutU32(image->bytes.data() + kOffsetRecordCount, recordCount);
}

void SetOldestOffset(LogImage* image, uint32_t oldestOffset) {
    EnsureHeader(image);
    PutU32(image->bytes.data() + kOffsetOldestOffset, oldestOffset);
}

void SetWriterOffset(LogImage* image, uint32_t writerOffset) {
    EnsureHeader(image);
    PutU32(image->bytes.data() + kOffsetWriterOffset, writerOffset);
}

void SetMaxLogSize(LogImage* image, uint32_t maxLogSize) {
    EnsureHeader(image);
    PutU32(image->bytes.data() + kOffsetMaxLogSize, maxLogSize);
}

void SetConditions(LogImage* image, const ViewConditions& conditions) {
    EnsureHeader(image);
    WriteViewConditions(conditions, image->bytes.data() + kConditionsOffset);
}

void SetFileSize(LogImage* image, size_t fileSize) {
    image->bytes.resize(fileSize, 0);
}

LogHeader ImageHeader(const LogImage& image) {
    uint8_t bytes[kHeaderSize] = {};
    size_t n = image.bytes.size() < kHeaderSize ? image.bytes.size() : kHeaderSize;
    if (n != 0) memcpy(bytes, image.bytes.data(), n);
    LogHeader h;
    ReadLogHeader(bytes, &h);
    return h;
}

RecordTime MakeRecordTime(uint16_t year, uint16_t month, uint16_t day,
                          uint16_t hour, uint16_t minute, uint16_t second) {
    RecordTime t = {year, month, 0, day, hour, minute, second, 0};
    t.dayOfWeek = DayOfWeek(DaysFromCivil(year, month, day));
    return t;
}

namespace {

RecordTime RecordTimeFromMs(int64_t ms) {   // milliseconds since 1970-01-01 00:00:00
    int64_t days = ms / 86400000;
    if (days * 86400000 > ms) --days;
    uint32_t msOfDay = uint32_t(ms - days * 86400000);
    int64_t year;
    unsigned month, day;
    CivilFromDays(days, &year, &month, &day);
    RecordTime t;
    t.year = uint16_t(year);
    t.month = uint16_t(month);
    t.dayOfWeek = DayOfWeek(days);
    t.day = uint16_t(day);
    t.hour = uint16_t(msOfDay / 3600000);
    t.minute = uint16_t(msOfDay / 60000 % 60);
    t.second = uint16_t(msOfDay / 1000 % 60);
    t.milliseconds = uint16_t(msOfDay % 1000);
    return t;
}

}  // namespace

RecordTime RecordTimeAfter(const RecordTime& start, uint64_t seconds) {
    const int64_t ms = DaysFromCivil(start.year, start.month, start.day) * 86400000 +
                       ((int64_t(start.hour) * 60 + start.minute) * 60 + start.second) * 1000 +
                       start.milliseconds + int64_t(seconds) * 1000;
    return RecordTimeFromMs(ms);
}

namespace {

uint32_t SpecDescriptionBytes(const RecordSpec& spec) {
    if (spec.text != nullptr) return uint32_t(strlen(spec.text) + 1);
    return spec.descriptionByteCount;
}

}  // namespace

uint32_t RecordSpecSize(const RecordSpec& spec) {
    return kRecordFixedSize + SpecDescriptionBytes(spec) + spec.dataByteCount;
}

uint32_t PlaceRecord(LogImage* image, uint32_t fileOffset, const RecordSpec& spec) {
    const uint32_t end = fileOffset + RecordSpecSize(spec);
    EnsureSize(image, end);
    WriteRecordSpec(spec, image->bytes.data() + fileOffset);
    return end;
}

void WriteRecordSpec(const RecordSpec& spec, uint8_t* p) {
    const uint32_t descriptionBytes = SpecDescriptionBytes(spec);
    LogRecord r = {};
    r.link = spec.link;
    r.timeStamp = spec.timeStamp;
    r.moduleCode = spec.moduleCode;
    memcpy(r.writerBytes, spec.writerBytes, sizeof r.writerBytes);
    r.dataLength = spec.overrideDataLength ? spec.dataLength : spec.dataByteCount;
    r.descriptionLength = spec.overrideDescriptionLength ? spec.descriptionLength : uint16_t(descriptionBytes);
    r.type = spec.type;
    r.wrapToStart = spec.wrapToStart;
    WriteLogRecord(r, p);
    p += kRecordFixedSize;
    if (spec.text != nullptr) {
        memcpy(p, spec.text, descriptionBytes);                 // the zero byte included
    } else if (descriptionBytes != 0) {
        memcpy(p, spec.descriptionBytes, descriptionBytes);
    }
    p += descriptionBytes;
    if (spec.dataByteCount != 0) memcpy(p, spec.data, spec.dataByteCount);
}

void SetRecordLink(LogImage* image, uint32_t fileOffset, uint32_t link) {
    EnsureSize(image, size_t(fileOffset) + kRecordFixedSize);
    PutU32(image->bytes.data() + fileOffset, link);
}

void SetRecordWrapToStart(LogImage* image, uint32_t fileOffset, uint16_t wrapToStart) {
    EnsureSize(image, size_t(fileOffset) + kRecordFixedSize);
    PutU16(image->bytes.data() + fileOffset + 36, wrapToStart);
}

int WriteLogImage(const LogImage& image, const char* path) {
    FILE* f = fopen(path, "wb");
    if (f == nullptr) return 0;
    size_t n = image.bytes.size();
    int ok = n == 0 || fwrite(image.bytes.data(), 1, n, f) == n;
    if (fclose(f) != 0) ok = 0;
    return ok;
}

// ---------------------------------------------------------------------------
// Realistic generated logs

namespace {

// splitmix64: tiny, fast and the same on every compiler and library, which
// keeps generated files byte-identical across platforms.
struct Rng {
    uint64_t state;
};

inline uint64_t Mix64(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

inline uint64_t NextU64(Rng* r) {
    r->state += 0x9E3779B97F4A7C15ull;
    return Mix64(r->state);
}

// Uniform in [0, n), n > 0.
inline uint32_t Below(Rng* r, uint32_t n) {
    return uint32_t(((NextU64(r) >> 32) * uint64_t(n)) >> 32);
}

// Each record draws from its own stream keyed by its place in time order, so
// a record can be rebuilt at another offset with identical content.
inline Rng RecordRng(uint64_t seed, uint64_t index) {
    return Rng{Mix64(seed ^ Mix64((index + 1) * 0x632BE59BD9B4E019ull))};
}

// Streams that are not per record (layout, stale bytes) use other keys.
inline Rng SideRng(uint64_t seed, uint64_t key) {
    return Rng{Mix64(seed + 0xD1B54A32D192ED03ull * key) ^ 0xA0761D6478BD642Full};
}

enum TextClass { kShort, kMedium, kLong, kTextClassCount };

struct Template {
    TextClass textClass;
    const char* text;
};

// Placeholders: %h host, %i IPv4 address, %u user, %p path, %v product or
// service, %j job, %e error code, %d drive letter, %x 8 hex digits, %n a
// number of varying size, %s a number 1..99, %% a percent sign.
const Template kEnglishTemplates[] = {
    {kShort, "Service started."},
    {kShort, "Service stopped."},
    {kShort, "Service paused by %u."},
    {kShort, "Agent %h connected."},
    {kShort, "Agent %h disconnected."},
    {kShort, "Job %j started."},
    {kShort, "Job %j completed."},
    {kShort, "User %u logged on."},
    {kShort, "User %u logged off."},
    {kShort, "Polling cycle %n finished."},
    {kShort, "Schedule reloaded."},
    {kShort, "Heartbeat lost: %h"},
    {kMedium, "Backup job %j finished: %n files, %n KB transferred to %h."},
    {kMedium, "Connection to %h (%i) failed. Error code %e."},
    {kMedium, "Free space on disk %d: is below %s%% on %h."},
    {kMedium, "License check failed for node %h; %s licenses remaining."},
    {kMedium, "Configuration file %p was changed by %u."},
    {kMedium, "Retry %s of 5 for job %j after error %e."},
    {kMedium, "Inventory collected from %h: %n items, %s changes."},
    {kMedium, "Event database compacted in %n ms; %n records removed."},
    {kMedium, "Alert threshold exceeded: CPU load %s%% on %h for %s minutes."},
    {kMedium, "Component %v version 2.%s.%n installed by %u."},
    {kMedium, "Unable to open %p (error %e)."},
    {kMedium, "Message queue overflow; %n messages dropped."},
    {kMedium, "Remote command from %i rejected: not authorised."},
    {kLong, "Backup job %j failed.\r\nTarget: %h (%i)\r\nPath: %p\r\nError code: %e\r\n"
            "The job will run again at the next schedule."},
    {kLong, "Software distribution to %h completed.\r\nPackage: %v\r\nFiles copied: %n\r\n"
            "Reboot required: no"},
    {kLong, "Policy update received from %h.\r\nRules added: %s\r\nRules removed: %s\r\nApplied by: %u"},
    {kLong, "Monitoring agent %h reported a hardware warning.\r\nSensor: fan %s\r\nValue: %n rpm\r\n"
            "Threshold: 1200 rpm"},
    {kLong, "Unhandled exception in %v.\r\nAddress: 0x%x\r\nThread: %n\r\nThe service will be restarted."},
    {kLong, "Setup could not replace %p.\r\nThe file is in use by another process.\r\n"
            "Restart %h and run setup again."},
};

// Japanese texts, stored as Shift-JIS bytes (the system code page of a
// Japanese machine). Several contain 0x5C as a trail byte, as real ones do.
const Template kJapaneseTemplates[] = {
    // Service started.
    {kShort, "\x83\x54\x81\x5b\x83\x72\x83\x58\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"},
    // Service stopped.
    {kShort, "\x83\x54\x81\x5b\x83\x72\x83\x58\x82\xf0\x92\xe2\x8e\x7e\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"},
    // Connected to agent %h.
    {kShort, "\x83\x47\x81\x5b\x83\x57\x83\x46\x83\x93\x83\x67 %h \x82\xc9\x90\xda\x91\xb1\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"},
    // Job %j completed.
    {kShort, "\x83\x57\x83\x87\x83\x75 %j \x82\xaa\x8a\xae\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"},
    // Logon: %u
    {kShort, "\x83\x8d\x83\x4f\x83\x49\x83\x93: %u"},
    // Backup job %j ended normally. Files: %n
    {kMedium, "\x83\x6f\x83\x62\x83\x4e\x83\x41\x83\x62\x83\x76\x83\x57\x83\x87\x83\x75 %j \x82\xaa\x90\xb3\x8f\xed\x82\xc9\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x83\x74\x83\x40\x83\x43\x83\x8b\x90\x94: %n"},
    // Connection to %h (%i) failed. Error code: %e
    {kMedium, "%h (%i) \x82\xd6\x82\xcc\x90\xda\x91\xb1\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x83\x47\x83\x89\x81\x5b\x83\x52\x81\x5b\x83\x68: %e"},
    // Free space on disk %d: fell below %s%%. (%h)
    {kMedium, "\x83\x66\x83\x42\x83\x58\x83\x4e %d: \x82\xcc\x8b\xf3\x82\xab\x97\x65\x97\xca\x82\xaa %s%% \x82\xf0\x89\xba\x89\xf1\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81\x42(%h)"},
    // Configuration file %p was changed by %u.
    {kMedium, "\x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b %p \x82\xaa %u \x82\xc9\x82\xe6\x82\xc1\x82\xc4\x95\xcf\x8d\x58\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd\x81\x42"},
    // License check failed. Node: %h Remaining: %s
    {kMedium, "\x83\x89\x83\x43\x83\x5a\x83\x93\x83\x58\x82\xcc\x8a\x6d\x94\x46\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x83\x6d\x81\x5b\x83\x68: %h \x8e\x63\x82\xe8: %s"},
    // Updating the display data failed. Retrying. (attempt %s)
    {kMedium, "\x95\x5c\x8e\xa6\x83\x66\x81\x5b\x83\x5e\x82\xcc\x8d\x58\x90\x56\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x8d\xc4\x8e\x8e\x8d\x73\x82\xb5\x82\xdc\x82\xb7\x81\x42(%s \x89\xf1\x96\xda)"},
    // Backup job %j failed. / Target: / Path: / Error code: / It will run again at the next schedule.
    {kLong, "\x83\x6f\x83\x62\x83\x4e\x83\x41\x83\x62\x83\x76\x83\x57\x83\x87\x83\x75 %j \x82\xaa\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n\x91\xce\x8f\xdb: %h (%i)\r\n\x83\x70\x83\x58: %p\r\n\x83\x47\x83\x89\x81\x5b\x83\x52\x81\x5b\x83\x68: %e\r\n\x8e\x9f\x89\xf1\x82\xcc\x83\x58\x83\x50\x83\x57\x83\x85\x81\x5b\x83\x8b\x82\xc5\x8d\xc4\x8e\xc0\x8d\x73\x82\xb5\x82\xdc\x82\xb7\x81\x42"},
    // Software distribution completed. / Package: / Files copied: / Reboot: not needed
    {kLong, "\x83\x5c\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41\x94\x7a\x95\x7a\x82\xaa\x8a\xae\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n\x83\x70\x83\x62\x83\x50\x81\x5b\x83\x57: %v\r\n\x83\x52\x83\x73\x81\x5b\x82\xb5\x82\xbd\x83\x74\x83\x40\x83\x43\x83\x8b\x90\x94: %n\r\n\x8d\xc4\x8b\x4e\x93\xae: \x95\x73\x97\x76"},
    // Monitoring agent %h reported a hardware warning. / Sensor: fan %s / Value: %n rpm
    {kLong, "\x8a\xc4\x8e\x8b\x83\x47\x81\x5b\x83\x57\x83\x46\x83\x93\x83\x67 %h \x82\xaa\x83\x6e\x81\x5b\x83\x68\x83\x45\x83\x46\x83\x41\x82\xcc\x8c\x78\x8d\x90\x82\xf0\x95\xf1\x8d\x90\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n\x83\x5a\x83\x93\x83\x54\x81\x5b: \x83\x74\x83\x40\x83\x93 %s\r\n\x92\x6c: %n rpm"},
};

const char* const kHosts[] = {
    "HALDOR-SRV01", "HALDOR-SRV02", "HALDOR-DB01", "FILESRV", "MAILGW", "BACKUP01",
    "DC01", "PRINTSRV", "APP-TOKYO", "APP-OSAKA", "LAB-PC07", "KIOSK3",
};
const char* const kUsers[] = {
    "administrator", "operator", "backup_svc", "tanaka", "suzuki", "k.sato",
    "j.miller", "a.brown", "SYSTEM", "setup",
};
const char* const kPaths[] = {
    "C:\\HALDOR\\PERN\\PERN.INI", "C:\\HALDOR\\TOLVA\\RULES.DAT", "D:\\BACKUP\\DAILY",
    "\\\\FILESRV\\DIST\\PKG0042.CAB", "C:\\WINDOWS\\TEMP\\INST01.TMP", "E:\\ARCHIVE\\2003",
    "C:\\HALDOR\\BORAXLIN\\AGENT.CFG", "C:\\PROGRAM FILES\\HALDOR\\BIN\\HALSVC.EXE",
};
const char* const kProducts[] = {
    "PERN Monitor", "TOLVA Scheduler", "BORAXLIN Agent", "EVTDB", "Inventory Collector",
    "Patch Package 2.4", "Report Service", "HALKESTR",
};
const char* const kJobs[] = {"NIGHTLY", "WEEKLY", "DIST", "INV", "PATCH", "AUDIT"};
const char* const kErrors[] = {
    "0x80070005", "0x80004005", "0x800706BA", "0x80070035", "0x8007274C", "0xC0000022",
    "0x00000002", "0x00000070",
};

template <typename T, size_t N>
constexpr uint32_t CountOf(const T (&)[N]) { return uint32_t(N); }

// Longest template text is below 300 bytes with at most 8 placeholders of at
// most 40 bytes each, so every description fits this bound.
constexpr uint32_t kMaxDescription = 1024;

inline uint8_t* PutText(uint8_t* out, const char* text) {
    size_t n = strlen(text);
    memcpy(out, text, n);
    return out + n;
}

inline uint8_t* PutDecimal(uint8_t* out, uint32_t v) {
    uint8_t digits[10];
    int n = 0;
    do {
        digits[n++] = uint8_t('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0) *out++ = digits[--n];
    return out;
}

inline uint8_t* PutZeroPadded(uint8_t* out, uint32_t v, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = uint8_t('0' + v % 10);
        v /= 10;
    }
    return out + width;
}

inline uint8_t* PutHex8(uint8_t* out, uint32_t v) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = 7; i >= 0; --i) {
        out[i] = uint8_t(kHex[v & 15]);
        v >>= 4;
    }
    return out + 8;
}

inline bool IsSjisLead(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Expands a template with its terminating zero byte; returns the byte count.
uint32_t ExpandTemplate(const char* templ, Rng* rng, uint8_t* out) {
    uint8_t* p = out;
    const uint8_t* t = reinterpret_cast<const uint8_t*>(templ);
    while (*t != 0) {
        if (IsSjisLead(*t) && t[1] != 0) {       // never read a trail byte as '%'
            *p++ = *t++;
            *p++ = *t++;
            continue;
        }
        if (*t != '%') {
            *p++ = *t++;
            continue;
        }
        const uint8_t code = t[1];
        t += 2;
        switch (code) {
        case 'h':
            if (Below(rng, 10) < 7) {
                p = PutText(p, kHosts[Below(rng, CountOf(kHosts))]);
            } else {
                p = PutText(p, "WS");
                p = PutZeroPadded(p, Below(rng, 10000), 4);
            }
            break;
        case 'i':
            if (Below(rng, 2) == 0) {
                p = PutText(p, "10.");
                p = PutDecimal(p, Below(rng, 256));
                *p++ = '.';
            } else {
                p = PutText(p, "192.168.");
            }
            p = PutDecimal(p, Below(rng, 256));
            *p++ = '.';
            p = PutDecimal(p, 1 + Below(rng, 254));
            break;
        case 'u': p = PutText(p, kUsers[Below(rng, CountOf(kUsers))]); break;
        case 'p': p = PutText(p, kPaths[Below(rng, CountOf(kPaths))]); break;
        case 'v': p = PutText(p, kProducts[Below(rng, CountOf(kProducts))]); break;
        case 'j':
            p = PutText(p, kJobs[Below(rng, CountOf(kJobs))]);
            *p++ = '-';
            p = PutZeroPadded(p, Below(rng, 10000), 4);
            break;
        case 'e': p = PutText(p, kErrors[Below(rng, CountOf(kErrors))]); break;
        case 'd': *p++ = uint8_t('C' + Below(rng, 4)); break;
        case 'x': p = PutHex8(p, uint32_t(NextU64(rng))); break;
        case 'n': {
            static const uint32_t kLimits[] = {10, 100, 1000, 10000, 100000, 1000000};
            p = PutDecimal(p, 1 + Below(rng, kLimits[Below(rng, CountOf(kLimits))] - 1));
            break;
        }
        case 's': p = PutDecimal(p, 1 + Below(rng, 99)); break;
        default: *p++ = '%'; break;
        }
    }
    *p++ = 0;
    return uint32_t(p - out);
}

constexpr uint32_t kMillion = 1000000;

// Codes outside 0..6 that other writers have been seen to use.
const uint32_t kUnknownModuleCodes[] = {7, 9, 12, 255, 0xFFFFFFFFu};

// Each component writes mostly under its own module codes.
const uint32_t kOwnModuleFirst[kLogSourceCount] = {0, 2, 4, 6};
const uint32_t kOwnModuleCount[kLogSourceCount] = {2, 2, 2, 1};

struct GenContext {
    const GenOptions* options;
    const char* templates[2][kTextClassCount][32];    // [english, japanese][class]
    uint32_t templateCount[2][kTextClassCount];
    uint32_t shortPerMillion;                          // text class mix
    uint32_t mediumPerMillion;
    uint32_t writerSequenceBase;
    int64_t startMs;
    // Time stamps are startMs + position * msPerUnit, in integers only (no
    // floating point, whose rounding differs between x87 and SSE builds):
    // msPerUnit is fixed point with kTimeFractionBits, the position counts
    // events * kTimeUnitsPerEvent or bytes of the area, below timeDenominator.
    uint64_t msPerUnit;
    uint64_t timeDenominator;
    bool sizeDrivenTime;
};

// What one built record contributes to the result, counted when it is kept.
struct RecordFacts {
    uint32_t size;
    uint32_t dataLength;
    uint16_t type;
    uint8_t moduleSlot;
    bool empty;
    bool japanese;
    bool multiLine;
};

void SortTemplates(GenContext* g) {
    memset(g->templateCount, 0, sizeof g->templateCount);
    for (const Template& t : kEnglishTemplates) g->templates[0][t.textClass][g->templateCount[0][t.textClass]++] = t.text;
    for (const Template& t : kJapaneseTemplates) g->templates[1][t.textClass][g->templateCount[1][t.textClass]++] = t.text;
}

// Mean descriptionLength of each text class in thousandths of a byte, at the
// option's share of Japanese texts, measured with a fixed stream so it is the
// same everywhere.
void MeasureClassMeans(const GenContext& g, int64_t means[kTextClassCount]) {
    uint8_t buffer[kMaxDescription];
    Rng rng = {0x5EED};
    const int64_t japanese = g.options->japanesePercent;
    for (int c = 0; c < kTextClassCount; ++c) {
        int64_t langMean[2] = {0, 0};
        for (int lang = 0; lang < 2; ++lang) {
            int64_t total = 0, n = 0;
            for (uint32_t k = 0; k < g.templateCount[lang][c]; ++k) {
                for (int rep = 0; rep < 64; ++rep, ++n) total += ExpandTemplate(g.templates[lang][c][k], &rng, buffer);
            }
            langMean[lang] = n != 0 ? total * 1000 / n : 0;
        }
        means[c] = (langMean[0] * (100 - japanese) + langMean[1] * japanese) / 100;
    }
}

// Chooses the class mix that meets the wanted mean description length: every
// class keeps a small share, so even short-text logs have multi-line ones,
// and the rest blends the two classes around the target. Shares are per
// million.
void ChooseClassMix(GenContext* g) {
    const int64_t target = g->options->averageDescriptionLength;
    if (target == 0) {
        g->shortPerMillion = 300000;
        g->mediumPerMillion = 550000;
        return;
    }
    int64_t means[kTextClassCount];
    MeasureClassMeans(*g, means);
    const int64_t floorShare = 40000;
    const int64_t rest = kMillion - kTextClassCount * floorShare;
    // The mean the blended part must reach, in thousandths of a byte.
    const int64_t t = (target * 1000 * kMillion - floorShare * (means[kShort] + means[kMedium] + means[kLong])) / rest;
    int64_t share[kTextClassCount] = {floorShare, floorShare, floorShare};
    if (t <= means[kShort]) {
        share[kShort] += rest;
    } else if (t <= means[kMedium]) {
        const int64_t medium = rest * (t - means[kShort]) / (means[kMedium] - means[kShort]);
        share[kMedium] += medium;
        share[kShort] += rest - medium;
    } else if (t <= means[kLong]) {
        const int64_t longer = rest * (t - means[kMedium]) / (means[kLong] - means[kMedium]);
        share[kLong] += longer;
        share[kMedium] += rest - longer;
    } else {
        share[kLong] += rest;
    }
    g->shortPerMillion = uint32_t(share[kShort]);
    g->mediumPerMillion = uint32_t(share[kMedium]);
}

void FillData(Rng* rng, uint8_t* out, uint32_t n) {
    switch (Below(rng, 20)) {
    case 0: case 1: case 2: {                     // a text block, as some modules dump
        static const char kText[] = "HALDOR DIAGNOSTIC BLOCK; STATE=RUNNING; QUEUE=OK; ";
        const uint32_t len = sizeof kText - 1;
        uint32_t phase = Below(rng, len);
        for (uint32_t i = 0; i < n; ++i) out[i] = uint8_t(kText[(i + phase) % len]);
        break;
    }
    case 3: case 4: case 5: case 6: case 7: {     // little-endian counters
        uint32_t v = Below(rng, 65536);
        uint32_t i = 0;
        for (; i + 4 <= n; i += 4, v += 1 + Below(rng, 8)) PutU32(out + i, v);
        for (; i < n; ++i) out[i] = uint8_t(i);
        break;
    }
    default: {                                     // opaque binary
        uint32_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t x = NextU64(rng);
            PutU32(out + i, uint32_t(x));
            PutU32(out + i + 4, uint32_t(x >> 32));
        }
        if (i < n) {
            uint64_t x = NextU64(rng);
            for (; i < n; ++i, x >>= 8) out[i] = uint8_t(x);
        }
        break;
    }
    }
}

uint32_t DrawDataLength(const GenOptions& o, Rng* rng) {
    if (o.dataLargePerMillion != 0 && Below(rng, kMillion) < o.dataLargePerMillion) {
        return o.dataLargeMin + Below(rng, o.dataLargeMax - o.dataLargeMin + 1);
    }
    if (o.dataSmallMax == 0 || Below(rng, 100) < o.dataNonePercent) return 0;
    return 1 + Below(rng, o.dataSmallMax);
}

constexpr int kTimeFractionBits = 20;
constexpr uint32_t kTimeUnitsPerEvent = 1024;

// position < timeDenominator, so the stamp stays inside the year range.
RecordTime TimeAt(const GenContext& g, uint64_t position) {
    return RecordTimeFromMs(g.startMs + int64_t((position * g.msPerUnit) >> kTimeFractionBits));
}

// Builds the record that is `index`-th in time order at out, with link set to
// its own size and wrapToStart 0. With size-driven time, timeBytes is the
// bytes of all records before it in time order.
RecordFacts BuildRecord(const GenContext& g, uint64_t index, uint64_t timeBytes, uint8_t* out) {
    const GenOptions& o = *g.options;
    Rng rng = RecordRng(o.seed, index);
    RecordFacts facts = {};

    LogRecord r = {};
    const uint32_t typeDraw = Below(&rng, 100);
    r.type = typeDraw < 6 ? kTypeError : typeDraw < 18 ? kTypeWarning : kTypeInformation;
    if (o.unknownModulesPerMillion != 0 && Below(&rng, kMillion) < o.unknownModulesPerMillion) {
        r.moduleCode = kUnknownModuleCodes[Below(&rng, CountOf(kUnknownModuleCodes))];
        facts.moduleSlot = 7;
    } else {
        if (Below(&rng, 2) == 0) {
            r.moduleCode = kOwnModuleFirst[o.sourceIndex] + Below(&rng, kOwnModuleCount[o.sourceIndex]);
        } else {
            r.moduleCode = Below(&rng, 7);
        }
        facts.moduleSlot = uint8_t(r.moduleCode);
    }
    PutU32(r.writerBytes, g.writerSequenceBase + uint32_t(index));   // the writer's running number

    uint8_t* description = out + kRecordFixedSize;
    uint32_t descriptionLength = 0;
    if (o.emptyDescriptionsPerMillion != 0 && Below(&rng, kMillion) < o.emptyDescriptionsPerMillion) {
        facts.empty = true;
    } else {
        const uint32_t classDraw = Below(&rng, kMillion);
        const int textClass = classDraw < g.shortPerMillion ? kShort
                            : classDraw < g.shortPerMillion + g.mediumPerMillion ? kMedium : kLong;
        const int lang = Below(&rng, 100) < o.japanesePercent ? 1 : 0;
        const uint32_t count = g.templateCount[lang][textClass];
        descriptionLength = ExpandTemplate(g.templates[lang][textClass][Below(&rng, count)], &rng, description);
        facts.japanese = lang == 1;
        facts.multiLine = textClass == kLong;
    }

    const uint32_t dataLength = DrawDataLength(o, &rng);
    FillData(&rng, description + descriptionLength, dataLength);

    facts.size = kRecordFixedSize + descriptionLength + dataLength;
    facts.dataLength = dataLength;
    facts.type = r.type;

    // A point inside the record's own share of the span keeps stamps in order.
    const uint64_t position = g.sizeDrivenTime ? timeBytes + Below(&rng, facts.size)
                                               : index * kTimeUnitsPerEvent + Below(&rng, kTimeUnitsPerEvent);
    r.timeStamp = TimeAt(g, position);
    r.link = facts.size;
    r.dataLength = dataLength;
    r.descriptionLength = uint16_t(descriptionLength);
    WriteLogRecord(r, out);
    return facts;
}

void CountRecord(GenResult* result, const RecordFacts& f) {
    ++result->recordCount;
    ++result->typeCounts[f.type == kTypeError ? 0 : f.type == kTypeWarning ? 1 : 2];
    ++result->moduleCounts[f.moduleSlot];
    if (f.empty) ++result->emptyDescriptions;
    if (f.japanese) ++result->japaneseDescriptions;
    if (f.multiLine) ++result->multiLineDescriptions;
    if (f.dataLength > 65535) ++result->dataOver65535;
    if (f.dataLength > result->largestData) result->largestData = f.dataLength;
}

// Output in large sequential runs, to a file or into an image. The chunk has
// room for one whole record past kChunkSize, so a record is always built in
// place and either kept (SinkCommit) or dropped.
constexpr uint32_t kChunkSize = 4u << 20;

struct Sink {
    FILE* file;
    LogImage* image;
    std::vector<uint8_t> chunk;
    uint32_t chunkOffset;       // file offset of chunk[0]
    uint32_t used;
    const char* error;
    bool ioFailed;
};

bool SinkWriteAt(Sink* s, uint32_t offset, const uint8_t* bytes, uint32_t n) {
    if (s->error != nullptr) return false;
    if (n == 0) return true;
    if (s->image != nullptr) {
        EnsureSize(s->image, size_t(offset) + n);
        memcpy(s->image->bytes.data() + offset, bytes, n);
        return true;
    }
    if (fseek(s->file, long(offset), SEEK_SET) != 0 || fwrite(bytes, 1, n, s->file) != n) {
        s->error = "writing the output file failed";
        s->ioFailed = true;
        return false;
    }
    return true;
}

void SinkFlush(Sink* s) {
    SinkWriteAt(s, s->chunkOffset, s->chunk.data(), s->used);
    s->chunkOffset += s->used;
    s->used = 0;
}

void SinkSeek(Sink* s, uint32_t offset) {
    SinkFlush(s);
    s->chunkOffset = offset;
}

inline uint32_t SinkPosition(const Sink& s) { return s.chunkOffset + s.used; }
inline uint8_t* SinkSpace(Sink* s) { return s->chunk.data() + s->used; }

inline void SinkCommit(Sink* s, uint32_t n) {
    s->used += n;
    if (s->used >= kChunkSize) SinkFlush(s);
}

void SinkPatch(Sink* s, uint32_t offset, const uint8_t* bytes, uint32_t n) {
    if (offset >= s->chunkOffset && offset + n <= SinkPosition(*s)) {
        memcpy(s->chunk.data() + (offset - s->chunkOffset), bytes, n);
    } else {
        SinkWriteAt(s, offset, bytes, n);
    }
}

// Stale bytes: what is left of records the writer has since overwritten.
void SinkFillStale(Sink* s, Rng* rng, uint32_t n) {
    while (n != 0 && s->error == nullptr) {
        const uint32_t room = kChunkSize - s->used;       // SinkCommit keeps used below kChunkSize
        const uint32_t step = n < room ? n : room;
        uint8_t* p = SinkSpace(s);
        for (uint32_t i = 0; i < step; ++i) p[i] = uint8_t(NextU64(rng) >> 56);
        SinkCommit(s, step);
        n -= step;
    }
}

void SinkFillZero(Sink* s, uint32_t n) {
    while (n != 0 && s->error == nullptr) {
        const uint32_t room = kChunkSize - s->used;
        const uint32_t step = n < room ? n : room;
        memset(SinkSpace(s), 0, step);
        SinkCommit(s, step);
        n -= step;
    }
}

}  // namespace

const char* CheckGenOptions(const GenOptions& o) {
    if (o.sourceIndex < 0 || o.sourceIndex >= kLogSourceCount) return "the source index must be 0 to 3";
    if (o.computerName == nullptr || strlen(o.computerName) > kComputerNameSize) return "the computer name is longer than 16 bytes";
    if (o.firstYear < 1980 || o.lastYear > 2099 || o.firstYear > o.lastYear) return "the year range must lie within 1980 to 2099";
    if (o.targetFileSize != 0 && (o.targetFileSize < kHeaderSize || o.targetFileSize > kMaxGeneratedFileSize))
        return "the file size must be 88 bytes to 1 GiB";
    if (o.japanesePercent > 100 || o.dataNonePercent > 100) return "a percentage is above 100";
    if (o.unknownModulesPerMillion > kMillion || o.emptyDescriptionsPerMillion > kMillion || o.dataLargePerMillion > kMillion)
        return "a rate per million is above 1000000";
    if (o.dataSmallMax > (1u << 20)) return "small data may be at most 1 MiB";
    if (o.dataLargeMin > o.dataLargeMax || o.dataLargeMax > (16u << 20)) return "large data must be min <= max <= 16 MiB";
    if (o.averageDescriptionLength > 4096) return "the average description length may be at most 4096";
    if (o.targetFileSize == 0 && uint64_t(o.eventCount) * kRecordFixedSize > kMaxGeneratedFileSize - kHeaderSize)
        return "the events do not fit in a 1 GiB file";
    return nullptr;
}

namespace {

struct Layout {
    uint32_t recordAreaEnd;
    uint32_t oldestOffset;
    uint32_t newestOffset;
    uint32_t newestEnd;         // where the writer would append next
};

// The records one after another from offset 88, oldest first.
void WriteStraightByCount(GenContext* g, Sink* s, GenResult* result, Layout* layout) {
    const uint32_t n = g->options->eventCount;
    SinkSeek(s, kRecordAreaStart);
    for (uint32_t i = 0; i < n && s->error == nullptr; ++i) {
        const uint32_t at = SinkPosition(*s);
        RecordFacts f = BuildRecord(*g, i, 0, SinkSpace(s));
        if (uint64_t(at) + f.size > kMaxGeneratedFileSize) {
            s->error = "the events do not fit in a 1 GiB file";
            return;
        }
        SinkCommit(s, f.size);
        CountRecord(result, f);
        layout->newestOffset = at;
        layout->newestEnd = at + f.size;
    }
    layout->oldestOffset = n != 0 ? kRecordAreaStart : 0;
    layout->recordAreaEnd = SinkPosition(*s);
}

// The writer went round: the older part of the chain sits behind the newer
// part, with stale bytes between them and after the oldest part.
void WriteWrappedByCount(GenContext* g, Sink* s, GenResult* result, Layout* layout) {
    const uint32_t n = g->options->eventCount;
    Rng side = SideRng(g->options->seed, 1);
    uint32_t older = uint32_t(uint64_t(n) * (300 + Below(&side, 400)) / 1000);
    if (older < 1) older = 1;
    if (older > n - 1) older = n - 1;

    SinkSeek(s, kRecordAreaStart);
    uint32_t firstNewerSize = 0;
    for (uint32_t i = older; i < n && s->error == nullptr; ++i) {
        const uint32_t at = SinkPosition(*s);
        RecordFacts f = BuildRecord(*g, i, 0, SinkSpace(s));
        if (i == older) firstNewerSize = f.size;
        if (uint64_t(at) + f.size > kMaxGeneratedFileSize) {
            s->error = "the events do not fit in a 1 GiB file";
            return;
        }
        SinkCommit(s, f.size);
        CountRecord(result, f);
        layout->newestOffset = at;
        layout->newestEnd = at + f.size;
    }
    SinkFillStale(s, &side, Below(&side, 160));
    layout->oldestOffset = SinkPosition(*s);
    for (uint32_t i = 0; i < older && s->error == nullptr; ++i) {
        const uint32_t at = SinkPosition(*s);
        uint8_t* record = SinkSpace(s);
        RecordFacts f = BuildRecord(*g, i, 0, record);
        if (uint64_t(at) + f.size > kMaxGeneratedFileSize) {
            s->error = "the events do not fit in a 1 GiB file";
            return;
        }
        if (i == older - 1) PutU16(record + 36, 1);               // wrapToStart
        SinkCommit(s, f.size);
        CountRecord(result, f);
    }
    // Less than the first newer record needs, or the writer would have put it here.
    uint32_t tail = Below(&side, firstNewerSize);
    if (uint64_t(SinkPosition(*s)) + tail > kMaxGeneratedFileSize) tail = kMaxGeneratedFileSize - SinkPosition(*s);
    SinkFillStale(s, &side, tail);
    layout->recordAreaEnd = SinkPosition(*s);
}

// Fills [from, limit) with records starting at time index *index; returns how
// many fitted. *timeBytes counts the bytes of all records kept so far.
uint32_t FillRegion(GenContext* g, Sink* s, GenResult* result, uint32_t limit, uint64_t* index,
                    uint64_t* timeBytes, uint32_t* lastOffset, uint32_t* lastEnd) {
    uint32_t kept = 0;
    while (s->error == nullptr) {
        const uint32_t at = SinkPosition(*s);
        RecordFacts f = BuildRecord(*g, *index, *timeBytes, SinkSpace(s));
        if (uint64_t(at) + f.size > limit) break;
        SinkCommit(s, f.size);
        CountRecord(result, f);
        *lastOffset = at;
        *lastEnd = at + f.size;
        *timeBytes += f.size;
        ++*index;
        ++kept;
    }
    return kept;
}

void WriteBySize(GenContext* g, Sink* s, GenResult* result, Layout* layout) {
    const uint32_t areaEnd = g->options->targetFileSize;
    layout->recordAreaEnd = areaEnd;
    uint64_t index = 0;
    uint64_t timeBytes = 0;
    Rng side = SideRng(g->options->seed, 2);

    if (g->options->wrapped) {
        const uint32_t area = areaEnd - kRecordAreaStart;
        const uint32_t oldest = kRecordAreaStart + uint32_t(uint64_t(area) * (300 + Below(&side, 400)) / 1000) +
                                Below(&side, 160);
        uint32_t lastOlder = 0, lastOlderEnd = 0;
        SinkSeek(s, oldest);
        uint32_t older = FillRegion(g, s, result, areaEnd, &index, &timeBytes, &lastOlder, &lastOlderEnd);
        if (older != 0 && s->error == nullptr) {
            const uint8_t wrap[2] = {1, 0};
            SinkPatch(s, lastOlder + 36, wrap, 2);
            SinkFillStale(s, &side, areaEnd - SinkPosition(*s));
            // The record that did not fit at the end starts the newer part at 88.
            SinkSeek(s, kRecordAreaStart);
            layout->newestOffset = lastOlder;
            layout->newestEnd = lastOlderEnd;
            FillRegion(g, s, result, oldest, &index, &timeBytes, &layout->newestOffset, &layout->newestEnd);
            SinkFillStale(s, &side, oldest - SinkPosition(*s));
            layout->oldestOffset = oldest;
            return;
        }
        // Too small an area to go round: write it straight instead.
        memset(result, 0, sizeof *result);
        index = 0;
        timeBytes = 0;
    }
    SinkSeek(s, kRecordAreaStart);
    uint32_t kept = FillRegion(g, s, result, areaEnd, &index, &timeBytes, &layout->newestOffset, &layout->newestEnd);
    layout->oldestOffset = kept != 0 ? kRecordAreaStart : 0;
    SinkFillZero(s, areaEnd - SinkPosition(*s));   // never written yet
}

uint32_t DefaultMaxLogSize(uint32_t fileSize) {
    uint64_t rounded = (uint64_t(fileSize) + 65535) / 65536 * 65536;
    if (rounded < 65536) rounded = 65536;
    if (rounded > kMaxGeneratedFileSize) rounded = kMaxGeneratedFileSize;
    return uint32_t(rounded);
}

int Generate(const GenOptions& o, Sink* s, GenResult* result) {
    memset(result, 0, sizeof *result);
    if ((result->error = CheckGenOptions(o)) != nullptr) return 0;

    GenContext g = {};
    g.options = &o;
    SortTemplates(&g);
    ChooseClassMix(&g);
    Rng side = SideRng(o.seed, 3);
    g.writerSequenceBase = Below(&side, 100000);
    g.startMs = DaysFromCivil(o.firstYear, 1, 1) * 86400000;
    const uint64_t spanMs = uint64_t(DaysFromCivil(o.lastYear + 1, 1, 1) * 86400000 - g.startMs);
    g.sizeDrivenTime = o.targetFileSize != 0;
    g.timeDenominator = g.sizeDrivenTime ? uint64_t(o.targetFileSize - kRecordAreaStart)
                                         : uint64_t(o.eventCount) * kTimeUnitsPerEvent;
    if (g.timeDenominator == 0) g.timeDenominator = 1;
    // spanMs < 2^42 (120 years), so neither this nor position * msPerUnit,
    // which stays below spanMs << kTimeFractionBits, overflows.
    g.msPerUnit = (spanMs << kTimeFractionBits) / g.timeDenominator;

    const uint32_t maxRecord = kRecordFixedSize + kMaxDescription + (o.dataLargeMax > o.dataSmallMax ? o.dataLargeMax : o.dataSmallMax);
    s->chunk.assign(size_t(kChunkSize) + maxRecord, 0);

    Layout layout = {};
    if (o.targetFileSize != 0) {
        WriteBySize(&g, s, result, &layout);
    } else if (o.wrapped && o.eventCount >= 2) {
        WriteWrappedByCount(&g, s, result, &layout);
    } else {
        WriteStraightByCount(&g, s, result, &layout);
    }
    SinkFlush(s);
    if (s->error != nullptr) {
        result->error = s->error;
        result->ioFailed = s->ioFailed;
        return 0;
    }

    LogHeader h = {};
    memcpy(h.magic, kLogSources[o.sourceIndex].magic, kMagicSize);
    for (uint8_t& b : h.writerBytes) b = uint8_t(Below(&side, 256));
    h.recordAreaStart = uint16_t(kRecordAreaStart);
    h.recordAreaEnd = layout.recordAreaEnd;
    h.maxLogSize = o.maxLogSize != 0 ? o.maxLogSize : DefaultMaxLogSize(layout.recordAreaEnd);
    h.recordCount = result->recordCount;
    memcpy(h.computerName, o.computerName, strlen(o.computerName));
    h.oldestOffset = layout.oldestOffset;
    h.writerOffset = layout.newestEnd;
    h.conditions = o.conditions;
    uint8_t header[kHeaderSize];
    WriteLogHeader(h, header);
    SinkWriteAt(s, 0, header, kHeaderSize);
    if (s->error != nullptr) {
        result->error = s->error;
        result->ioFailed = s->ioFailed;
        return 0;
    }
    result->fileSize = layout.recordAreaEnd < kHeaderSize ? kHeaderSize : layout.recordAreaEnd;
    result->recordAreaEnd = layout.recordAreaEnd;
    result->oldestOffset = layout.oldestOffset;
    result->newestOffset = layout.newestOffset;
    return 1;
}

}  // namespace

int GenerateLog(const GenOptions& options, const char* path, GenResult* result) {
    memset(result, 0, sizeof *result);
    if ((result->error = CheckGenOptions(options)) != nullptr) return 0;
    Sink s = {};
    s.file = fopen(path, "wb");
    if (s.file == nullptr) {
        result->error = "cannot create the output file";
        result->ioFailed = true;
        return 0;
    }
    int ok = Generate(options, &s, result);
    if (fclose(s.file) != 0 && ok) {
        result->error = "writing the output file failed";
        result->ioFailed = true;
        ok = 0;
    }
    if (!ok) {
        const int err = errno;
        remove(path);                 // never leave half a log behind
        errno = err;
    }
    return ok;
}

int GenerateLogImage(const GenOptions& options, LogImage* image, GenResult* result) {
    Sink s = {};
    s.image = image;
    image->bytes.clear();
    int ok = Generate(options, &s, result);
    if (ok) image->bytes.resize(result->fileSize, 0);
    return ok;
}

GenOptions BenchGenOptions() {
    GenOptions o;
    o.computerName = "HALDOR-BENCH";
    o.targetFileSize = kMaxGeneratedFileSize;
    o.wrapped = true;
    o.unknownModulesPerMillion = 1000;
    o.averageDescriptionLength = 54;
    o.dataNonePercent = 50;
    o.dataSmallMax = 48;
    o.dataLargePerMillion = 100;
    return o;
}

// ---------------------------------------------------------------------------
// Malformed and edge-case logs

const BrokenLogInfo kBrokenLogInfo[kBrokenLogCount] = {
    {kBrokenShortHeader, "short-header", kExpectCorrupted, 0, "the file is 87 bytes, one short of a header"},
    {kBrokenUnknownMagic, "unknown-magic", kExpectCorrupted, 0, "magic \"PERN.EVT V2.0  \" is none of the four"},
    {kBrokenPernMagicNoSpace, "pern-magic-no-space", kExpectCorrupted, 0,
     "PERN's magic with a zero byte in place of its second trailing space"},
    {kBrokenAreaBeyondFile, "area-beyond-file", kExpectReadFailed, 0,
     "recordAreaEnd lies 100 bytes past the end of the file"},
    {kBrokenCountExceedsArea, "count-exceeds-area", kExpectCorrupted, 0,
     "recordCount 5 in a 181-byte area: fewer than 38 bytes per record"},
    {kBrokenCountHuge, "count-huge", kExpectCorrupted, 0, "recordCount 0xFFFFFFFF in a 181-byte area"},
    {kBrokenChainLeavesArea, "chain-leaves-area", kExpectCorrupted, 0,
     "the middle record's link 65536 leads past recordAreaEnd"},
    {kBrokenLinkZero, "link-zero", kExpectCorrupted, 0, "the oldest record's link is 0"},
    {kBrokenFixedPartCrossesEnd, "fixed-part-crosses-end", kExpectCorrupted, 0,
     "recordAreaEnd 20 bytes into the newest record's fixed part (the file goes on)"},
    {kBrokenDescriptionCrossesEnd, "description-crosses-end", kExpectCorrupted, 0,
     "recordAreaEnd 5 bytes into the newest record's description (the file goes on)"},
    {kBrokenDataCrossesEnd, "data-crosses-end", kExpectCorrupted, 0,
     "recordAreaEnd 8 bytes into the newest record's 16 data bytes (the file goes on)"},
    {kBrokenDescriptionNoZero, "description-no-zero", kExpectCorrupted, 0,
     "the middle record's 13 description bytes \"Middle event.\" have no zero byte; non-zero data follows"},
    {kBrokenChainRevisits, "chain-revisits", kExpectCorrupted, 0,
     "recordCount 4 for 3 records; the newest links back to the oldest"},
    {kBrokenWrapsToItself, "wraps-to-itself", kExpectCorrupted, 0,
     "the oldest record, at the start of the area, has wrapToStart 1: the next record is itself"},
    {kBrokenRevisitAfterStepsBack, "revisit-after-steps-back", kExpectCorrupted, 0,
     "the two-steps-back chain with recordCount 9: its newest record links on to the one at 230 again"},
    {kBrokenOldestBelowArea, "oldest-below-area", kExpectCorrupted, 0, "oldestOffset 40 lies inside the header"},
    {kBrokenAreaStartNot88, "area-start-not-88", kExpectCorrupted, 0, "recordAreaStart 96"},
    {kBrokenAreaEndBelow88, "area-end-below-88", kExpectReadFailed, 0, "recordAreaEnd 60 with 3 records promised"},
    {kEdgeComputerName16, "computer-name-16", kExpectLoads, 3,
     "computer name ABCDEFGHIJKLMNOP fills all 16 bytes without a zero byte; shown whole"},
    {kEdgeEmptyWithOldest, "empty-with-oldest", kExpectLoads, 0,
     "recordCount 0 with oldestOffset 150: an empty log; oldestOffset is not followed"},
    {kEdgeWrapToStartTwo, "wrap-to-start-2", kExpectLoads, 3,
     "the oldest record's wrapToStart is 2, which means follow link"},
    {kEdgeWrappedExample, "wrapped-example", kExpectLoads, 3,
     "records at 88, 150 and 230, oldestOffset 150: oldest to newest 150, 230, 88"},
    {kEdgeTwoStepsBack, "two-steps-back", kExpectLoads, 8,
     "oldest to newest 600, 650, 700, a link back to 230, 300, 400, a wrap to 88, 150: no record taken twice"},
    {kEdgeFullWrapped, "full-wrapped", kExpectLoads, 3,
     "the wrapped example without a free byte: the newest record ends where the oldest starts"},
    {kEdgeNewestOverlapsOldest, "newest-overlaps-oldest", kExpectLoads, 3,
     "as full-wrapped with one more data byte: the newest record's last byte is the oldest's first"},
};

int FindBrokenLog(const char* name) {
    for (int i = 0; i < kBrokenLogCount; ++i) {
        if (strcmp(kBrokenLogInfo[i].name, name) == 0) return i;
    }
    return -1;
}

namespace {

const uint8_t kBaseData[16] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                               0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xF0, 0x01};

// k = 0 oldest, 1 middle, 2 newest; the link is the record's own size.
RecordSpec BaseRecord(int k) {
    static const char* const kTexts[3] = {"Oldest event", "Middle event", "Newest event"};
    static const uint32_t kModules[3] = {0, 2, 4};
    static const uint16_t kTypes[3] = {kTypeError, kTypeWarning, kTypeInformation};
    RecordSpec r;
    r.timeStamp = MakeRecordTime(2001, 1, 1, 0, 0, uint16_t(k + 1));
    r.moduleCode = kModules[k];
    r.type = kTypes[k];
    r.text = kTexts[k];
    r.data = kBaseData;
    r.dataByteCount = 4u << k;
    r.link = RecordSpecSize(r);
    return r;
}

// The writer went round once: the oldest record at 150, the wrap record at
// 230, the newest at the start of the area, stale bytes in the holes. The
// newest record (38 + 13 bytes and its data) is placed first, so where it
// runs into the oldest one the oldest one's bytes are what the file holds.
LogImage WrappedExampleLog(uint32_t recordAreaEnd, uint32_t newestDataBytes) {
    LogImage image;
    InitLogImage(&image, 0, recordAreaEnd);
    memset(image.bytes.data() + kRecordAreaStart, 0xEE, recordAreaEnd - kRecordAreaStart);
    RecordSpec r = BaseRecord(2);
    r.dataByteCount = newestDataBytes;
    const uint32_t end = PlaceRecord(&image, 88, r);
    r = BaseRecord(0);
    r.dataByteCount = 8;
    r.link = 80;
    PlaceRecord(&image, 150, r);
    r = BaseRecord(1);
    r.dataByteCount = 4;
    r.wrapToStart = 1;
    PlaceRecord(&image, 230, r);
    SetRecordCount(&image, 3);
    SetOldestOffset(&image, 150);
    SetWriterOffset(&image, end);
    return image;
}

// The records at kTwoStepsBackOffsets, each linking to the next; the one at
// 400 wraps to the start instead, the newest links nowhere.
LogImage TwoStepsBackLog(uint32_t recordCount) {
    LogImage image;
    InitLogImage(&image, 0, 750);
    memset(image.bytes.data() + kRecordAreaStart, 0xEE, 750 - kRecordAreaStart);
    static const char* const kTexts[8] = {"Event 1", "Event 2", "Event 3", "Event 4",
                                          "Event 5", "Event 6", "Event 7", "Event 8"};
    uint32_t end = 0;
    for (int i = 0; i < 8; ++i) {
        RecordSpec r;
        r.timeStamp = MakeRecordTime(2001, 1, 1, 0, 0, uint16_t(i + 1));
        r.text = kTexts[i];
        if (kTwoStepsBackOffsets[i] == 400) {
            r.wrapToStart = 1;
        } else if (i < 7) {
            r.link = kTwoStepsBackOffsets[i + 1] - kTwoStepsBackOffsets[i];   // 32-bit arithmetic steps back
        }
        end = PlaceRecord(&image, kTwoStepsBackOffsets[i], r);
    }
    SetRecordCount(&image, recordCount);
    SetOldestOffset(&image, kTwoStepsBackOffsets[0]);
    SetWriterOffset(&image, end);
    return image;
}

}  // namespace

LogImage BuildBaseLog() {
    LogImage image;
    InitLogImage(&image, 0, kBaseRecordAreaEnd);
    uint32_t end = 0;
    for (int k = 0; k < 3; ++k) end = PlaceRecord(&image, kBaseRecordOffsets[k], BaseRecord(k));
    SetRecordCount(&image, 3);
    SetOldestOffset(&image, kBaseRecordOffsets[0]);
    SetWriterOffset(&image, end);
    return image;
}

LogImage BuildBrokenLog(BrokenLog variant) {
    static const uint8_t kUnknownMagic[kMagicSize] = {'P', 'E', 'R', 'N', '.', 'E', 'V', 'T', ' ', 'V', '2', '.', '0', ' ', ' ', 0};
    static const uint8_t kPernNoSpace[kMagicSize] = {'P', 'E', 'R', 'N', '.', 'E', 'V', 'T', ' ', 'V', '1', '.', '0', ' ', 0, 0};
    const uint32_t oldest = kBaseRecordOffsets[0], middle = kBaseRecordOffsets[1], newest = kBaseRecordOffsets[2];

    LogImage image = BuildBaseLog();
    switch (variant) {
    case kBrokenShortHeader: SetFileSize(&image, kHeaderSize - 1); break;
    case kBrokenUnknownMagic: SetMagicBytes(&image, kUnknownMagic); break;
    case kBrokenPernMagicNoSpace: SetMagicBytes(&image, kPernNoSpace); break;
    case kBrokenAreaBeyondFile: SetRecordAreaEnd(&image, kBaseRecordAreaEnd + 100); break;
    case kBrokenCountExceedsArea: SetRecordCount(&image, 5); break;
    case kBrokenCountHuge: SetRecordCount(&image, 0xFFFFFFFFu); break;
    case kBrokenChainLeavesArea: SetRecordLink(&image, middle, 65536); break;
    case kBrokenLinkZero: SetRecordLink(&image, oldest, 0); break;
    case kBrokenFixedPartCrossesEnd: SetRecordAreaEnd(&image, newest + 20); break;
    case kBrokenDescriptionCrossesEnd: SetRecordAreaEnd(&image, newest + kRecordFixedSize + 5); break;
    case kBrokenDataCrossesEnd: SetRecordAreaEnd(&image, newest + kRecordFixedSize + 13 + 8); break;
    case kBrokenDescriptionNoZero: image.bytes[middle + kRecordFixedSize + 12] = '.'; break;
    case kBrokenChainRevisits:
        SetRecordCount(&image, 4);
        SetRecordLink(&image, newest, uint32_t(oldest - newest));   // 32-bit arithmetic steps back
        break;
    case kBrokenOldestBelowArea: SetOldestOffset(&image, 40); break;
    case kBrokenAreaStartNot88: SetRecordAreaStart(&image, 96); break;
    case kBrokenAreaEndBelow88: SetRecordAreaEnd(&image, 60); break;
    case kEdgeComputerName16: SetComputerName(&image, "ABCDEFGHIJKLMNOP"); break;
    case kEdgeEmptyWithOldest:
        SetRecordCount(&image, 0);
        SetOldestOffset(&image, 150);
        break;
    case kEdgeWrapToStartTwo: SetRecordWrapToStart(&image, oldest, 2); break;
    case kBrokenWrapsToItself: SetRecordWrapToStart(&image, oldest, 1); break;
    case kEdgeWrappedExample: image = WrappedExampleLog(295, 8); break;
    case kEdgeFullWrapped: image = WrappedExampleLog(285, 11); break;
    case kEdgeNewestOverlapsOldest: image = WrappedExampleLog(285, 12); break;
    case kEdgeTwoStepsBack: image = TwoStepsBackLog(8); break;
    case kBrokenRevisitAfterStepsBack:
        image = TwoStepsBackLog(9);
        SetRecordLink(&image, kTwoStepsBackOffsets[7], 230 - kTwoStepsBackOffsets[7]);
        break;
    case kBrokenLogCount: break;
    }
    return image;
}
