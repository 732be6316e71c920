#include "cli/cli_options.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "cli/cli_follow.h"
#include "eventlist/filter_dialog.h"

namespace {

const char* const kCommandNames[kCommandCount] = {"", "list", "show", "check", "stats", "find", "follow", "export"};

// Which commands take an option: bit (1 << command).
constexpr unsigned kList = 1u << kCommandList;
constexpr unsigned kShow = 1u << kCommandShow;
constexpr unsigned kStats = 1u << kCommandStats;
constexpr unsigned kFind = 1u << kCommandFind;
constexpr unsigned kFollow = 1u << kCommandFollow;
constexpr unsigned kExport = 1u << kCommandExport;
constexpr unsigned kRowsChosen = kList | kShow | kFind | kExport;   // the options that choose the listed rows
constexpr unsigned kTextOut = kList | kShow | kStats | kFind | kFollow;
constexpr unsigned kFilters = kRowsChosen | kFollow;                 // the options that choose the events shown

enum OptionId {
    kOptHelp, kOptVersion, kOptOrder, kOptNoHeader, kOptSaved, kOptRaw, kOptCodePage, kOptDump,
    kOptFrom, kOptThrough, kOptSince, kOptUntil, kOptTypes, kOptComponent, kOptModule,
    kOptFindTypes, kOptFindComponent, kOptFindModule, kOptText, kOptUp, kOptFromRow, kOptWrap, kOptAll, kOptDedupe,
    kOptLines, kOptFormat, kOptInterval, kOptLast, kOptReverse, kOptNoData, kOptBom, kOptOutput, kOptAppend, kOptCount
};

struct OptionSpec {
    const char* name;
    int id;
    bool takesValue;
    unsigned commands;
    char shortName;   // -h for --help; 0 for none
};

const OptionSpec kOptionSpecs[] = {
    {"--help", kOptHelp, false, ~0u, 'h'},
    {"--version", kOptVersion, false, ~0u, 'V'},
    {"--order", kOptOrder, true, kRowsChosen, 0},
    {"--no-header", kOptNoHeader, false, kList, 0},
    {"--saved", kOptSaved, false, kFilters, 0},
    {"--raw", kOptRaw, false, kTextOut, 0},
    {"--codepage", kOptCodePage, true, kTextOut | kExport, 0},
    {"--dump", kOptDump, true, kShow, 0},
    {"--from", kOptFrom, true, kFilters, 0},
    {"--through", kOptThrough, true, kFilters, 0},
    {"--since", kOptSince, true, kFilters, 0},
    {"--until", kOptUntil, true, kFilters, 0},
    {"--types", kOptTypes, true, kFilters, 0},
    {"--component", kOptComponent, true, kFilters, 0},
    {"--module", kOptModule, true, kFilters, 0},
    {"--find-types", kOptFindTypes, true, kFind, 0},
    {"--find-component", kOptFindComponent, true, kFind, 0},
    {"--find-module", kOptFindModule, true, kFind, 0},
    {"--text", kOptText, true, kFind, 0},
    {"--up", kOptUp, false, kFind, 0},
    {"--from-row", kOptFromRow, true, kFind, 0},
    {"--wrap", kOptWrap, false, kFind, 0},
    {"--all", kOptAll, false, kFind, 0},
    {"--dedupe", kOptDedupe, false, kRowsChosen, 0},
    {"--lines", kOptLines, true, kFollow, 0},
    {"--format", kOptFormat, true, kList | kFollow | kExport, 0},
    {"--interval", kOptInterval, true, kFollow, 0},
    {"-n", kOptLast, true, kList | kExport, 0},      // no long name: follow's --lines counts the newest
    {"-r", kOptReverse, false, kRowsChosen, 0},
    {"--no-data", kOptNoData, false, kExport, 0},
    {"--bom", kOptBom, false, kExport, 0},
    {"--output", kOptOutput, true, kExport, 'o'},
    {"--append", kOptAppend, false, kExport, 0},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first n bytes of a and b alike but for the case of ASCII letters.
bool SameLetters(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? char(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

// A name table's text, its padding blanks ignored, as typed in any case.
bool NameMatches(const char* tableText, const char* typed) {
    size_t n = strlen(tableText);
    while (n > 0 && tableText[n - 1] == ' ') --n;
    return strlen(typed) == n && SameLetters(tableText, typed, n);
}

// A whole unsigned decimal number up to max.
bool ParseIndex(const char* text, unsigned long max, unsigned long* value) {
    if (!IsDigit(text[0]) || strlen(text) > 9) return false;
    char* end = nullptr;
    *value = strtoul(text, &end, 10);
    return *end == '\0' && *value <= max;
}

int Fail(FILE* err, const char* what, const char* value) {
    fprintf(err, "darvex-cli: %s%s%s\n", what, value ? ": " : "", value ? value : "");
    return 0;
}

// Type names in any case, added to those given before.
int ParseTypes(const char* text, uint16_t types[3]) {
    static const char* const kNames[3] = {"error", "warning", "information"};
    static const uint16_t kCodes[3] = {kTypeError, kTypeWarning, kTypeInformation};
    const char* p = text;
    for (;;) {
        const char* comma = strchr(p, ',');
        const size_t n = comma ? size_t(comma - p) : strlen(p);
        int found = -1;
        for (int i = 0; i < 3; ++i) {
            if (strlen(kNames[i]) == n && SameLetters(kNames[i], p, n)) found = i;
        }
        if (found < 0) return 0;
        types[found] = kCodes[found];
        if (!comma) return 1;
        p = comma + 1;
    }
}

// A component by its name, its code 1..5 as stats and export print it, or 0
// or "all" for every component.
int ParseComponent(const char* text, uint16_t* index) {
    unsigned long v = 0;
    if (NameMatches("all", text)) {
        *index = 0;
        return 1;
    }
    if (ParseIndex(text, kComponentNameCount - 1, &v)) {
        *index = uint16_t(v);
        return 1;
    }
    for (uint16_t i = 1; i < kComponentNameCount; ++i) {
        if (NameMatches(ComponentName(i), text)) {
            *index = i;
            return 1;
        }
    }
    return 0;
}

// A module by its code 0..7 as stats and export print it, by a name that
// only one code carries, or "all" for every module; index k is code k-1.
int ParseModule(const char* text, uint32_t* index, FILE* err) {
    unsigned long v = 0;
    if (NameMatches("all", text)) {
        *index = 0;
        return 1;
    }
    if (ParseIndex(text, kModuleNameCount - 2, &v)) {
        *index = uint32_t(v + 1);
        return 1;
    }
    int found = 0;
    for (int i = 1; i < kModuleNameCount; ++i) {
        if (!NameMatches(g_moduleNames[i], text)) continue;
        if (found) {
            fprintf(err, "darvex-cli: two modules are named %s: give the number, %d or %d\n", text, found - 1, i - 1);
            return 0;
        }
        found = i;
    }
    if (!found) return Fail(err, "unknown module", text);
    *index = uint32_t(found);
    return 1;
}

int ApplyOption(const OptionSpec& spec, const char* value, CliOptions* o, FILE* err) {
    switch (spec.id) {
    case kOptHelp: o->help = true; return 1;
    case kOptVersion: o->version = true; return 1;
    case kOptNoHeader: o->noHeader = true; return 1;
    case kOptSaved: o->saved = true; return 1;
    case kOptRaw: o->raw = true; return 1;
    case kOptNoData: o->noData = true; return 1;
    case kOptBom: o->bom = true; return 1;
    case kOptOutput: o->output = value; return 1;
    case kOptAppend: o->append = true; return 1;
    case kOptOrder:
        if (strcmp(value, "newest") == 0) o->order = kOrderNewestFirst;
        else if (strcmp(value, "oldest") == 0) o->order = kOrderOldestFirst;
        else if (strcmp(value, "module") == 0) o->order = kOrderModule;
        else return Fail(err, "--order takes newest, oldest or module", value);
        return 1;
    case kOptCodePage:
        if (strcmp(value, "932") == 0) o->codePage = 932;
        else if (strcmp(value, "1252") == 0) o->codePage = 1252;
        else return Fail(err, "--codepage takes 932 or 1252", value);
        return 1;
    case kOptDump:
        if (strcmp(value, "byte") == 0) o->dump = kDumpByte;
        else if (strcmp(value, "word") == 0) o->dump = kDumpWord;
        else return Fail(err, "--dump takes byte or word", value);
        return 1;
    case kOptFrom:
    case kOptThrough: {
        const bool from = spec.id == kOptFrom;
        (from ? o->fromGiven : o->throughGiven) = true;
        const int parsed = ParseStampArgument(value, from ? o->from : o->through);
        if (parsed == 1) return 1;
        fprintf(err, "darvex-cli: %s %s: %s\n", spec.name,
                parsed == 2 ? "names no such date or time" : "takes yy/mm/dd hh:mm:ss", value);
        return 0;
    }
    case kOptSince:
    case kOptUntil: {
        const bool since = spec.id == kOptSince;
        (since ? o->fromGiven : o->throughGiven) = true;
        char now[kStampSize];
        if (!LocalNow(now)) return Fail(err, "DARVEX_CLI_NOW takes yyyy-mm-ddThh:mm:ss", getenv("DARVEX_CLI_NOW"));
        const int parsed = ParseTimeArgument(value, !since, now, since ? o->from : o->through);
        if (parsed == 1) return 1;
        fprintf(err, "darvex-cli: %s %s: %s\n", spec.name,
                parsed == 2 ? "names no such date or time"
                            : "takes yyyy-mm-dd[Thh:mm[:ss]], now, today, yesterday or -N followed by s, m, h or d",
                value);
        return 0;
    }
    case kOptTypes:
    case kOptFindTypes: {
        const bool find = spec.id == kOptFindTypes;
        (find ? o->findTypesGiven : o->typesGiven) = true;
        if (ParseTypes(value, find ? o->findTypes : o->types)) return 1;
        fprintf(err, "darvex-cli: %s takes error,warning,information: %s\n", spec.name, value);
        return 0;
    }
    case kOptComponent:
    case kOptFindComponent: {
        const bool find = spec.id == kOptFindComponent;
        (find ? o->findComponentGiven : o->componentGiven) = true;
        return ParseComponent(value, find ? &o->findComponentIndex : &o->componentIndex) ? 1
                                                                                         : Fail(err, "unknown component", value);
    }
    case kOptModule:
    case kOptFindModule: {
        const bool find = spec.id == kOptFindModule;
        (find ? o->findModuleGiven : o->moduleGiven) = true;
        return ParseModule(value, find ? &o->findModuleIndex : &o->moduleIndex, err);
    }
    case kOptText: o->findText = value; return 1;
    case kOptUp: o->up = true; return 1;
    case kOptWrap: o->wrap = true; return 1;
    case kOptAll: o->all = true; return 1;
    case kOptDedupe: o->dedupe = true; return 1;
    case kOptFromRow: {
        unsigned long row = 0;
        o->fromRowGiven = true;
        if (!ParseIndex(value, 0xFFFFFFFEul, &row)) return Fail(err, "--from-row takes a row number", value);
        o->fromRow = uint32_t(row);
        return 1;
    }
    case kOptLines: {
        unsigned long v = 0;
        if (!ParseIndex(value, 999999999, &v)) return Fail(err, "--lines takes a number", value);
        o->lines = uint32_t(v);
        return 1;
    }
    case kOptFormat:
        if (o->command == kCommandList) {
            if (strcmp(value, "line") == 0) o->lineFormat = true;
            else if (strcmp(value, "list") != 0) return Fail(err, "--format takes list or line", value);
            return 1;
        }
        if (o->command == kCommandFollow) {
            if (strcmp(value, "list") == 0) o->followFormat = kFollowList;
            else if (strcmp(value, "line") == 0) o->followFormat = kFollowLine;
            else if (strcmp(value, "ndjson") == 0) o->followFormat = kFollowNdjson;
            else return Fail(err, "--format takes list, line or ndjson", value);
            return 1;
        }
        if (strcmp(value, "csv") == 0) o->format = kFormatCsv;
        else if (strcmp(value, "json") == 0) o->format = kFormatJson;
        else if (strcmp(value, "ndjson") == 0) o->format = kFormatNdjson;
#ifdef DARVEX_HAVE_SQLITE
        else if (strcmp(value, "sqlite") == 0) o->format = kFormatSqlite;
        else return Fail(err, "--format takes csv, json, ndjson or sqlite", value);
#else
        else if (strcmp(value, "sqlite") == 0) return Fail(err, "--format sqlite: this build writes no SQLite databases", nullptr);
        else return Fail(err, "--format takes csv, json or ndjson", value);
#endif
        return 1;
    case kOptLast: {
        unsigned long v = 0;
        if (!ParseIndex(value, 999999999, &v)) return Fail(err, "-n takes a number", value);
        o->last = uint32_t(v);
        return 1;
    }
    case kOptReverse: o->order = kOrderOldestFirst; return 1;
    case kOptInterval: {
        unsigned long v = 0;
        if (!ParseIndex(value, 3600000, &v) || v == 0) return Fail(err, "--interval takes 1 to 3600000 ms", value);
        o->interval = uint32_t(v);
        return 1;
    }
    }
    return 0;
}

const char* OptionName(int id) {
    for (const OptionSpec& spec : kOptionSpecs) {
        if (spec.id == id) return spec.name;
    }
    return "";
}

// "--name" or "-c" for an option of one letter.
const OptionSpec* FindOption(const char* arg, size_t nameLength) {
    for (const OptionSpec& spec : kOptionSpecs) {
        if (strlen(spec.name) == nameLength && strncmp(spec.name, arg, nameLength) == 0) return &spec;
        if (nameLength == 2 && arg[1] == spec.shortName) return &spec;
    }
    return nullptr;
}

// Two or four digits of year, then one or two digits for each other field.
bool SplitStamp(const char* text, char fields[kStampFieldCount][5], int* yearDigits) {
    static const char kSeparators[kStampFieldCount] = {'/', '/', ' ', ':', ':', '\0'};
    const char* p = text;
    for (int i = 0; i < kStampFieldCount; ++i) {
        int n = 0;
        while (IsDigit(p[n]) && n < 4) {
            fields[i][n] = p[n];
            ++n;
        }
        fields[i][n] = '\0';
        const bool fits = i == 0 ? (n == 2 || n == 4) : (n == 1 || n == 2);
        if (!fits || p[n] != kSeparators[i]) return false;
        if (i == 0) *yearDigits = n;
        p += n + 1;
    }
    return true;
}

// A moment of the local clock, field by field.
struct Moment {
    long year;
    int month, day, hour, minute, second;
};

bool LeapYear(long year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int MonthDays(long year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
}

// Days since 0000-03-01 of the proleptic Gregorian calendar, and back.
long DayNumber(long y, int m, int d) {
    if (m <= 2) --y;
    const long era = y / 400, yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}

void DayFields(long days, Moment* t) {
    const long era = days / 146097, doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    t->day = int(doy - (153 * mp + 2) / 5 + 1);
    t->month = int(mp < 10 ? mp + 3 : mp - 9);
    t->year = yoe + era * 400 + (t->month <= 2 ? 1 : 0);
}

// The clock's time seconds earlier; no earlier than the year 1.
Moment Earlier(const Moment& t, long long seconds) {
    long long total = (long long)DayNumber(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    total -= seconds;
    const long long first = (long long)DayNumber(1, 1, 1) * 86400;
    if (total < first) total = first;
    Moment r = {};
    DayFields(long(total / 86400), &r);
    const long rest = long(total % 86400);
    r.hour = int(rest / 3600);
    r.minute = int(rest / 60 % 60);
    r.second = int(rest % 60);
    return r;
}

// Exactly n digits.
bool TakeDigits(const char** p, int n, long* value) {
    *value = 0;
    for (int i = 0; i < n; ++i) {
        if (!IsDigit((*p)[i])) return false;
        *value = *value * 10 + ((*p)[i] - '0');
    }
    *p += n;
    return true;
}

void WriteStamp(const Moment& t, char stamp[kStampSize]) {
    char text[80];
    snprintf(text, sizeof text, "%04ld/%02d/%02d%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    memcpy(stamp, text, kStampSize);
}

Moment StampMoment(const char s[kStampSize]) {
    const auto field = [s](int at, int n) {
        int v = 0;
        for (int i = 0; i < n; ++i) v = v * 10 + (s[at + i] - '0');
        return v;
    };
    return {field(0, 4), field(5, 2), field(8, 2), field(10, 2), field(13, 2), field(16, 2)};
}

}  // namespace

int ParseTimeArgument(const char* text, bool until, const char now[kStampSize], char stamp[kStampSize]) {
    Moment t = {};
    const bool moment = strcmp(text, "now") == 0, yesterday = strcmp(text, "yesterday") == 0;
    if (now && (moment || yesterday || strcmp(text, "today") == 0)) {
        t = Earlier(StampMoment(now), yesterday ? 86400 : 0);
        if (!moment) {   // a day: its first second, or as --until its last
            t.hour = until ? 23 : 0;
            t.minute = t.second = until ? 59 : 0;
        }
        WriteStamp(t, stamp);
        return 1;
    }
    if (now && text[0] == '-') {
        const char* p = text + 1;
        long long n = 0;
        int digits = 0;
        for (; IsDigit(*p) && digits < 10; ++p, ++digits) n = n * 10 + (*p - '0');
        const char* const units = "smhd";
        static const long long kSeconds[4] = {1, 60, 3600, 86400};
        const char* unit = digits && *p && p[1] == '\0' ? strchr(units, *p) : nullptr;
        if (!unit) return 0;
        WriteStamp(Earlier(StampMoment(now), n * kSeconds[unit - units]), stamp);
        return 1;
    }
    // yyyy-mm-dd, then T or a blank and hh:mm, then :ss.
    const char* p = text;
    long v[6] = {};
    int fields = 0;
    static const char kBefore[6] = {0, '-', '-', 'T', ':', ':'};
    for (; fields < 6 && (fields == 0 || *p); ++fields) {
        if (fields > 0 && *p != kBefore[fields] && !(fields == 3 && *p == ' ')) return 0;
        if (fields > 0) ++p;
        if (!TakeDigits(&p, fields == 0 ? 4 : 2, &v[fields])) return 0;
    }
    if (*p || fields == 1 || fields == 2 || fields == 4) return 0;
    // A date alone, or a time without seconds, spans its day or minute.
    const int last = until ? 59 : 0;
    t = {v[0], int(v[1]), int(v[2]), fields > 3 ? int(v[3]) : (until ? 23 : 0), fields > 3 ? int(v[4]) : last,
         fields > 5 ? int(v[5]) : last};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > MonthDays(t.year, t.month) || t.hour > 23 ||
        t.minute > 59 || t.second > 59) {
        return 2;
    }
    WriteStamp(t, stamp);
    return 1;
}

int LocalNow(char stamp[kStampSize]) {
    if (const char* given = getenv("DARVEX_CLI_NOW")) return ParseTimeArgument(given, false, nullptr, stamp) == 1;
    const time_t now = time(nullptr);
    const tm* local = localtime(&now);
    if (!local) return 0;
    WriteStamp({local->tm_year + 1900L, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min,
                local->tm_sec > 59 ? 59 : local->tm_sec},
               stamp);
    return 1;
}

const char* CommandName(int command) { return command > 0 && command < kCommandCount ? kCommandNames[command] : ""; }

int ParseStampArgument(const char* text, char stamp[kStampSize]) {
    char parts[kStampFieldCount][5];
    int yearDigits = 0;
    if (!SplitStamp(text, parts, &yearDigits)) return 0;
    StampFields fields = {};
    uint32_t v[kStampFieldCount] = {};
    for (int i = 0; i < kStampFieldCount; ++i) {
        strcpy(fields.text[i], parts[i] + (i == 0 && yearDigits == 4 ? 2 : 0));
        ParseFieldNumber(i == 0 ? parts[0] : fields.text[i], &v[i]);
        if (i > 0 && (v[i] < kStampFieldRanges[i].min || v[i] > kStampFieldRanges[i].max)) return 2;
    }
    // The day must be one of its month's, February's 29th in a leap year only.
    const uint32_t year = yearDigits == 4 ? v[0] : FullYear(v[0]);
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    static const uint8_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (v[2] > kMonthDays[v[1] - 1] + (v[1] == 2 && leap ? 1u : 0u)) return 2;
    memset(stamp, '0', kStampSize);
    stamp[4] = stamp[7] = '/';
    stamp[12] = stamp[15] = ':';
    if (yearDigits == 4) {
        memcpy(stamp, parts[0], 2);
    } else {
        // The Filter dialog's two-digit year rule gives the century.
        ViewRange range = {};
        CheckStampFields(&fields, nullptr, &range);
        memcpy(stamp, range.from, 2);
    }
    StoreStampFields(fields, stamp);
    return 1;
}

namespace {

// The files as given, kept for the run (and the next parse in the same process).
const char** g_positionals;
int g_positionalRoom;

int KeepPositional(const char* arg, int count) {
    if (count == g_positionalRoom) {
        const int room = g_positionalRoom ? 2 * g_positionalRoom : 16;
        void* grown = realloc(g_positionals, size_t(room) * sizeof *g_positionals);
        if (!grown) return count;   // a command line longer than memory holds: the rest is not read
        g_positionals = static_cast<const char**>(grown);
        g_positionalRoom = room;
    }
    g_positionals[count] = arg;
    return count + 1;
}

}  // namespace

int ParseOptions(int argc, char** argv, CliOptions* o, FILE* err) {
    memset(o, 0, sizeof *o);
    o->dump = kDumpByte;
    o->lines = 10;
    o->interval = 250;
    o->last = UINT32_MAX;
    int positional = 0;
    bool optionsEnded = false;
    bool given[kOptCount] = {};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && strcmp(arg, "--") == 0) {
            optionsEnded = true;   // what follows is a command, a file or a row, even "-x"
            continue;
        }
        if (!optionsEnded && arg[0] == '-' && arg[1] != '\0') {
            const char* equals = strchr(arg, '=');
            const size_t nameLength = equals ? size_t(equals - arg) : strlen(arg);
            const OptionSpec* spec = FindOption(arg, nameLength);
            if (!spec) return Fail(err, "unknown option", arg);
            if (!(spec->commands & (1u << o->command))) {
                fprintf(err, "darvex-cli: %.*s is not an option of %s\n", int(nameLength), arg,
                        o->command ? CommandName(o->command) : "the program without a command");
                return 0;
            }
            const char* value = equals ? equals + 1 : nullptr;
            if (spec->takesValue && !value) {
                if (i + 1 >= argc) return Fail(err, "a value is missing after", arg);
                value = argv[++i];
            } else if (!spec->takesValue && value) {
                return Fail(err, "takes no value", arg);
            }
            // A list adds to the one given before; any other value given twice is refused,
            // and --since and --until set the bounds that --from and --through set.
            const int id = spec->id;
            const int sameBound = id == kOptSince ? kOptFrom : id == kOptFrom ? kOptSince
                                : id == kOptUntil ? kOptThrough : id == kOptThrough ? kOptUntil : id;
            if (sameBound != id && given[sameBound]) {
                fprintf(err, "darvex-cli: %s and %s set the same bound: give one of them\n",
                        OptionName(sameBound), spec->name);
                return 0;
            }
            if (given[id] && spec->takesValue && id != kOptTypes && id != kOptFindTypes) {
                return Fail(err, "given twice", spec->name);
            }
            given[id] = true;
            if (!ApplyOption(*spec, value, o, err)) return 0;
            continue;
        }
        if (o->command == kCommandNone) {
            for (int c = 1; c < kCommandCount; ++c) {
                if (strcmp(arg, kCommandNames[c]) == 0) o->command = c;
            }
            if (o->command == kCommandNone) return Fail(err, "unknown command", arg);
        } else if (positional == 1 && o->command == kCommandFollow) {
            return Fail(err, "one argument too many", arg);
        } else {
            positional = KeepPositional(arg, positional);
        }
    }
    // The files; show's last argument is its row.
    o->files = g_positionals;
    o->fileCount = positional;
    if (o->command == kCommandShow && positional >= 2) o->row = g_positionals[--o->fileCount];
    o->file = o->fileCount ? o->files[0] : nullptr;
    if (given[kOptReverse] && given[kOptOrder]) return Fail(err, "-r is --order oldest: give one of them", nullptr);
    if ((o->noData || o->bom) && o->format != kFormatCsv && o->format != kFormatNone) {
        fprintf(err, "darvex-cli: %s is for --format csv only\n", o->noData ? "--no-data" : "--bom");
        return 0;
    }
    if ((o->output || o->append) && o->format != kFormatSqlite && o->format != kFormatNone) {
        fprintf(err, "darvex-cli: %s is for --format sqlite only\n", o->output ? "--output" : "--append");
        return 0;
    }
    if (o->format == kFormatSqlite && !o->output && !o->help) return Fail(err, "--format sqlite needs --output DB", nullptr);
    o->shownFile = o->file;
    for (int i = 0; i < o->fileCount && !o->help && !o->version; ++i) {
        if (strcmp(o->files[i], "-") != 0) continue;
        // The other commands read the log whole; follow waits on a file that grows.
        if (o->command == kCommandFollow) return Fail(err, "follow reads a file that is written to, not standard input", "-");
        if (o->stdinCopy) return Fail(err, "standard input is read once: give - once", nullptr);
        if (!(o->stdinCopy = SpoolStandardInput(err))) return 0;
        if (i == 0) o->file = o->stdinCopy;
    }
    return 1;
}
