#include "cli/cli_follow.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/cli_commands.h"
#include "cli/cli_export.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run.h"
#include "cli/follow_wait.h"
#include "cli/text_out.h"
#include "eventlist/filter.h"
#include "logfile/event_table.h"
#include "logfile/loader.h"

namespace {

constexpr uint32_t kIdentityOffset = 4;

// One step's view of the file: the header as read now.
struct Chain {
    const FollowReader* reader;
    LogHeader header;
};

// Reads the fixed part of the record at offset, and its description when
// whole, into buffer, after checking that it lies inside the record area.
// Returns 0, kMsgReadFailed or kMsgCorrupted.
int ReadRecord(const Chain& c, uint32_t offset, bool whole, uint8_t* buffer) {
    const uint32_t end = c.header.recordAreaEnd;
    if (end < kRecordAreaStart + kRecordFixedSize || offset < kRecordAreaStart || offset > end - kRecordFixedSize) {
        return kMsgCorrupted;
    }
    if (!c.reader->readAt(c.reader->context, offset, buffer, kRecordFixedSize)) return kMsgReadFailed;
    const uint16_t length = RecordDescriptionLength(buffer);
    if (uint64_t(offset) + kRecordFixedSize + length + RecordDataLength(buffer) > end) return kMsgCorrupted;
    if (!whole || length == 0) return 0;
    if (!c.reader->readAt(c.reader->context, uint64_t(offset) + kRecordFixedSize, buffer + kRecordFixedSize, length)) {
        return kMsgReadFailed;
    }
    return memchr(buffer + kRecordFixedSize, 0, length) ? 0 : kMsgCorrupted;
}

// The next newer record's offset; 0 for a link that does not move.
uint32_t NextOffset(uint32_t offset, const uint8_t* record) {
    if (RecordWrapToStart(record) == 1) return kRecordAreaStart;
    const uint32_t link = RecordLink(record);
    return link == 0 ? 0 : offset + link;
}

uint32_t RecordSize(const uint8_t* record) {
    return kRecordFixedSize + RecordDescriptionLength(record) + RecordDataLength(record);
}

// Prints n records after skipping some from offset, and keeps the follower's
// place after each one (after the last one skipped when none is printed), so
// that a step that fails half-way leaves a state the next step continues from.
FollowStepResult PrintRecords(FollowState* s, const Chain& c, const FollowSink& sink, uint32_t offset,
                              uint32_t skip, uint32_t n) {
    FollowStepResult result = {};
    uint8_t* r = s->record;
    s->oldest = c.header.oldestOffset;
    s->count = c.header.recordCount - n;
    for (uint32_t k = 0; k < skip + n; ++k) {
        const bool printing = k >= skip;
        if (int id = ReadRecord(c, offset, printing, r)) {
            result.messageId = id;
            return result;
        }
        if (k + 1 >= skip) {
            s->lastOffset = offset;
            memcpy(s->lastIdentity, r + kIdentityOffset, sizeof s->lastIdentity);
        }
        if (printing) {
            ++s->count;
            if (!s->accept || s->accept(s->acceptContext, r, c.header)) {
                sink.event(sink.context, r, c.header);
                ++result.printed;
            }
        }
        if (k + 1 < skip + n) offset = NextOffset(offset, r);
    }
    return result;
}

// How many of the oldest records come before the newest s.firstLines that
// the filter passes, from two walks along the chain's fixed parts: one
// counts what passes, one finds where the last ones begin.
// Returns 0, kMsgReadFailed or kMsgCorrupted.
int SkipToNewestAccepted(const FollowState& s, const Chain& c, uint32_t* skip) {
    uint8_t r[kRecordFixedSize];
    uint32_t passed = 0, passing = 0;
    for (int walk = 0; walk < 2; ++walk) {
        uint32_t offset = c.header.oldestOffset;
        for (uint32_t k = 0; k < c.header.recordCount; ++k) {
            if (int id = ReadRecord(c, offset, false, r)) return id;
            passed += s.accept(s.acceptContext, r, c.header) ? 1 : 0;
            if (walk == 1 && passed == passing) {
                *skip = k + 1;
                return 0;
            }
            offset = NextOffset(offset, r);
        }
        if (passed <= s.firstLines) break;
        passing = passed - s.firstLines;   // the ones not printed
        passed = 0;
    }
    *skip = 0;
    return 0;
}

// The number of records after the last one printed when records have left
// the chain since the last step: they run from its link to the record that
// ends where the writer will write next, no more of them than the chain holds.
// Returns 0 and sets *n, or kMsgCorrupted when the chain does not get there
// (the old successor was overwritten, or the chain was cleared and begun again).
int CountNewRecords(const FollowState& s, const Chain& c, uint32_t* n) {
    const LogHeader& h = c.header;
    uint8_t r[kRecordFixedSize];
    uint32_t offset = s.lastOffset;
    if (int id = ReadRecord(c, offset, false, r)) return id;
    for (uint32_t k = 0; k + 1 < h.recordCount; ++k) {
        const uint32_t next = NextOffset(offset, r);
        if (next == 0) return kMsgCorrupted;
        if (int id = ReadRecord(c, next, false, r)) return id;
        if (uint64_t(next) + RecordSize(r) == h.writerOffset) {
            *n = k + 1;
            return 0;
        }
        offset = next;
    }
    return kMsgCorrupted;
}

}  // namespace

