// evtgen: writes event log files for tests, benchmarks and demonstrations.
// Exit codes: 0 written, 1 the file could not be written, 2 bad arguments.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include "tools/log_writer.h"

namespace {

const char kUsage[] =
    "usage: evtgen --out FILE [options]\n"
    "       evtgen --out FILE --broken NAME\n"
    "       evtgen --fleet DIR [--logs N] [--machines M] [options]\n"
    "       evtgen --list-broken | --help\n"
    "\n"
    "Generated logs (options may follow a preset to change it):\n"
    "  --preset NAME          bench: ~10 million events in a wrapped 1 GiB log\n"
    "  --source NAME          pern, tolva, boraxlin or kestram (or 0..3); whose magic\n"
    "                         and whose modules are most frequent (default pern)\n"
    "  --computer NAME        computer name, at most 16 bytes (default HALDOR-SRV01)\n"
    "  --events N             number of events (default 1000)\n"
    "  --size N[K|M|G]        file size instead, header included, at most 1G;\n"
    "                         as many events as fit\n"
    "  --seed N               same options and seed give the same bytes (default 1)\n"
    "  --wrapped              the writer went round: oldest record mid-area,\n"
    "                         newer ones from offset 88\n"
    "  --straight             not wrapped (default)\n"
    "  --unknown-modules      some module codes outside 0..6 (2000 per million)\n"
    "  --unknown-rate N       records per million with an unknown module code\n"
    "  --years FIRST-LAST     time stamps from Jan 1 FIRST to Dec 31 LAST\n"
    "                         (1980..2099, default 2019-2023)\n"
    "  --desc-avg N           mean description length in bytes, zero byte included\n"
    "                         (default: the natural mix)\n"
    "  --japanese PCT         share of Shift-JIS descriptions (default 15)\n"
    "  --empty-desc-rate N    records per million without description (default 3000)\n"
    "  --data-none PCT        share of records without data (default 35)\n"
    "  --data-small-max N     small data sizes are 1..N bytes (default 256)\n"
    "  --data-large-rate N    records per million with large data (default 100)\n"
    "  --data-large-min N     large data sizes are MIN..MAX bytes\n"
    "  --data-large-max N     (default 1024..70000, so some exceed 65535)\n"
    "  --max-log-size N[K|M|G] the header's maxLogSize (default: file size rounded\n"
    "                         up to 64K)\n"
    "  --sort ORDER           saved sort order: newest, oldest or module\n"
    "  --conditions-saved     mark the saved conditions as stored by Save Settings\n"
    "  --quiet                print nothing on success\n"
    "\n"
    "Malformed and edge-case logs:\n"
    "  --broken NAME          a small log from the catalogue (see --list-broken)\n"
    "  --list-broken          the catalogue, with what a loader must do\n"
    "\n"
    "A fleet of logs from several machines, all within the same three days:\n"
    "  --fleet DIR            writes N logs under DIR: machines MACHINE01.. in turn,\n"
    "                         odd ones in a folder each (DIR/MACHINE01/PERN.EVT),\n"
    "                         even ones beside (DIR/MACHINE02_TOLVA.EVT); .EVT and\n"
    "                         .evt mixed; every third log wrapped; time stamps on a\n"
    "                         shared grid, so logs hold equal ones; one log refused\n"
    "                         as corrupted (chain-leaves-area); the last machine's\n"
    "                         descriptions all Shift-JIS, the others' none\n"
    "  --logs N               number of logs, at least 2 (default 12)\n"
    "  --machines M           number of machines, 1 to 99 and at most N (default 4)\n"
    "  --events-per-log K     events in each log (default 1000)\n"
    "  --size-per-log S[K|M|G] each log's file size instead\n"
    "  The other generator options (--seed, --data-none, ...) apply to every log;\n"
    "  --events, --size, --source, --computer, --wrapped, --years and --japanese\n"
    "  do not.\n";

struct Args {
    const char* out;
    const char* broken;
    const char* fleet;
    uint32_t logs;
    uint32_t machines;
    uint32_t eventsPerLog;
    uint32_t sizePerLog;
    bool quiet;
    bool listBroken;
    bool help;
};

int BadArgument(const char* what, const char* value) {
    if (value != nullptr) {
        fprintf(stderr, "evtgen: %s: %s\n", what, value);
    } else {
        fprintf(stderr, "evtgen: %s\n", what);
    }
    fprintf(stderr, "Try 'evtgen --help'.\n");
    return 2;
}

bool ParseU64(const char* text, uint64_t* value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = strtoull(text, &end, 10);
    if (errno != 0 || *end != 0) return false;
    *value = v;
    return true;
}

bool ParseU32(const char* text, uint32_t max, uint32_t* value) {
    uint64_t v;
    if (!ParseU64(text, &v) || v > max) return false;
    *value = uint32_t(v);
    return true;
}

// A byte count with an optional binary suffix: 1G = 1073741824.
bool ParseSize(const char* text, uint32_t* value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = strtoull(text, &end, 10);
    if (errno != 0) return false;
    unsigned shift = 0;
    if (*end == 'K' || *end == 'k') shift = 10;
    else if (*end == 'M' || *end == 'm') shift = 20;
    else if (*end == 'G' || *end == 'g') shift = 30;
    if (shift != 0) ++end;
    if (*end != 0 || v > (0xFFFFFFFFull >> shift)) return false;
    *value = uint32_t(v << shift);
    return true;
}

int ParseSource(const char* text) {
    static const char* const kNames[kLogSourceCount] = {"pern", "tolva", "boraxlin", "kestram"};
    if (text == nullptr) return -1;
    for (int i = 0; i < kLogSourceCount; ++i) {
        char digit[2] = {char('0' + i), 0};
        if (strcmp(text, kNames[i]) == 0 || strcmp(text, digit) == 0) return i;
    }
    if (strcmp(text, "setup") == 0) return 3;
    return -1;
}

bool ParseYears(const char* text, uint16_t* first, uint16_t* last) {
    if (text == nullptr) return false;
    const char* dash = strchr(text, '-');
    if (dash == nullptr || dash - text > 4) return false;
    char head[5] = {};
    memcpy(head, text, size_t(dash - text));
    uint32_t a, b;
    if (!ParseU32(head, 9999, &a) || !ParseU32(dash + 1, 9999, &b)) return false;
    *first = uint16_t(a);
    *last = uint16_t(b);
    return true;
}

bool TakesValue(const char* opt) {
    static const char* const kValueOptions[] = {
        "--preset", "--out", "--broken", "--source", "--computer", "--events", "--size", "--seed",
        "--unknown-rate", "--years", "--desc-avg", "--japanese", "--empty-desc-rate", "--data-none",
        "--data-small-max", "--data-large-rate", "--data-large-min", "--data-large-max",
        "--max-log-size", "--sort", "--fleet", "--logs", "--machines", "--events-per-log", "--size-per-log",
    };
    for (const char* name : kValueOptions) {
        if (strcmp(opt, name) == 0) return true;
    }
    return false;
}

// Parses everything but --preset, which the caller applied first. Returns 0
// or an exit code.
int ParseArguments(int argc, char** argv, GenOptions* o, Args* a) {
    for (int i = 1; i < argc; ++i) {
        const char* opt = argv[i];
        const char* val = i + 1 < argc ? argv[i + 1] : nullptr;
        bool takesValue = true;
        if (strcmp(opt, "--help") == 0 || strcmp(opt, "-h") == 0) {
            a->help = true;
            takesValue = false;
        } else if (strcmp(opt, "--list-broken") == 0) {
            a->listBroken = true;
            takesValue = false;
        } else if (strcmp(opt, "--quiet") == 0) {
            a->quiet = true;
            takesValue = false;
        } else if (strcmp(opt, "--wrapped") == 0) {
            o->wrapped = true;
            takesValue = false;
        } else if (strcmp(opt, "--straight") == 0) {
            o->wrapped = false;
            takesValue = false;
        } else if (strcmp(opt, "--unknown-modules") == 0) {
            o->unknownModulesPerMillion = 2000;
            takesValue = false;
        } else if (strcmp(opt, "--conditions-saved") == 0) {
            o->conditions.conditionsSaved = 1;
            takesValue = false;
        } else if (!TakesValue(opt)) {
            return BadArgument("unknown option", opt);
        } else if (val == nullptr) {
            return BadArgument("missing value after", opt);
        } else if (strcmp(opt, "--preset") == 0) {
            // applied before parsing
        } else if (strcmp(opt, "--out") == 0) {
            a->out = val;
        } else if (strcmp(opt, "--broken") == 0) {
            a->broken = val;
        } else if (strcmp(opt, "--fleet") == 0) {
            a->fleet = val;
        } else if (strcmp(opt, "--logs") == 0) {
            if (!ParseU32(val, 9999, &a->logs) || a->logs < 2) return BadArgument("the number of logs must be 2 to 9999", val);
        } else if (strcmp(opt, "--machines") == 0) {
            if (!ParseU32(val, 99, &a->machines) || a->machines < 1) return BadArgument("the number of machines must be 1 to 99", val);
        } else if (strcmp(opt, "--events-per-log") == 0) {
            if (!ParseU32(val, 0xFFFFFFFFu, &a->eventsPerLog)) return BadArgument("bad event count", val);
            a->sizePerLog = 0;
        } else if (strcmp(opt, "--size-per-log") == 0) {
            if (!ParseSize(val, &a->sizePerLog) || a->sizePerLog < kHeaderSize || a->sizePerLog > kMaxGeneratedFileSize)
                return BadArgument("file size must be 88 bytes to 1G", val);
        } else if (strcmp(opt, "--source") == 0) {
            if ((o->sourceIndex = ParseSource(val)) < 0) return BadArgument("unknown source", val);
        } else if (strcmp(opt, "--computer") == 0) {
            if (strlen(val) > kComputerNameSize) return BadArgument("computer name longer than 16 bytes", val);
            o->computerName = val;
        } else if (strcmp(opt, "--events") == 0) {
            if (!ParseU32(val, 0xFFFFFFFFu, &o->eventCount)) return BadArgument("bad event count", val);
            o->targetFileSize = 0;
        } else if (strcmp(opt, "--size") == 0) {
            if (!ParseSize(val, &o->targetFileSize) || o->targetFileSize < kHeaderSize ||
                o->targetFileSize > kMaxGeneratedFileSize)
                return BadArgument("file size must be 88 bytes to 1G", val);
        } else if (strcmp(opt, "--seed") == 0) {
            if (!ParseU64(val, &o->seed)) return BadArgument("bad seed", val);
        } else if (strcmp(opt, "--unknown-rate") == 0) {
            if (!ParseU32(val, 1000000, &o->unknownModulesPerMillion)) return BadArgument("bad rate per million", val);
        } else if (strcmp(opt, "--years") == 0) {
            if (!ParseYears(val, &o->firstYear, &o->lastYear)) return BadArgument("bad year range", val);
        } else if (strcmp(opt, "--desc-avg") == 0) {
            if (!ParseU32(val, 4096, &o->averageDescriptionLength)) return BadArgument("bad description length", val);
        } else if (strcmp(opt, "--japanese") == 0) {
            if (!ParseU32(val, 100, &o->japanesePercent)) return BadArgument("bad percentage", val);
        } else if (strcmp(opt, "--empty-desc-rate") == 0) {
            if (!ParseU32(val, 1000000, &o->emptyDescriptionsPerMillion)) return BadArgument("bad rate per million", val);
        } else if (strcmp(opt, "--data-none") == 0) {
            if (!ParseU32(val, 100, &o->dataNonePercent)) return BadArgument("bad percentage", val);
        } else if (strcmp(opt, "--data-small-max") == 0) {
            if (!ParseU32(val, 1u << 20, &o->dataSmallMax)) return BadArgument("bad size", val);
        } else if (strcmp(opt, "--data-large-rate") == 0) {
            if (!ParseU32(val, 1000000, &o->dataLargePerMillion)) return BadArgument("bad rate per million", val);
        } else if (strcmp(opt, "--data-large-min") == 0) {
            if (!ParseU32(val, 16u << 20, &o->dataLargeMin)) return BadArgument("bad size", val);
        } else if (strcmp(opt, "--data-large-max") == 0) {
            if (!ParseU32(val, 16u << 20, &o->dataLargeMax)) return BadArgument("bad size", val);
        } else if (strcmp(opt, "--max-log-size") == 0) {
            if (!ParseSize(val, &o->maxLogSize)) return BadArgument("bad size", val);
        } else if (strcmp(opt, "--sort") == 0) {
            if (strcmp(val, "newest") == 0) o->conditions.sortOrder = uint16_t(kOrderNewestFirst);
            else if (strcmp(val, "oldest") == 0) o->conditions.sortOrder = uint16_t(kOrderOldestFirst);
            else if (strcmp(val, "module") == 0) o->conditions.sortOrder = uint16_t(kOrderModule);
            else return BadArgument("unknown sort order", val);
        }
        if (takesValue) ++i;
    }
    return 0;
}

void ListBroken() {
    for (const BrokenLogInfo& info : kBrokenLogInfo) {
        char outcome[32];
        if (info.expectedMessage == kExpectLoads) {
            snprintf(outcome, sizeof outcome, "loads %u events", unsigned(info.expectedEvents));
        } else {
            snprintf(outcome, sizeof outcome, "message %u", unsigned(info.expectedMessage));
        }
        printf("%-24s %-16s %s\n", info.name, outcome, info.summary);
    }
}

int WriteBroken(const Args& a) {
    const int variant = FindBrokenLog(a.broken);
    if (variant < 0) return BadArgument("unknown broken log (see --list-broken)", a.broken);
    LogImage image = BuildBrokenLog(BrokenLog(variant));
    if (!WriteLogImage(image, a.out)) {
        fprintf(stderr, "evtgen: %s: cannot write: %s\n", a.out, strerror(errno));
        return 1;
    }
    if (!a.quiet) {
        const BrokenLogInfo& info = kBrokenLogInfo[variant];
        printf("%s: %s, %u bytes; ", a.out, info.name, unsigned(image.bytes.size()));
        if (info.expectedMessage == kExpectLoads) {
            printf("a loader must load it (%u events)\n", unsigned(info.expectedEvents));
        } else {
            printf("a loader must refuse it with message %u\n", unsigned(info.expectedMessage));
        }
    }
    return 0;
}

void PrintSummary(const char* path, const GenOptions& o, const GenResult& r, double seconds) {
    printf("%s: %u events, %u bytes, %s (oldest at %u, newest at %u), %.2f s\n", path,
           unsigned(r.recordCount), unsigned(r.fileSize), o.wrapped ? "wrapped" : "straight",
           unsigned(r.oldestOffset), unsigned(r.newestOffset), seconds);
    printf("  types error/warning/information: %u/%u/%u\n", unsigned(r.typeCounts[0]),
           unsigned(r.typeCounts[1]), unsigned(r.typeCounts[2]));
    printf("  module codes 0..6 and unknown:");
    for (uint32_t count : r.moduleCounts) printf(" %u", unsigned(count));
    printf("\n  descriptions empty/Japanese/multi-line: %u/%u/%u\n", unsigned(r.emptyDescriptions),
           unsigned(r.japaneseDescriptions), unsigned(r.multiLineDescriptions));
    printf("  data over 65535 bytes: %u, largest %u\n", unsigned(r.dataOver65535), unsigned(r.largestData));
}

// ---------------------------------------------------------------------------
// The fleet

constexpr uint32_t kFleetSpanSeconds = 48 * 3600;     // each log's time range
constexpr BrokenLog kFleetBroken = kBrokenChainLeavesArea;   // a loader refuses it as corrupted

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

int64_t SecondsOf(const RecordTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + (int64_t(t.hour) * 60 + t.minute) * 60 + t.second;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

// Moves the stamps of a generated log into [start, start + kFleetSpanSeconds),
// keeping their order, and down onto a grid of `quantum` seconds counted from
// `base` that every log of the fleet shares. Walks the chain from the oldest.
void MoveStamps(LogImage* image, const GenOptions& o, const RecordTime& base, uint64_t start, uint64_t quantum,
                RecordTime* first, RecordTime* last) {
    const LogHeader h = ImageHeader(*image);
    const int64_t from = DaysFromCivil(o.firstYear, 1, 1) * 86400;
    const uint64_t span = uint64_t(DaysFromCivil(o.lastYear + 1, 1, 1) * 86400 - from);
    uint32_t pos = h.oldestOffset;
    for (uint32_t k = 0; k < h.recordCount; ++k) {
        uint8_t* r = image->bytes.data() + pos;
        RecordTime t = {GetU16(r + 4), GetU16(r + 6), 0, GetU16(r + 10), GetU16(r + 12), GetU16(r + 14), GetU16(r + 16), 0};
        uint64_t at = start + uint64_t(SecondsOf(t) - from) * kFleetSpanSeconds / span;
        at -= at % quantum;
        t = RecordTimeAfter(base, at);
        const uint16_t fields[8] = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, 0};
        for (int i = 0; i < 8; ++i) PutU16(r + 4 + 2 * i, fields[i]);
        if (k == 0) *first = t;
        *last = t;
        pos = RecordWrapToStart(r) == 1 ? kRecordAreaStart : pos + RecordLink(r);
    }
}

void PrintStamp(const RecordTime& t) {
    printf("%04u-%02u-%02u %02u:%02u:%02u", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// Log j belongs to machine j % M, its (j / M)-th; the names follow the
// sources in turn.
std::string FleetLogPath(const Args& a, uint32_t j, char* computer) {
    const uint32_t m = j % a.machines, r = j / a.machines;
    snprintf(computer, kComputerNameSize + 1, "MACHINE%02u", unsigned(m + 1) % 100);
    std::string name = kLogSources[(m + r) % kLogSourceCount].eventFileName;
    name.resize(name.size() - 4);
    if (r >= kLogSourceCount) name += "-" + std::to_string(r / kLogSourceCount + 1);
    name += j % 3 == 2 ? ".evt" : ".EVT";
    std::string path = a.fleet;
    if (m % 2 == 0) {
        path += "/";
        path += computer;
        if (!MakeFolder(path)) return std::string();
        return path + "/" + name;
    }
    return path + "/" + computer + "_" + name;
}

int WriteFleet(const GenOptions& options, const Args& a) {
    if (a.machines > a.logs) return BadArgument("more machines than logs", nullptr);
    if (!MakeFolder(a.fleet)) {
        fprintf(stderr, "evtgen: %s: cannot make the folder: %s\n", a.fleet, strerror(errno));
        return 1;
    }
    const RecordTime base = MakeRecordTime(2024, 5, 13, 0, 0, 0);
    const uint32_t broken = a.logs > a.machines ? a.machines : 0;
    const uint32_t japaneseMachine = a.machines - 1;
    uint64_t quantum = 0;
    uint64_t total = 0;
    for (uint32_t j = 0; j < a.logs; ++j) {
        char computer[kComputerNameSize + 1];
        const std::string path = FleetLogPath(a, j, computer);
        if (path.empty()) {
            fprintf(stderr, "evtgen: %s/%s: cannot make the folder: %s\n", a.fleet, computer, strerror(errno));
            return 1;
        }
        const uint32_t m = j % a.machines;
        const int source = int((m + j / a.machines) % kLogSourceCount);
        LogImage image;
        RecordTime first = {}, last = {};
        GenResult result = {};
        if (j == broken) {
            image = BuildBrokenLog(kFleetBroken);
            SetMagicForSource(&image, source);
        } else {
            GenOptions o = options;
            o.sourceIndex = source;
            o.computerName = computer;
            o.seed = options.seed * 0x9E3779B97F4A7C15ull + j + 1;
            o.wrapped = j % 3 == 1;
            o.japanesePercent = m == japaneseMachine ? 100 : 0;
            o.eventCount = a.eventsPerLog;
            o.targetFileSize = a.sizePerLog;
            if (const char* problem = CheckGenOptions(o)) return BadArgument(problem, nullptr);
            if (!GenerateLogImage(o, &image, &result)) {
                fprintf(stderr, "evtgen: %s: %s\n", path.c_str(), result.error);
                return 1;
            }
            // The grid has about two slots per event of a log's range, so
            // logs whose ranges overlap share stamps.
            if (quantum == 0) quantum = result.recordCount ? kFleetSpanSeconds / 2 / result.recordCount : 1;
            if (quantum == 0) quantum = 1;
            const uint64_t startHour = (m * 5 + j / a.machines * 11) % 24;
            MoveStamps(&image, o, base, startHour * 3600, quantum, &first, &last);
            total += result.recordCount;
        }
        SetComputerName(&image, computer);
        if (!WriteLogImage(image, path.c_str())) {
            fprintf(stderr, "evtgen: %s: cannot write: %s\n", path.c_str(), strerror(errno));
            return 1;
        }
        if (a.quiet) continue;
        printf("%s: %s, ", path.c_str(), computer);
        if (j == broken) {
            printf("corrupted (%s)\n", kBrokenLogInfo[kFleetBroken].name);
            continue;
        }
        printf("%u events, %s, ", unsigned(result.recordCount), j % 3 == 1 ? "wrapped" : "straight");
        PrintStamp(first);
        printf(" .. ");
        PrintStamp(last);
        printf("%s\n", m == japaneseMachine ? ", Shift-JIS" : "");
    }
    if (!a.quiet) {
        printf("%u logs of %u machines, %llu events, stamps on a %llu-second grid\n", unsigned(a.logs),
               unsigned(a.machines), static_cast<unsigned long long>(total), static_cast<unsigned long long>(quantum));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    GenOptions options;
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--preset") != 0) continue;
        if (strcmp(argv[i + 1], "bench") == 0) {
            options = BenchGenOptions();
        } else if (strcmp(argv[i + 1], "default") != 0) {
            return BadArgument("unknown preset", argv[i + 1]);
        }
    }
    Args args = {};
    args.logs = 12;
    args.machines = 4;
    args.eventsPerLog = 1000;
    if (int rc = ParseArguments(argc, argv, &options, &args)) return rc;
    if (args.help) {
        fputs(kUsage, stdout);
        return 0;
    }
    if (args.listBroken) {
        ListBroken();
        return 0;
    }
    if (args.fleet != nullptr) {
        if (args.out != nullptr || args.broken != nullptr) return BadArgument("--fleet writes no --out or --broken file", nullptr);
        return WriteFleet(options, args);
    }
    if (args.out == nullptr) return BadArgument("no output file (--out FILE)", nullptr);
    if (args.broken != nullptr) return WriteBroken(args);

    if (const char* problem = CheckGenOptions(options)) return BadArgument(problem, nullptr);

    const auto start = std::chrono::steady_clock::now();
    GenResult result;
    if (!GenerateLog(options, args.out, &result)) {
        const int err = errno;
        if (result.ioFailed) {
            fprintf(stderr, "evtgen: %s: %s: %s\n", args.out, result.error, strerror(err));
        } else {
            fprintf(stderr, "evtgen: %s\n", result.error);
        }
        return result.ioFailed ? 1 : 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!args.quiet) PrintSummary(args.out, options, result, seconds);
    return 0;
}
