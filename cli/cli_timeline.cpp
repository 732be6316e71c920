#include "cli/cli_timeline.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/cli_run.h"
#include "logfile/loader.h"

namespace {

char* Copy(const char* text, size_t length) {
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) {
        memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

int AddPath(LogPaths* f, const char* path, const char* shown) {
    if (f->count == f->room) {
        const uint32_t room = f->room ? 2 * f->room : 16;
        char** paths = static_cast<char**>(realloc(f->paths, room * sizeof(char*)));
        if (paths) f->paths = paths;
        char** shownNames = static_cast<char**>(realloc(f->shown, room * sizeof(char*)));
        if (shownNames) f->shown = shownNames;
        if (!paths || !shownNames) return 0;
        f->room = room;
    }
    char* p = Copy(path, strlen(path));
    char* s = shown == path ? p : Copy(shown, strlen(shown));
    if (!p || !s) {
        free(p);
        if (s != p) free(s);
        return 0;
    }
    f->paths[f->count] = p;
    f->shown[f->count] = s;
    ++f->count;
    return 1;
}

struct FolderWalk {
    LogPaths* found;
    int depth;
    int failure;        // the first message id of a subfolder that cannot be read
    bool full;          // out of memory
};

bool EndsInEvt(const char* path) {
    const size_t n = strlen(path);
    if (n < 4 || path[n - 4] != '.') return false;
    for (int i = 0; i < 3; ++i) {
        const char c = path[n - 3 + i];
        if (c != "evt"[i] && c != "EVT"[i]) return false;
    }
    return true;
}

void OnEntry(void* context, const char* path, bool isFolder) {
    FolderWalk* w = static_cast<FolderWalk*>(context);
    if (isFolder) {
        if (w->depth >= 64) return;   // a link that leads back into the folder goes no deeper
        ++w->depth;
        const int id = ListFolder(path, OnEntry, w);
        if (id != 0 && w->failure == 0) w->failure = id;
        --w->depth;
    } else if (EndsInEvt(path) && !AddPath(w->found, path, path)) {
        w->full = true;
    }
}

int ComparePaths(const void* a, const void* b) {
    return strcmp(*static_cast<char* const*>(a), *static_cast<char* const*>(b));
}

void Fail(int* status, int exitStatus) {
    if (*status == 0) *status = exitStatus;
}

void AddArgument(const CliOptions& o, const char* arg, bool listed, LogPaths* f, int* status, FILE* err);

// Standard input: a log, or a list of paths.
void AddStandardInput(const CliOptions& o, LogPaths* f, int* status, FILE* err) {
    FILE* in = OpenLogFile(o.stdinCopy);
    uint8_t magic[kMagicSize];
    const size_t got = in ? fread(magic, 1, sizeof magic, in) : 0;
    if (!in || got == 0 || (got == sizeof magic && IsKnownMagic(magic))) {
        if (in) fclose(in);
        if (!AddPath(f, o.stdinCopy, "-")) Fail(status, ReportFileFailure(kMsgOutOfMemory, "-", err));
        return;
    }
    f->several = true;
    // A list of paths is small: read whole.
    size_t size = got, room = 4096;
    char* text = static_cast<char*>(malloc(room));
    if (text) memcpy(text, magic, got);
    for (size_t n; text && (n = fread(text + size, 1, room - size, in)) > 0;) {
        size += n;
        if (size == room) {
            char* grown = static_cast<char*>(realloc(text, room *= 2));
            if (!grown) free(text);
            text = grown;
        }
    }
    fclose(in);
    if (!text) {
        Fail(status, ReportFileFailure(kMsgOutOfMemory, "-", err));
        return;
    }
    const uint32_t before = f->count;
    for (size_t start = 0; start < size;) {
        const char* line = text + start;
        const char* lf = static_cast<const char*>(memchr(line, '\n', size - start));
        size_t length = lf ? size_t(lf - line) : size - start;
        start += length + 1;
        if (length > 0 && line[length - 1] == '\r') --length;
        if (length == 0) continue;
        char* path = Copy(line, length);
        if (path) AddArgument(o, path, true, f, status, err);
        free(path);
    }
    free(text);
    if (f->count == before && *status == 0) {
        fprintf(err, "darvex-cli: -: the list names no log\n");
        Fail(status, kExitOpenFailed);
    }
}

void AddArgument(const CliOptions& o, const char* arg, bool listed, LogPaths* f, int* status, FILE* err) {
    if (!listed && strcmp(arg, "-") == 0) return AddStandardInput(o, f, status, err);
    if (!IsFolder(arg)) {
        if (!AddPath(f, arg, arg)) Fail(status, ReportFileFailure(kMsgOutOfMemory, arg, err));
        return;
    }
    f->several = true;
    const uint32_t start = f->count;
    FolderWalk w = {f, 0, 0, false};
    int id = ListFolder(arg, OnEntry, &w);
    if (id == 0) id = w.failure;
    if (w.full) id = kMsgOutOfMemory;
    if (id != 0) {
        Fail(status, ReportFileFailure(id, arg, err));
    } else if (f->count == start) {
        fprintf(err, "darvex-cli: %s: no event log file (*.EVT) in the folder\n", arg);
        Fail(status, kExitOpenFailed);
    }
    // The found paths as their bytes sort; the shown names are the same strings.
    qsort(f->paths + start, f->count - start, sizeof(char*), ComparePaths);
    memcpy(f->shown + start, f->paths + start, (f->count - start) * sizeof(char*));
}

constexpr uint64_t kStampMask = (uint64_t(1) << 56) - 1;

inline uint64_t TwoDigits(const char* p) { return uint64_t(p[0] - '0') * 10 + uint64_t(p[1] - '0'); }

// The stamp as the number yyyymmddhhmmss: its order is the stamps' order.
inline uint64_t StampKey(const EventEntry& e) {
    uint64_t k = TwoDigits(e.date) * 100 + TwoDigits(e.date + 2);
    k = k * 100 + TwoDigits(e.date + 5);
    k = k * 100 + TwoDigits(e.date + 8);
    k = k * 100 + TwoDigits(e.time);
    k = k * 100 + TwoDigits(e.time + 3);
    return k * 100 + TwoDigits(e.time + 6);
}

// The merge takes the least key first.
inline uint64_t KeyOf(const TimelineCursor& c, const Timeline& tl, uint32_t log, const EventEntry& e) {
    const uint64_t stamp = StampKey(e);
    const uint32_t order = c.newest ? kOrderNewestFirst : tl.order;
    if (order == kOrderOldestFirst) return stamp;
    if (order == kOrderNewestFirst) return kStampMask - stamp;
    return uint64_t(tl.logs[log].rows.rank[e.module & 7]) << 56 | (kStampMask - stamp);
}

inline bool Before(const TimelineCursor& c, uint32_t a, uint32_t b) {
    const uint64_t ka = c.keys[a], kb = c.keys[b];
    return (ka < kb) | ((ka == kb) & (a < b));   // no branch: which log wins is not foreseeable
}

constexpr uint64_t kNoRow = UINT64_MAX;   // no key is as large

// A tournament over the logs: leaf k + i is log i, each inner node keeps
// the loser of the match below it and tree[0] the winner. A log's new head
// plays only the matches on its way up, one comparison a level.
void Replay(TimelineCursor* c, uint32_t log, uint32_t n) {
    uint32_t winner = log;
    for (uint32_t node = (log + n) / 2; node >= 1; node /= 2) {
        const uint32_t other = c->tree[node];
        const bool lost = Before(*c, other, winner);
        c->tree[node] = lost ? winner : other;
        winner = lost ? other : winner;
    }
    c->tree[0] = winner;
}

void BuildTree(TimelineCursor* c, uint32_t n) {
    uint32_t* won = c->tree + n;   // room for the winners of the matches, 2n slots
    for (uint32_t i = 0; i < n; ++i) won[n + i] = i;
    for (uint32_t node = n - 1; node >= 1; --node) {
        const uint32_t a = won[2 * node], b = won[2 * node + 1];
        const bool aFirst = Before(*c, a, b);
        won[node] = aFirst ? a : b;
        c->tree[node] = aFirst ? b : a;
    }
    c->tree[0] = n > 1 ? won[1] : 0;
}

inline const EventEntry* Pull(TimelineCursor* c, const Timeline& tl, uint32_t log) {
    const LogRows& rows = tl.logs[log].rows;
    return c->heads[log] = c->newest ? NextNewestRow(&c->cursors[log], rows) : NextRow(&c->cursors[log], rows);
}

}  // namespace

// --dedupe: what tells an event from another of the same stamp.
struct DedupeKey {
    uint64_t hash;
    const uint8_t* record;
    char computer[sizeof(EventEntry::computer)];
    uint32_t computerLength;
    uint16_t type, component, module;
};

namespace {

uint64_t Hash(uint64_t h, const void* bytes, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < length; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    return h;
}

bool SameEvent(const DedupeKey& k, const EventEntry& e) {
    if (k.type != e.type || k.component != e.component || k.module != e.module) return false;
    if (k.computerLength != e.computerLength || memcmp(k.computer, e.computer, e.computerLength) != 0) return false;
    const uint16_t length = RecordDescriptionLength(e.record);
    return RecordDescriptionLength(k.record) == length &&
           memcmp(RecordDescription(k.record), RecordDescription(e.record), length) == 0;
}

// True when an event equal to e was shown already. Equal events have equal
// keys, which the merge brings together: only those of the current key are kept.
bool Seen(TimelineCursor* c, const EventEntry& e, uint64_t key) {
    if (c->seenCount == 0 || key != c->groupKey) c->seenCount = 0, c->groupKey = key;
    uint64_t h = Hash(0xcbf29ce484222325ull, e.computer, e.computerLength);
    const uint16_t codes[3] = {e.type, e.component, e.module};
    h = Hash(h, codes, sizeof codes);
    h = Hash(h, RecordDescription(e.record), RecordDescriptionLength(e.record));
    for (uint32_t i = 0; i < c->seenCount; ++i) {
        if (c->seen[i].hash == h && SameEvent(c->seen[i], e)) return true;
    }
    if (c->seenCount == c->seenRoom) {
        const uint32_t room = c->seenRoom ? 2 * c->seenRoom : 64;
        DedupeKey* grown = static_cast<DedupeKey*>(realloc(c->seen, room * sizeof(DedupeKey)));
        if (!grown) return false;   // shown again rather than not at all
        c->seen = grown;
        c->seenRoom = room;
    }
    DedupeKey& k = c->seen[c->seenCount++];
    k.hash = h;
    k.record = e.record;
    memcpy(k.computer, e.computer, sizeof k.computer);
    k.computerLength = e.computerLength;
    k.type = e.type;
    k.component = e.component;
    k.module = e.module;
    return false;
}

}  // namespace

void FindLogPaths(const CliOptions& o, LogPaths* f, int* status, FILE* err) {
    memset(f, 0, sizeof *f);
    *status = 0;
    f->several = o.fileCount > 1;
    for (int i = 0; i < o.fileCount; ++i) AddArgument(o, o.files[i], false, f, status, err);
}

void ReleaseLogPaths(LogPaths* f) {
    for (uint32_t i = 0; i < f->count; ++i) {
        if (f->shown[i] != f->paths[i]) free(f->shown[i]);
        free(f->paths[i]);
    }
    free(f->paths);
    free(f->shown);
    memset(f, 0, sizeof *f);
}

int OpenTimeline(const CliOptions& o, Timeline* tl, FILE* err) {
    memset(tl, 0, sizeof *tl);
    int status = 0;
    FindLogPaths(o, &tl->paths, &status, err);
    const LogPaths& found = tl->paths;
    tl->several = found.several;
    tl->dedupe = o.dedupe;
    tl->order = kOrderNewestFirst;
    if (found.count == 0) return status;
    tl->logs = static_cast<TimelineLog*>(calloc(found.count, sizeof(TimelineLog)));
    if (!tl->logs) return ReportFileFailure(kMsgOutOfMemory, found.shown[0], err);
    // Every log in the first one's order; -n counts the merged rows.
    CliOptions each = o;
    if (found.count > 1) each.last = UINT32_MAX;
    for (uint32_t i = 0; i < found.count; ++i) {
        TimelineLog& log = tl->logs[tl->count];
        log.path = found.paths[i];
        log.shown = found.shown[i];
        log.shownLength = uint32_t(strlen(log.shown));
        if (int id = OpenRowsAt(each, log.path, &log.state, &log.file, &log.rows)) {
            ReleaseRows(&log.rows, &log.file);
            if (log.state) ReleaseViewerState(log.state), free(log.state);
            const int failed = ReportFileFailure(id, log.shown, err);
            if (status == 0) status = failed;
            memset(&log, 0, sizeof log);
            continue;
        }
        if (tl->count++ == 0) each.order = tl->order = log.rows.order;
    }
    for (uint32_t i = 0; i < tl->count; ++i) tl->logs[i].rows.merged = tl->count > 1;
    if (found.count > 1 && o.last != UINT32_MAX && tl->count > 0) {
        // The newest N of the merged rows: how many of each log's rows the
        // newest-first merge takes up to its Nth row.
        TimelineCursor c;
        if (StartTimeline(&c, *tl, true) != 0) return ReportFileFailure(kMsgOutOfMemory, found.shown[0], err);
        uint32_t shown = 0;
        while (shown < o.last && NextEvent(&c, *tl)) ++shown;
        for (uint32_t i = 0; i < tl->count; ++i) {
            const uint32_t taken = c.cursors[i].row - (c.heads[i] && (shown == 0 || i != c.source) ? 1 : 0);
            KeepNewestRows(&tl->logs[i].rows, shown < o.last ? UINT32_MAX : taken);
        }
        EndTimeline(&c);
    }
    return status;
}

void ReleaseTimeline(Timeline* tl) {
    for (uint32_t i = 0; i < tl->count; ++i) {
        TimelineLog& log = tl->logs[i];
        ReleaseRows(&log.rows, &log.file);
        if (log.state) ReleaseViewerState(log.state), free(log.state);
    }
    free(tl->logs);
    ReleaseLogPaths(&tl->paths);
    memset(tl, 0, sizeof *tl);
}

int TimelineLogCodePage(const void* source, uint32_t log, FILE* notes) {
    TimelineLog& l = static_cast<const Timeline*>(source)->logs[log];
    if (l.codePage == 0) {
        CodePageVotes votes = {};
        CountLogTexts(l.rows, &votes);
        l.codePage = GuessCodePage(votes, notes, l.shown);
        if (l.codePage == 0) l.codePage = -1;
    }
    return l.codePage > 0 ? l.codePage : 1252;
}

int StartTimeline(TimelineCursor* c, const Timeline& tl, bool newest) {
    memset(c, 0, sizeof *c);
    c->newest = newest;
    const uint32_t n = tl.count ? tl.count : 1;
    c->cursors = static_cast<RowCursor*>(calloc(n, sizeof(RowCursor)));
    c->heads = static_cast<const EventEntry**>(calloc(n, sizeof(EventEntry*)));
    c->keys = static_cast<uint64_t*>(calloc(n, sizeof(uint64_t)));
    c->tree = static_cast<uint32_t*>(calloc(3 * size_t(n), sizeof(uint32_t)));
    if (!c->cursors || !c->heads || !c->keys || !c->tree) {
        EndTimeline(c);
        return kExitNoMemory;
    }
    for (uint32_t i = 0; i < tl.count; ++i) StartRows(&c->cursors[i], tl.logs[i].rows);
    return 0;
}

void EndTimeline(TimelineCursor* c) {
    free(c->cursors);
    free(c->heads);
    free(c->keys);
    free(c->tree);
    free(c->seen);
    memset(c, 0, sizeof *c);
}

const EventEntry* NextEvent(TimelineCursor* c, const Timeline& tl) {
    if (tl.count == 1 && !tl.dedupe) {   // one log: its own rows
        const EventEntry* e = Pull(c, tl, 0);
        c->row = c->cursors[0].row;
        return e;
    }
    const uint32_t n = tl.count;
    if (n == 0) return nullptr;
    if (!c->started) {
        c->started = true;
        for (uint32_t i = 0; i < n; ++i) {
            const EventEntry* e = Pull(c, tl, i);
            c->keys[i] = e ? KeyOf(*c, tl, i, *e) : kNoRow;
        }
        BuildTree(c, n);
    } else {
        // The log of the row returned last moves on only now: its cursor held that row.
        const uint32_t last = c->tree[0];
        const EventEntry* e = Pull(c, tl, last);
        c->keys[last] = e ? KeyOf(*c, tl, last, *e) : kNoRow;
        Replay(c, last, n);
    }
    for (;;) {
        const uint32_t log = c->tree[0];
        if (c->keys[log] == kNoRow) return nullptr;
        const EventEntry* e = c->heads[log];
        if (!tl.dedupe || !Seen(c, *e, c->keys[log])) {
            c->source = log;
            ++c->row;
            return e;
        }
        const EventEntry* next = Pull(c, tl, log);
        c->keys[log] = next ? KeyOf(*c, tl, log, *next) : kNoRow;
        Replay(c, log, n);
    }
}

uint32_t CountTimelineRows(const Timeline& tl) {
    uint32_t n = 0;
    if (!tl.dedupe) {
        for (uint32_t i = 0; i < tl.count; ++i) n += CountRows(tl.logs[i].rows);
        return n;
    }
    TimelineCursor c;
    if (StartTimeline(&c, tl) != 0) return 0;
    while (NextEvent(&c, tl)) ++n;
    EndTimeline(&c);
    return n;
}

const EventEntry* TimelineRowAt(TimelineCursor* c, const Timeline& tl, uint32_t row) {
    if (tl.count == 1 && !tl.dedupe) {
        c->source = 0;
        const EventEntry* e = RowAt(&c->cursors[0], tl.logs[0].rows, row);
        c->row = row + 1;
        return e;
    }
    const EventEntry* e = nullptr;
    while ((e = NextEvent(c, tl)) != nullptr && c->row <= row) {}
    return e;
}
