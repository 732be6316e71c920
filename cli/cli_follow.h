// follow: the newest events of a log, then each event its writing component
// appends, as it arrives. Only the header and the records not yet printed are
// read, with positioned reads; the file is never written and the component's
// mutex never taken.
#pragma once

#include <cstdint>
#include <cstdio>

#include "app/viewer_state.h"
#include "logfile/log_format.h"

// Reads size bytes at a file offset. Returns 1 when all of them arrived.
struct FollowReader {
    void* context;
    int (*readAt)(void* context, uint64_t offset, uint8_t* buffer, uint32_t size);
};

// Receives each event to print, oldest first: its record (the fixed part and
// the description, whose zero byte has been checked) and the header it was
// read under; and, before the events that follow it, word that the events
// after the last one printed were gone (overwritten or cleared before they
// were read) and the step goes on from the oldest.
struct FollowSink {
    void* context;
    void (*event)(void* context, const uint8_t* record, const LogHeader& header);
    void (*lost)(void* context);
};

constexpr uint32_t kFollowRecordBufferSize = kRecordFixedSize + 65536;

// Where the follower stands: the last event printed and the header it saw.
struct FollowState {
    bool started;               // the first step has printed the newest events
    uint32_t lastOffset;        // file offset of the last event printed; 0 none since the start or a clear
    uint8_t lastIdentity[32];   // its bytes 4..35 (stamp, module, sizes, type): overwritten bytes differ
    uint32_t count, oldest;     // recordCount and oldestOffset at the last step
    uint32_t firstLines;        // how many of the newest events the first step prints
    uint8_t* record;            // kFollowRecordBufferSize bytes, allocated once
    // The events printed: every one, or those accept passes (given the
    // record's fixed part); the first step prints the newest firstLines of them.
    int (*accept)(void* context, const uint8_t* record, const LogHeader& header);
    void* acceptContext;
};

// Outcome of one step.
struct FollowStepResult {
    int messageId;              // 0, or kMsgReadFailed / kMsgCorrupted from logfile/loader.h
    uint32_t printed;
};

// 1, or 0 when the buffer cannot be had.
int InitFollowState(FollowState* state, uint32_t firstLines);
void ReleaseFollowState(FollowState* state);
// Begins again as on a new log whose every event is to be printed (a file
// truncated or replaced under the follower); the filter stays.
void RestartFollowState(FollowState* state);

// Reads the header and, when the chain changed, the new records only, and
// hands them to the sink.
FollowStepResult FollowStep(FollowState* state, const FollowReader& reader, const FollowSink& sink);

struct LogRows;
// The first step over a log whose chain has been walked already (mapped):
// the newest firstLines events that pass go to the sink, oldest first, and
// the state stands after the newest event as FollowStep's first step leaves it.
void FollowFirstStep(FollowState* state, const LogRows& rows, const FollowSink& sink);

struct CliOutput;
struct CliOptions;
struct EventWriter;

constexpr int kFollowList = 0;     // the list's rows, format 41
constexpr int kFollowNdjson = 1;   // one JSON object a line, as export writes it
constexpr int kFollowLine = 2;     // list --format line's fields, tab-separated

// One event as follow prints it, its line end included: the list's row (or
// with kFollowLine list's line), or with a writer export's JSON object.
void PutFollowedEvent(CliOutput* out, EventWriter* json, const uint8_t* record, const LogHeader& header,
                      int format = kFollowList);

// Which file a path or an open file is (app/viewer_state.h): on POSIX the
// device and inode.
// The open file's identity and size. Returns 1, or 0 when they cannot be had.
int OpenFileIdentity(FILE* file, FileIdentity* identity, uint64_t* size);
// The file under path now: 1 one (its identity), 0 none (deleted, or on
// Windows deleted while still open), -1 cannot tell.
int PathIdentity(const char* path, FileIdentity* identity);
// 1 where the followed file stays open between looks (POSIX: a file renamed
// over or deleted keeps its inode); 0 on Windows, where a file open cannot be
// replaced by a rename, and a deleted one keeps its name until it is closed.
int KeepFollowedFileOpen();

// The command: polls the file every options.interval milliseconds until the
// process is ended, printing the events the filter options pass. A file
// truncated, replaced or deleted under its path is said so on err, as tail -F
// does, and followed again from its first event (a deleted one once it is
// back). Returns an exit status when it cannot go on.
int RunFollow(const CliOptions& options, FILE* out, FILE* err);
