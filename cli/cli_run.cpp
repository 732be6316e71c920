#include "cli/cli_run.h"

#include <cerrno>
#include <cstring>

#include "cli/cli_commands.h"
#include "cli/cli_find.h"
#include "cli/cli_follow.h"
#include "cli/cli_export.h"
#ifdef DARVEX_HAVE_SQLITE
#include "cli/cli_export_sqlite.h"
#endif
#include "cli/cli_stream.h"
#include "cli/cli_timeline.h"
#include "logfile/loader.h"

#define DARVEX_STRINGIFY2(x) #x
#define DARVEX_STRINGIFY(x) DARVEX_STRINGIFY2(x)

namespace {

const char kProgramHelp[] =
    "Usage: darvex-cli COMMAND FILE... [OPTIONS]\n"
    "Reads an event log file as DARVEX loads it. FILE - reads the log from\n"
    "standard input (all but follow); a file named \"-\" is ./-.\n"
    "\n"
    "Several logs (all but follow): each FILE a log, a folder (its *.EVT files in\n"
    "any case, in its subfolders too, sorted by path), or -: standard input that\n"
    "begins with a log's header is a log, anything else a list of paths, one a\n"
    "line. Their events are one timeline, merged by stamp (equal stamps in the\n"
    "order the files were given); rows count the merged rows. The line format\n"
    "and exports name each event's file (source); list's printed rows do not.\n"
    "A log that cannot be read is reported and the others are shown; the exit\n"
    "status is then the first failure's. Each log's code page is its own guess.\n"
    "\n"
    "Commands:\n"
    "  list FILE       the rows in the printed list's format\n"
    "  show FILE ROW   one event as DARVEX prints it\n"
    "  check FILE      walks the record chain; reports the first fault\n"
    "  stats FILE      counts by type, component and module; first and last stamps\n"
    "  find FILE       the next row that DARVEX's Find selects, or every match\n"
    "  follow FILE     the newest events, then each one appended, as it arrives\n"
    "  export FILE     every listed event with all its fields as CSV, JSON or NDJSON\n"
    "\n"
    "  -h, --help      this text; COMMAND --help describes a command\n"
    "  -V, --version   the program's version\n"
    "  --              what follows is no option (a file named \"-x\")\n"
    "Options and files may come in any order. A value given twice is refused,\n"
    "but --types and --find-types add up. Names (types, components, modules)\n"
    "match in any case.\n"
    "\n"
    "Exit status:\n"
    "  0  done (check: the log is well formed)\n"
    "  1  check: the log's chain is broken; find: no event matched\n"
    "  2  a wrong command line, or a row that is not listed\n"
    "  3  the file cannot be opened (access rejected, or the open failed)\n"
    "  4  the file cannot be read\n"
    "  5  not enough memory\n"
    "  6  the log is corrupted (check too, for a file with no log header)\n"
    "  7  the output cannot be written\n";

#define DARVEX_ROW_OPTIONS \
    "  --order newest|oldest|module   the list's order (default newest)\n" \
    "  -r              oldest first, as --order oldest\n" \
    "  --from DATE, --through DATE    bounds, inclusive; DATE is \"yy/mm/dd hh:mm:ss\"\n" \
    "                                 (90-99 are 1990-1999, 00-89 2000-2089)\n" \
    "                                 or \"yyyy/mm/dd hh:mm:ss\"\n" \
    "  --since TIME, --until TIME     the same bounds (give one of --since and\n" \
    "                                 --from): \"yyyy-mm-ddThh:mm:ss\" as export\n" \
    "                                 writes it (a blank for the T; seconds may go),\n" \
    "                                 a date alone, now, today, yesterday, or a time\n" \
    "                                 before now: -45s, -30m, -1h, -2d. A date spans\n" \
    "                                 its day and a time without seconds its minute\n" \
    "                                 (--since from the first second, --until through\n" \
    "                                 the last). Stamps are the writing machine's\n" \
    "                                 local time, so now is the local clock's\n" \
    "  --types error,warning,information   the types shown\n" \
    "  --component NAME|1..5|all      one component, numbered as stats and export\n" \
    "                                 print it (5: unknown; 0 is all too)\n" \
    "  --module NAME|0..7|all         one module, numbered as stats and export\n" \
    "                                 print it (7: unknown)\n" \
    "  --saved         the conditions and order saved in the file's header, as\n" \
    "                  DARVEX applies them to a live log; the options above override\n" \
    "  --dedupe        an event equal to one shown already (the same computer,\n" \
    "                  component, stamp, type, module and description) is left out:\n" \
    "                  copies of a log show once\n"

#define DARVEX_CODEPAGE_OPTION \
    "  --codepage 932|1252   the code page of the texts (default: 932 when the\n" \
    "                  Shift-JIS texts outnumber the others more than twice,\n" \
    "                  else 1252, each log's from its own texts; a guess is\n" \
    "                  named on standard error); given, it holds for all logs\n"

#define DARVEX_TEXT_OPTIONS DARVEX_CODEPAGE_OPTION \
    "  --raw           the bytes as stored, not converted\n"

#ifdef DARVEX_HAVE_SQLITE
#define DARVEX_SQLITE_FORMAT "|sqlite"
#define DARVEX_SQLITE_TEXT "SQLite writes the database --output names: the tables sources (the log)\n" \
    "and events (the data as a blob); a summary goes to standard error.\n"
#define DARVEX_SQLITE_OPTIONS \
    "  -o, --output DB   sqlite: the database written (required); the events go\n" \
    "                  into its table events (oldest first unless --order says\n" \
    "                  otherwise) and the log into sources; stdout stays empty\n" \
    "  --append        sqlite: add to an existing database; a log it holds\n" \
    "                  already (the same bytes) is skipped\n"
#else
#define DARVEX_SQLITE_FORMAT ""
#define DARVEX_SQLITE_TEXT ""
#define DARVEX_SQLITE_OPTIONS "  (this build writes no SQLite databases: --format sqlite is left out)\n"
#endif

const char* const kCommandHelp[kCommandCount] = {
    kProgramHelp,
    "Usage: darvex-cli list FILE... [OPTIONS]\n"
    "Prints the listed rows, one a line, under the column header.\n"
    "\n"
    "  --no-header     the rows alone\n"
    "  --format list|line   the printed list's rows (default), or one event a\n"
    "                  line without the header: time (as export writes it), type,\n"
    "                  component, module, computer and the description's first\n"
    "                  line, separated by tabs (a tab in a text shows as \\x09);\n"
    "                  of several logs, the event's file first\n"
    "  -n N            the newest N rows only, in the order chosen\n" DARVEX_ROW_OPTIONS DARVEX_TEXT_OPTIONS,
    "Usage: darvex-cli show FILE... ROW [OPTIONS]\n"
    "Prints one event as DARVEX prints it: its fields, the whole description\n"
    "and the data dump. ROW counts the rows as list lists them with the same\n"
    "options, 0 the first. Of several logs, a Source line names its file first.\n"
    "\n"
    "  --dump byte|word   the layout of the data (default byte)\n" DARVEX_ROW_OPTIONS DARVEX_TEXT_OPTIONS,
    "Usage: darvex-cli check FILE...\n"
    "Walks the record chain as DARVEX loads it and says \"well formed\" (exit 0),\n"
    "or names the first fault and its file offset (exit 1). Of several logs,\n"
    "each one's line begins with its path; the status is the first failure's.\n",
    "Usage: darvex-cli stats FILE... [OPTIONS]\n"
    "Prints the number of events by type, component and module (numbered as\n"
    "--component and --module take them), and the first and last events' stamps;\n"
    "of several logs, the number of each file's and each computer's events too.\n"
    "\n" DARVEX_TEXT_OPTIONS,
    "Usage: darvex-cli find FILE... [OPTIONS]\n"
    "Searches as DARVEX's Find does, over the rows that list prints with the\n"
    "same options, and prints the row it selects: its index (the row show takes),\n"
    "a tab and the row. Exit status 0 when an event matched, 1 when none.\n"
    "\n"
    "  --find-types error,warning,information   the types searched (default all)\n"
    "  --find-component NAME|1..5|all    one component searched, as --component\n"
    "  --find-module NAME|0..7|all       one module searched, as --module\n"
    "  --text TEXT     a text the description contains; ASCII letters match in\n"
    "                  either case, every other character exactly\n"
    "                  (typed text is converted to the descriptions' code page,\n"
    "                  each log's own of several logs;\n"
    "                  with --raw its bytes are taken as they are); at most\n"
    "                  255 bytes in that code page, as Find takes\n"
    "  --up            search towards row 0 (default down)\n"
    "  --from-row N    start after row N, as from the selected row (default:\n"
    "                  no selection: down starts at row 0, up at the last row\n"
    "                  after the wrap)\n"
    "  --wrap          at the end of the list go on from the other end, as OK\n"
    "                  to DARVEX's question does (default: stop there)\n"
    "  --all           every matching row, in list order\n"
    DARVEX_ROW_OPTIONS DARVEX_TEXT_OPTIONS,
    "Usage: darvex-cli follow FILE [OPTIONS]\n"
    "Prints the newest events, then each event the writing component appends,\n"
    "oldest first, until Ctrl-C. Follows the chain round the record area's end\n"
    "and a Clear; never writes to the file nor takes the component's mutex.\n"
    "A file truncated or replaced under FILE (renamed over, or deleted and made\n"
    "again) is said so on standard error and followed from its first event, as\n"
    "a new log; a deleted one is waited for. Only the events the filter options\n"
    "pass are printed, as list filters them.\n"
    "\n"
    "  --lines N       the newest events printed first, of those the filter\n"
    "                  options pass (default 10)\n"
    "  --format list|line|ndjson   the list's rows without the header (default),\n"
    "                  list --format line's lines, or one JSON object a line in\n"
    "                  UTF-8, as export writes it\n"
    "  --interval MS   the pause between two looks at the file (default 250)\n"
    "  --from, --through, --since, --until, --types, --component, --module\n"
    "                  as list takes them\n"
    "  --saved         the types, component and module saved in the file's\n"
    "                  header, read at each look; the options above override\n" DARVEX_TEXT_OPTIONS,
    "Usage: darvex-cli export FILE... --format csv|json|ndjson" DARVEX_SQLITE_FORMAT " [OPTIONS]\n"
    "Writes the listed rows' events with all their fields in UTF-8: type,\n"
    "typeName, time (yyyy-mm-ddThh:mm:ss, as stored), component, componentName,\n"
    "module, moduleName, computer, source (the event's file: only when several\n"
    "logs are read), description and data (lowercase hex).\n"
    "CSV has a header line and CR LF line ends; JSON is one array of objects;\n"
    "NDJSON is one object a line.\n" DARVEX_SQLITE_TEXT
    "\n"
    "  --format csv|json|ndjson" DARVEX_SQLITE_FORMAT "   the output's format (required)\n"
    "  -n N            the newest N rows only, in the order chosen\n"
    "  --no-data       CSV without the data column\n"
    "  --bom           CSV that begins with a UTF-8 byte order mark, for\n"
    "                  spreadsheet programs\n" DARVEX_SQLITE_OPTIONS DARVEX_ROW_OPTIONS DARVEX_CODEPAGE_OPTION,
};

}  // namespace

