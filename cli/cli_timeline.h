// Several logs read as one: the FILE arguments (files, folders searched for
// *.EVT, and "-") opened each as its own rows, and their rows merged into one
// timeline: a tournament (a binary tree of matches, as a heap lays it out)
// over one cursor a log.
#pragma once

#include <cstdint>
#include <cstdio>

#include "cli/cli_stream.h"

// The paths the FILE arguments name, in order: a folder's *.EVT files (any
// case, found in its subfolders too) sorted by their paths' bytes; "-" a log
// on standard input when it begins with a log's header, else a list of paths
// (one a line, LF or CR LF, blank lines ignored) taken as arguments are.
// A folder that cannot be read or holds no log is reported on err; *status is
// the first failure's exit status (0 when none).
struct LogPaths {
    char** paths;
    char** shown;
    uint32_t count, room;
    bool several;
};
void FindLogPaths(const CliOptions& options, LogPaths* found, int* status, FILE* err);
void ReleaseLogPaths(LogPaths* found);

struct TimelineLog {
    const char* path;       // what is opened
    const char* shown;      // as given or found; "-" for standard input
    uint32_t shownLength;
    ViewerState* state;     // the load's, when the file could not be mapped; else null
    MappedFile file;
    LogRows rows;
    int codePage;           // its texts' once asked for: 932 or 1252, -1 when none has a byte above 0x7F; 0 until then
};

struct Timeline {
    TimelineLog* logs;      // the logs read, in the order given
    uint32_t count;
    bool several;           // more than one log, a folder or a list: each event names its log
    bool dedupe;
    uint32_t order;         // every log's order
    LogPaths paths;
};

// Opens the logs, each reported on err when it cannot be read, and chooses
// their rows (-n over the merged timeline). Returns the first failure's exit
// status, 0 when every log was read.
int OpenTimeline(const CliOptions& options, Timeline* timeline, FILE* err);
void ReleaseTimeline(Timeline* timeline);

// The code page of a log's texts, guessed from them by the one log's rule
// when first asked for, and told on notes with the log's name (the output's
// logCodePage). 1252 for ASCII alone.
int TimelineLogCodePage(const void* timeline, uint32_t log, FILE* notes);

struct DedupeKey;

// Goes through the merged rows: each log's rows in their order, merged by the
// order's key (newest first: the greatest stamp; oldest first: the least;
// module: the module's rank, then the greatest stamp), equal keys in the
// order the logs were given.
struct TimelineCursor {
    uint32_t row;              // the index of the row returned last, plus one
    uint32_t source;           // the log of the row returned last
    bool newest;               // the rows newest first in the files' order, whatever the order chosen
    bool started;
    RowCursor* cursors;
    const EventEntry** heads;  // each log's next row
    uint64_t* keys;
    uint32_t* tree;            // tree[0] the log whose head comes next; then each match's loser
    // --dedupe: the events shown of the current key.
    uint64_t groupKey;
    DedupeKey* seen;
    uint32_t seenCount, seenRoom;
};
// Returns 0, or kExitNoMemory.
int StartTimeline(TimelineCursor* cursor, const Timeline& timeline, bool newest = false);
void EndTimeline(TimelineCursor* cursor);
const EventEntry* NextEvent(TimelineCursor* cursor, const Timeline& timeline);
uint32_t CountTimelineRows(const Timeline& timeline);
// The row of index row (from 0), or null when there are fewer rows.
const EventEntry* TimelineRowAt(TimelineCursor* cursor, const Timeline& timeline, uint32_t row);