int InitFollowState(FollowState* s, uint32_t firstLines) {
    memset(s, 0, sizeof *s);
    s->firstLines = firstLines;
    s->record = static_cast<uint8_t*>(malloc(kFollowRecordBufferSize));
    return s->record ? 1 : 0;
}

void RestartFollowState(FollowState* s) {
    s->started = false;
    s->lastOffset = 0;
    s->count = s->oldest = 0;
    s->firstLines = UINT32_MAX;
}

void ReleaseFollowState(FollowState* s) {
    free(s->record);
    s->record = nullptr;
}

FollowStepResult FollowStep(FollowState* s, const FollowReader& reader, const FollowSink& sink) {
    FollowStepResult result = {};
    uint8_t bytes[kHeaderSize];
    if (!reader.readAt(reader.context, 0, bytes, kHeaderSize)) {
        result.messageId = kMsgReadFailed;
        return result;
    }
    if (!IsKnownMagic(bytes)) {
        result.messageId = kMsgCorrupted;
        return result;
    }
    Chain c = {&reader, {}};
    ReadLogHeader(bytes, &c.header);
    const LogHeader& h = c.header;
    if (s->started && h.recordCount == s->count && h.oldestOffset == s->oldest) return result;
    if (h.recordAreaEnd < kRecordAreaStart || h.recordCount > (h.recordAreaEnd - kRecordAreaStart) / kRecordFixedSize) {
        result.messageId = kMsgCorrupted;   // more records than the area holds
        return result;
    }
    if (h.recordCount == 0) {
        // Empty, or cleared: the writer's next record begins a new chain.
        s->started = true;
        s->lastOffset = 0;
        s->count = 0;
        s->oldest = h.oldestOffset;
        return result;
    }
    if (!s->started) {
        uint32_t skip = h.recordCount - (h.recordCount < s->firstLines ? h.recordCount : s->firstLines);
        if (s->accept && skip != 0) result.messageId = SkipToNewestAccepted(*s, c, &skip);
        if (result.messageId == 0) result = PrintRecords(s, c, sink, h.oldestOffset, skip, h.recordCount - skip);
        // A look that failed half-way has kept its place: the next one goes on from it.
        s->started = result.messageId == 0 || s->lastOffset != 0;
        return result;
    }
    if (s->lastOffset == 0) return PrintRecords(s, c, sink, h.oldestOffset, 0, h.recordCount);

    // The last event printed must still be where it was, with the same bytes
    // (bytes written over it need not read as a record at all), and lead on to
    // the newest. A writer that went round the whole area between two looks
    // and left that record whole where it skipped to the area's start cannot
    // be told from the header and that record alone.
    uint8_t last[kRecordFixedSize];
    const int lastRead = ReadRecord(c, s->lastOffset, false, last);
    if (lastRead == kMsgReadFailed) {
        result.messageId = lastRead;
        return result;
    }
    const bool sameOldest = h.oldestOffset == s->oldest;
    bool kept = lastRead == 0 && memcmp(last + kIdentityOffset, s->lastIdentity, sizeof s->lastIdentity) == 0;
    if (sameOldest) kept = kept && h.recordCount > s->count;   // fewer with the same oldest: cleared meanwhile
    uint32_t n = h.recordCount - s->count;   // nothing has left the chain: the new ones are the count's growth
    if (kept && !sameOldest) kept = CountNewRecords(*s, c, &n) == 0;
    if (!kept) {
        sink.lost(sink.context);
        return PrintRecords(s, c, sink, h.oldestOffset, 0, h.recordCount);
    }
    return PrintRecords(s, c, sink, s->lastOffset, 1, n);
}

