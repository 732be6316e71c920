// The rows of a log without its table: the file mapped, the record chain
// walked once as the loader walks it with one area position kept per event,
// and each row decoded into one reused entry as it is written. A file that
// cannot be mapped whole is loaded into the viewer's table instead, and its
// rows are the table's visible rows; the commands see no difference.
#pragma once

#include <cstdint>

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"

// The whole file, mapped for reading.
struct MappedFile {
    const uint8_t* bytes;   // null for an empty file
    uint64_t size;
    void* view;             // what the platform unmaps
};

// 0 when mapped; kMsgAccessDenied or kMsgOpenFailed (errno as the open left
// it) when the file does not open; -1 when it opens but cannot be mapped whole
// (no regular file, or larger than the address space leaves room for).
int MapLogFile(const char* path, MappedFile* file);
void UnmapLogFile(MappedFile* file);
// A file the program is writing while it reads mapped logs (a database's
// temporary file), removed if a log is cut under the mapping and the program
// ends; null when there is none.
void RemoveOnReadFault(const char* path);

// The conditions the filter options make of saved (a log's header's with
// --saved, else the defaults); *filtered says they filter, as the Filter
// dialog's OK does when any option is given.
ViewConditions OptionConditions(const CliOptions& options, const ViewConditions& saved, bool* filtered);

// The tests turn it off to compare the mapped rows with the loaded table's.
extern bool g_cliMapsFiles;

// The log's events and the rows the options choose from them.
struct LogRows {
    const ViewerState* loaded;   // the loaded table whose visible rows are the rows, or null when mapped
    LogHeader header;
    const uint8_t* area;         // mapped: the record area (position 0 is file offset 88)
    uint32_t* positions;         // mapped: each event's area position, slot 0 the newest
    uint32_t count;              // the events
    ViewConditions conditions;
    ViewRange range;
    bool filtered;
    uint32_t order;              // 112..114
    uint32_t slotLimit;          // -n: mapped rows come from the slots below it
    uint8_t rank[8];             // module order: each module code's place
    uint8_t* ranks;              // mapped, module order: each slot's rank, two a byte (or null: read from the record)
    bool merged;                 // one of several logs merged: its records are asked for ahead whole
};

// The command's rows: the file mapped and walked, or loaded into state when
// it cannot be mapped (or the tests ask for the load). Returns 0 or the load's
// message id. ReleaseRows gives back what either took.
int OpenRows(const CliOptions& options, ViewerState* state, MappedFile* file, LogRows* rows);
void ReleaseRows(LogRows* rows, MappedFile* file);
// The same for the log at path; a load takes *state, made on the heap when
// null (the caller frees it with ReleaseViewerState and free).
int OpenRowsAt(const CliOptions& options, const char* path, ViewerState** state, MappedFile* file, LogRows* rows);
// -n: only the newest last of the rows (in the file's order) stay rows.
void KeepNewestRows(LogRows* rows, uint32_t last);
// Counts the log's texts (mapped or loaded) for the code page.
void CountLogTexts(const LogRows& rows, CodePageVotes* votes);

// Lets the output's code-page guess count the mapped log's texts.
void CountTextsOf(CliOutput* out, const LogRows& rows);

// The event of a slot (0 the newest), decoded into scratch when mapped.
const EventEntry* EventAt(const LogRows& rows, uint32_t slot, EventEntry* scratch);

// Goes through the rows in list order; NextRow returns null after the last.
struct RowCursor {
    uint32_t row;       // the index of the row returned last, plus one
    uint32_t slot;      // mapped: the slot looked at next
    int rank;           // mapped, module order: the rank of this pass
    uint32_t ahead;     // mapped, module order: the slot after the records asked for ahead
    uint32_t queued;    // how many of them are still to come
    EventEntry entry;
};
void StartRows(RowCursor* cursor, const LogRows& rows);
const EventEntry* NextRow(RowCursor* cursor, const LogRows& rows);
// The rows newest first in the file's order, whatever order was chosen.
const EventEntry* NextNewestRow(RowCursor* cursor, const LogRows& rows);
// The number of rows (a pass over them when mapped and filtered).
uint32_t CountRows(const LogRows& rows);
// The row of index row (counted from 0), or null when there are fewer rows.
const EventEntry* RowAt(RowCursor* cursor, const LogRows& rows, uint32_t row);

// The chain of a mapped file walked as the load takes it, without a choice of
// rows: the header, the area and each event's position. Returns 0 or the
// load's message id; ReleaseRows gives the positions back.
int WalkLog(const MappedFile& file, LogRows* rows);
