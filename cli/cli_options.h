// The command line: which command, its file and row, and its options.
#pragma once

#include <cstdint>
#include <cstdio>

#include "dialogs/event_detail.h"
#include "eventlist/filter.h"

enum CliCommand { kCommandNone, kCommandList, kCommandShow, kCommandCheck, kCommandStats, kCommandFind, kCommandFollow, kCommandExport, kCommandCount };

enum ExportFormat { kFormatNone, kFormatCsv, kFormatJson, kFormatNdjson, kFormatSqlite };

struct CliOptions {
    int command;
    bool help;
    bool version;
    const char* file;          // FILE "-": the temporary copy of standard input
    const char* shownFile;     // FILE as messages name it: "-" for standard input
    const char* const* files;  // every FILE as given (follow: one), the first of them file
    int fileCount;
    const char* stdinCopy;     // "-" among them: standard input's temporary copy, else null
    bool dedupe;               // an event equal to one shown already is left out
    const char* row;
    uint32_t order;            // 112..114; 0 when not given
    bool noHeader;
    bool saved;
    bool raw;
    int codePage;              // 932 or 1252; 0 decides from the log
    DumpLayout dump;
    int format;                // export: an ExportFormat
    bool lineFormat;           // list: --format line
    uint32_t last;             // list, export: -n, the last rows of the order only (UINT32_MAX: all)
    bool noData, bom;          // export's CSV: no data column; a UTF-8 byte order mark first
    const char* output;        // export's SQLite: the database (-o, --output)
    bool append;               // export's SQLite: add the logs to an existing database
    // Filter choices; a given one makes the view filtered, as the dialog's OK does.
    bool fromGiven, throughGiven, typesGiven, componentGiven, moduleGiven;
    char from[kStampSize];     // yyyy/mm/ddhh:mm:ss
    char through[kStampSize];
    uint16_t types[3];         // errorType, warningType, informationType
    uint16_t componentIndex;
    uint32_t moduleIndex;
    // find: the Find dialog's criteria (types, component, module and the
    // description text) over the rows the options above choose, the
    // direction, the row the search starts after (the selected row), the
    // answer to the wrap question, every match.
    bool findTypesGiven, findComponentGiven, findModuleGiven;
    uint16_t findTypes[3];
    uint16_t findComponentIndex;
    uint32_t findModuleIndex;
    const char* findText;
    bool up, fromRowGiven, wrap, all;
    uint32_t fromRow;
    uint32_t lines;            // follow: the newest events printed first (10)
    int followFormat;          // follow: kFollowList or kFollowNdjson
    uint32_t interval;         // follow: milliseconds between two looks (250)
};

// The command's name, "" for none.
const char* CommandName(int command);

// Fills options from argv[1..]. Returns 1, or 0 after writing the reason
// (prefixed with the program's name) to err.
int ParseOptions(int argc, char** argv, CliOptions* options, FILE* err);

// "yy/mm/dd hh:mm:ss" (90..99 are 1990s, 00..89 2000 to 2089) or
// "yyyy/mm/dd hh:mm:ss" into a stamp. Returns 1; 2 when it has that form but
// names no such moment (month 13, February 30th, hour 24, ...); 0 for
// anything else.
int ParseStampArgument(const char* text, char stamp[kStampSize]);

// --since and --until: "yyyy-mm-ddThh:mm:ss" as export writes it (a blank for
// the T; the seconds may be left off), a date alone, "now", "today",
// "yesterday", or a time before now ("-30s", "-15m", "-2h", "-7d"). A date (or
// today, yesterday) bounds from its first second as --since and through its
// last as --until; a time without seconds likewise its minute. now is the
// local clock's "yyyy/mm/ddhh:mm:ss", as the log stores stamps. Returns 1, 2
// for that form naming no such moment, 0 for anything else.
int ParseTimeArgument(const char* text, bool until, const char now[kStampSize], char stamp[kStampSize]);

// The local clock now as a stamp, or the time DARVEX_CLI_NOW gives in
// --since's form (for tests). Returns 0 when DARVEX_CLI_NOW is no such time.
int LocalNow(char stamp[kStampSize]);

// FILE "-": standard input read to its end into a temporary file, removed when
// the program ends. Returns that file's path (UTF-8), or nullptr after writing
// the reason to err.
const char* SpoolStandardInput(FILE* err);