void FollowFirstStep(FollowState* s, const LogRows& rows, const FollowSink& sink) {
    const LogHeader& h = rows.header;
    // Slot 0 is the newest: the ones to print are found from that end.
    uint32_t slot = 0;
    for (uint32_t passed = 0; slot < rows.count && passed < s->firstLines; ++slot) {
        const uint8_t* r = rows.area + rows.positions[slot];
        if (!s->accept || s->accept(s->acceptContext, r, h)) ++passed;
    }
    while (slot-- > 0) {
        const uint8_t* r = rows.area + rows.positions[slot];
        if (!s->accept || s->accept(s->acceptContext, r, h)) sink.event(sink.context, r, h);
    }
    s->started = true;
    s->count = h.recordCount;
    s->oldest = h.oldestOffset;
    s->lastOffset = 0;
    if (rows.count == 0) return;
    s->lastOffset = kRecordAreaStart + rows.positions[0];
    memcpy(s->lastIdentity, rows.area + rows.positions[0] + kIdentityOffset, sizeof s->lastIdentity);
}

namespace {

// The file followed under its path, and what it was at the last look.
struct Watched {
    const char* path;
    FILE* file;              // none between looks where it is not kept open, or when deleted
    bool deleted;            // and waited for
    FileIdentity identity;   // of the file last open
    uint64_t size;
};

int ReadAt(void* context, uint64_t offset, uint8_t* buffer, uint32_t size) {
    FILE* f = static_cast<Watched*>(context)->file;
#ifdef _WIN32
    if (_fseeki64(f, int64_t(offset), SEEK_SET) != 0) return 0;
#else
    if (fseeko(f, off_t(offset), SEEK_SET) != 0) return 0;
#endif
    return fread(buffer, 1, size, f) == size;
}

struct Printer {
    CliOutput* out;
    EventWriter* json;   // none for the list's rows
    int format;
    FILE* err;
    bool counting;   // its events' texts are not counted yet
};

void ReportLost(void* context) {
    FILE* err = static_cast<Printer*>(context)->err;
    fprintf(err, "darvex-cli: the events after the last one printed are gone (cleared, or written over before "
                 "they were read); going on from the oldest\n");
    fflush(err);
}

// The event's texts counted for the code page.
void CountEventTexts(CodePageVotes* votes, const uint8_t* record, const LogHeader& header) {
    EventEntry e = {};
    BuildEntry(record, header, &e);
    const char* description = reinterpret_cast<const char*>(RecordDescription(record));
    CountText(votes, description, RecordDescriptionLength(record) ? strlen(description) : 0);
    CountText(votes, e.computer, e.computerLength);
}

void CountEvent(void* context, const uint8_t* record, const LogHeader& header) {
    CountEventTexts(static_cast<CodePageVotes*>(context), record, header);
}

void NoLoss(void*) {}

void PrintEvent(void* context, const uint8_t* record, const LogHeader& header) {
    Printer* p = static_cast<Printer*>(context);
    // The events after the first look count too while the code page is open
    // (the log held no text above 0x7F when the follower started).
    if (p->counting && p->out->codePage == 0) CountEventTexts(&p->out->votes, record, header);
    PutFollowedEvent(p->out, p->json, record, header, p->format);
    FlushOutput(p->out);
}

// The filter options over one event, as list applies them to the loaded log.
// --saved takes the header's conditions as they are at each look, but for its
// bounds: the viewer bounds a load by its own first and last events.
int AcceptEvent(void* context, const uint8_t* record, const LogHeader& header) {
    const CliOptions& o = *static_cast<const CliOptions*>(context);
    bool filtered = false;
    ViewConditions c = OptionConditions(o, o.saved ? header.conditions : DefaultViewConditions(), &filtered);
    if (!filtered) return 1;
    // Only the bounds given: the saved ones bound the window's load by its first and last events.
    c.fromIsStamp = o.fromGiven;
    c.throughIsStamp = o.throughGiven;
    EventEntry e = {};
    BuildEntry(record, header, &e);
    ViewRange bounds;
    memcpy(bounds.from, o.from, kStampSize);
    memcpy(bounds.through, o.through, kStampSize);
    return EntryPassesFilter(e, c, bounds);
}

void Notice(FILE* err, const char* path, const char* what) {
    fprintf(err, "darvex-cli: %s: %s\n", path, what);
    fflush(err);
}

void Adopt(Watched* w, FILE* f) {
    setvbuf(f, nullptr, _IONBF, 0);   // every read is positioned and goes to the file
    w->file = f;
    w->size = 0;
    OpenFileIdentity(f, &w->identity, &w->size);
}

// Compares the file under the path with the one last open, opens it when it
// is not open, and says what changed on err. Returns 1 when the follower
// starts over on the file open now.
int LookAtPath(Watched* w, FILE* err) {
    FileIdentity now = {};
    const int found = PathIdentity(w->path, &now);
    if (found == 0 || (w->deleted && found < 0)) {
        if (!w->deleted) Notice(err, w->path, "file deleted; waiting for it to come back");
        w->deleted = true;
        if (w->file) fclose(w->file);
        w->file = nullptr;
        return 0;
    }
    const FileIdentity last = w->identity;
    const uint64_t lastSize = w->size;
    // An identity the system would not tell is taken for the same file.
    const auto other = [](const FileIdentity& a, const FileIdentity& b) { return a.known && b.known && !SameFile(a, b); };
    if (found == 1 && w->file && other(now, last)) {
        fclose(w->file);   // the new file opens below
        w->file = nullptr;
    }
    if (!w->file) {
        FILE* f = OpenLogFile(w->path);
        if (!f) return 0;   // gone again, or not to be opened now: the next look sees
        Adopt(w, f);
    } else {
        OpenFileIdentity(w->file, &now, &w->size);
    }
    const char* what = w->deleted                      ? "file appeared; following it from its first event"
                       : other(w->identity, last)     ? "file replaced; following the new file from its first event"
                       : w->size < lastSize           ? "file truncated; following it from its first event"
                                                      : nullptr;
    w->deleted = false;
    if (what) Notice(err, w->path, what);
    return what ? 1 : 0;
}

}  // namespace