// The viewer's message texts of a failed load.
const char* LoadMessageText(int id) {
    switch (id) {
    case kMsgAccessDenied: return "Access to the event log file is rejected.";
    case kMsgOpenFailed: return "Failed to open the event log file.";
    case kMsgReadFailed: return "Failed to read the event log file.";
    case kMsgOutOfMemory: return "Area for execution is not enough.";
    case kMsgCorrupted: return "Event log file is corrupted.";
    }
    return "";
}

int ExitStatusOf(int messageId) {
    switch (messageId) {
    case kMsgAccessDenied:
    case kMsgOpenFailed: return kExitOpenFailed;
    case kMsgReadFailed: return kExitReadFailed;
    case kMsgOutOfMemory: return kExitNoMemory;
    }
    return kExitCorrupted;
}

namespace {

const char kFromAfterThrough[] =
    "If date / time of the commencement of a display is not a smaller value than date / time of the "
    "completion of a display, will not become.";

// A result (done; check: broken; find: no match) whose text did not get
// out is an output error.
int WrittenStatus(int status, bool written, FILE* err) {
    if (written || (status != kExitOk && status != kExitBroken)) return status;
    fprintf(err, "darvex-cli: the output cannot be written\n");
    return kExitWriteFailed;
}

// check: each log's report, behind its path when there are several.
int CheckFiles(const CliOptions& o, FILE* out, FILE* err) {
    LogPaths found;
    int status = 0;
    FindLogPaths(o, &found, &status, err);
    for (uint32_t i = 0; i < found.count; ++i) {
        const int checked = CheckFile(found.paths[i], found.shown[i], out, err, found.several ? found.shown[i] : nullptr);
        if (status == 0) status = checked;
    }
    ReleaseLogPaths(&found);
    return WrittenStatus(status, fflush(out) == 0 && !ferror(out), err);
}

int RunCommand(const CliOptions& o, FILE* out, FILE* err) {
    if (o.command == kCommandCheck) return CheckFiles(o, out, err);
    if (o.fromGiven && o.throughGiven && memcmp(o.from, o.through, kStampSize) > 0) {
        fprintf(err, "darvex-cli: %s\n", kFromAfterThrough);
        return kExitUsage;
    }
    if (o.command == kCommandFollow) return RunFollow(o, out, err);
#ifdef DARVEX_HAVE_SQLITE
    if (o.command == kCommandExport && o.format == kFormatSqlite) return ExportSqlite(o, err);
#endif
    // Every log given; one that cannot be read is reported and the others are shown.
    Timeline timeline;
    const int failed = OpenTimeline(o, &timeline, err);
    if (timeline.count == 0) {
        ReleaseTimeline(&timeline);
        return failed ? failed : kExitOpenFailed;
    }
    // The output block is large; it lives on the heap, once per run.
    CliOutput* text = new CliOutput;
    if (!timeline.several) {
        const TimelineLog& log = timeline.logs[0];
        InitOutput(text, out, o.codePage, o.raw, log.rows.loaded ? &log.state->table : nullptr, err, log.shown);
        CountTextsOf(text, log.rows);
    } else {
        // Each log's texts in its own code page, guessed from them, unless --codepage gives one for all.
        InitOutput(text, out, o.codePage, o.raw, nullptr, err);
        SetLogCodePages(text, TimelineLogCodePage, &timeline);
    }
    int status = kExitOk;
    if (o.command == kCommandList) status = ListRows(o, timeline, text);
    else if (o.command == kCommandShow) status = ShowEvent(o, timeline, text, err);
    else if (o.command == kCommandFind) status = FindRows(o, timeline, text, err);
    else if (o.command == kCommandExport) status = ExportEvents(o, timeline, text, err);
    else status = ShowStats(timeline, text);
    status = WrittenStatus(status, FlushOutput(text) != 0, err);
    if (failed && (status == kExitOk || status == kExitBroken)) status = failed;
    delete text;
    ReleaseTimeline(&timeline);
    return status;
}

int CliOpen(void* context, const char*, LogReader* reader) {
    FILE* f = OpenLogFile(static_cast<const char*>(context));
    if (f == nullptr) return errno == EACCES ? kMsgAccessDenied : kMsgOpenFailed;
    reader->context = f;
    reader->fileSize = UINT64_MAX;
    if (fseek(f, 0, SEEK_END) == 0) {
        const long long end = ftello(f);
        if (end >= 0) reader->fileSize = uint64_t(end);
    }
    fseek(f, 0, SEEK_SET);
    reader->read = [](void* file, uint8_t* buffer, uint32_t size, uint32_t* got) -> int {
        const size_t n = fread(buffer, 1, size, static_cast<FILE*>(file));
        *got = uint32_t(n);
        return n == size || !ferror(static_cast<FILE*>(file));
    };
    return 0;
}

void CliClose(void*, LogReader* reader) {
    if (reader->context) fclose(static_cast<FILE*>(reader->context));
    reader->context = nullptr;
}

}  // namespace

LogOpener CliLogOpener(const char* path) { return {const_cast<char*>(path), CliOpen, CliClose}; }

int RunCli(int argc, char** argv, FILE* out, FILE* err) {
    CliOptions o;
    if (!ParseOptions(argc, argv, &o, err)) {
        fprintf(err, "Try 'darvex-cli --help'.\n");
        return kExitUsage;
    }
    if (o.help) {
        fputs(kCommandHelp[o.command], out);
        return kExitOk;
    }
    if (o.version) {
        fprintf(out, "darvex-cli %s\n", DARVEX_STRINGIFY(DARVEX_VERSION));
        return kExitOk;
    }
    const char* missing = o.command == kCommandNone ? "a command is missing"
                          : o.file == nullptr       ? "the file is missing"
                          : o.command == kCommandShow && o.row == nullptr ? "the row is missing"
                          : o.command == kCommandExport && o.format == kFormatNone ? "--format is missing"
                                                                          : nullptr;
    if (missing) {
        fprintf(err, "darvex-cli: %s\nTry 'darvex-cli %s%s--help'.\n", missing, CommandName(o.command),
                o.command ? " " : "");
        return kExitUsage;
    }
    return RunCommand(o, out, err);
}