void PutFollowedEvent(CliOutput* out, EventWriter* json, const uint8_t* record, const LogHeader& header, int format) {
    EventEntry e = {};
    BuildEntry(record, header, &e);
    if (!json) {
        if (format == kFollowLine) PutLineRow(out, e);
        else PutListRow(out, e);
        return;
    }
    PutEventFields(json, e);
    PutText(out, "\n", 1);
}

int RunFollow(const CliOptions& o, FILE* out, FILE* err) {
    const bool ndjson = o.followFormat == kFollowNdjson;
    if (ndjson && o.raw) {
        fprintf(err, "darvex-cli: --raw is not an option of follow --format ndjson (UTF-8 always)\n"
                     "Try 'darvex-cli --help'.\n");
        return kExitUsage;
    }
    FILE* f = OpenLogFile(o.file);
    if (!f) return ReportFileFailure(errno == EACCES ? kMsgAccessDenied : kMsgOpenFailed, o.file, err);
    Watched watched = {o.file, nullptr, false, FileIdentity{}, 0};
    Adopt(&watched, f);
    FollowState state;
    CliOutput* text = InitFollowState(&state, o.lines) ? new CliOutput : nullptr;
    EventWriter* json = text && ndjson ? static_cast<EventWriter*>(malloc(sizeof(EventWriter))) : nullptr;
    if (!text || (ndjson && !json)) {
        delete text;
        ReleaseFollowState(&state);
        fclose(f);
        return ReportFileFailure(kMsgOutOfMemory, o.file, err);
    }
    if (o.fromGiven || o.throughGiven || o.typesGiven || o.componentGiven || o.moduleGiven || o.saved) {
        state.accept = AcceptEvent;
        state.acceptContext = const_cast<CliOptions*>(&o);
    }
    InitOutput(text, out, o.codePage, o.raw, nullptr, err, o.file);
    if (json) {
        // The writer's texts are UTF-8 already, and the line ends are LF.
        json->out = text;
        json->format = kFormatNdjson;
        json->noData = false;
        text->raw = true;
        SetBinaryOutput(out);
    }
    const FollowReader reader = {&watched, ReadAt};
    Printer printer = {text, json, o.followFormat, err, true};
    const FollowSink sink = {&printer, PrintEvent, ReportLost};
    // The first look walks the file mapped, as the other commands read it;
    // a file that does not map or walk whole (a writer half-way through a
    // record) is looked at record by record below.
    MappedFile file;
    if (MapLogFile(o.file, &file) == 0) {
        LogRows rows;
        if (WalkLog(file, &rows) == 0 && rows.count != 0) {
            if (o.codePage == 0) CountLogTexts(rows, &text->votes);
            printer.counting = false;
            FollowFirstStep(&state, rows, sink);
        }
        ReleaseRows(&rows, &file);
    }
    if (o.codePage == 0 && !state.started) {
        // The code page is chosen from every text of the log, as the other
        // commands choose it: one look over the whole chain counts them.
        FollowState all;
        if (InitFollowState(&all, UINT32_MAX)) {
            const FollowSink counter = {&text->votes, CountEvent, NoLoss};
            printer.counting = FollowStep(&all, reader, counter).messageId != 0;
        }
        ReleaseFollowState(&all);
    }
    int status = kExitOk;
    for (bool first = true;; first = false) {
        if (!first && LookAtPath(&watched, err)) RestartFollowState(&state);
        const FollowStepResult r = watched.file ? FollowStep(&state, reader, sink) : FollowStepResult{};
        // A look beside the writer may catch it half-way; only the first one must succeed.
        if (r.messageId != 0 && first && !state.started) {
            // A file shorter than its header is no log, as the loader finds it.
            const bool shorter = r.messageId == kMsgReadFailed && !ferror(watched.file);
            status = ReportFileFailure(shorter ? kMsgCorrupted : r.messageId, o.file, err,
                                       r.messageId == kMsgReadFailed && !shorter ? strerror(errno) : nullptr);
            break;
        }
        if (state.started) printer.counting = true;
        // A reader that has gone ends the command: seen when a write fails, or
        // between looks, as a quiet log is never written to.
        if (text->failed || ReaderGone(out)) {
            if (text->failed && !text->readerLeft) {
                fprintf(err, "darvex-cli: the output cannot be written\n");
                status = kExitWriteFailed;
            }
            break;
        }
        if (watched.file && !KeepFollowedFileOpen()) {
            fclose(watched.file);
            watched.file = nullptr;
        }
        WaitMilliseconds(o.interval);
    }
    free(json);
    delete text;
    ReleaseFollowState(&state);
    if (watched.file) fclose(watched.file);
    return status;
}
