#include "cli/cli_stream.h"

#include <cstdlib>
#include <cstring>

#include "cli/cli_run.h"
#include "eventlist/ordering.h"
#include "logfile/chain_walk.h"
#include "logfile/loader.h"

bool g_cliMapsFiles = true;

ViewConditions OptionConditions(const CliOptions& o, const ViewConditions& saved, bool* filtered) {
    ViewConditions c = saved;
    if (o.fromGiven) c.fromIsStamp = 1;
    if (o.throughGiven) c.throughIsStamp = 1;
    if (o.typesGiven) {
        c.errorType = o.types[0];
        c.warningType = o.types[1];
        c.informationType = o.types[2];
    }
    if (o.componentGiven) c.componentIndex = o.componentIndex;
    if (o.moduleGiven) c.moduleIndex = o.moduleIndex;
    *filtered = o.fromGiven || o.throughGiven || o.typesGiven || o.componentGiven || o.moduleGiven ||
                DecideViewMode(c) == kViewFiltered;
    return c;
}

namespace {

// The file as DARVEX loads it. The conditions a load takes from a live log's
// header are the defaults here unless --saved asks for the file's own.
// The viewer's copy of the path (what tells a live log) holds kPathSize - 1
// bytes: a longer path leaves there its file name; the file opens by the whole.
int LoadForCli(const char* path, ViewerState* state) {
    const char* kept = path;
    if (strlen(path) >= size_t(kPathSize)) {
        for (const char* p = path; *p; ++p) {
            if (*p == '/' || *p == '\\') kept = p + 1;
        }
        const size_t n = strlen(kept);
        if (n >= size_t(kPathSize)) kept += n - (kPathSize - 1);
    }
    snprintf(state->file.path, sizeof state->file.path, "%s", kept);
    UiEffects fx;
    ClearEffects(&fx);
    const LogOpener opener = CliLogOpener(path);
    return LoadLog(state, &opener, &fx);
}

// The order and the conditions the options choose (the file's saved ones
// with --saved), and whether the view is filtered: any filter option makes
// it filtered, as the Filter dialog's OK does. The range's bounds start as
// the load leaves them, the oldest and the newest event's stamps.
void ChooseConditions(const CliOptions& o, LogRows* rows) {
    const ViewConditions& saved = rows->header.conditions;
    rows->order = o.order ? o.order : o.saved ? RestoredOrder(saved.sortOrder) : kOrderNewestFirst;
    if (o.fromGiven) memcpy(rows->range.from, o.from, kStampSize);
    if (o.throughGiven) memcpy(rows->range.through, o.through, kStampSize);
    rows->conditions = OptionConditions(o, o.saved ? saved : DefaultViewConditions(), &rows->filtered);
}

// The loaded table's rows: its order, then all events or the filter as the
// reload applies it.
void ChooseTableRows(const CliOptions& o, ViewerState* state, LogRows* rows) {
    EventTable* t = &state->table;
    rows->loaded = state;
    rows->header = state->file.currentHeader;
    rows->count = t->loadedCount;
    rows->range = state->range;
    ChooseConditions(o, rows);
    state->conditions = rows->conditions;
    state->range = rows->range;
    if (t->loadedCount == 0) return;
    OrderEvents(t, rows->order);
    state->sortOrder = rows->order;
    UiEffects fx;
    ClearEffects(&fx);
    if (rows->filtered) {
        state->viewMode = kViewFiltered;
        ApplyFilter(state, &fx);
    } else {
        state->viewMode = kViewAllEvents;
        for (uint32_t i = 0; i < t->loadedCount; ++i) t->entries[i].visible = 1;
        BuildVisibleRows(t);
    }
    KeepNewestRows(rows, o.last);
}

// The loader's walk from the oldest record, keeping positions newest-first.
// Returns 0 or kMsgCorrupted, for the loader's reasons.
int WalkPositions(const LogHeader& h, const uint8_t* area, uint64_t size, uint32_t* positions) {
    bool unusual = false;
    const int walked = WalkRecordChain(h, area, size, &unusual, [&](uint32_t k, const uint8_t* r) {
        positions[k] = uint32_t(r - area);
    });
    if (!walked) return kMsgCorrupted;
    if (unusual) {
        // A chain that comes back to a record repeats itself and ends on one it has taken.
        for (uint32_t k = 1; k < h.recordCount; ++k) {
            if (positions[k] == positions[0]) return kMsgCorrupted;
        }
    }
    return 0;
}

// The load's acceptance of a mapped file, step by step as LoadLogFromReader
// takes a file whose size it knows.
int WalkMapped(const MappedFile& file, LogRows* rows) {
    if (file.size < kHeaderSize || !IsKnownMagic(file.bytes)) return kMsgCorrupted;
    LogHeader& h = rows->header;
    ReadLogHeader(file.bytes, &h);
    if (h.recordCount == 0) return 0;
    const uint32_t areaSize = uint32_t(h.recordAreaEnd - h.recordAreaStart);
    if (uint64_t(kHeaderSize) + areaSize > file.size) return kMsgReadFailed;
    if (h.recordCount > areaSize / kRecordFixedSize) return kMsgCorrupted;
    rows->positions = static_cast<uint32_t*>(malloc(size_t(h.recordCount) * sizeof(uint32_t)));
    if (!rows->positions) return kMsgOutOfMemory;
    rows->area = file.bytes + kRecordAreaStart;
    if (int walk = WalkPositions(h, rows->area, areaSize, rows->positions)) return walk;
    rows->count = h.recordCount;
    return 0;
}

// How far ahead of a backward pass its records are asked for.
constexpr uint32_t kAhead = 16;

inline const uint8_t* RecordAt(const LogRows& rows, uint32_t slot) { return rows.area + rows.positions[slot]; }

// A record asked for ahead: its fixed part and the description's start, which
// may lie on the next lines (a merge of many logs leaves the processor no
// pattern of its own to fetch by).
inline void FetchRecord(const LogRows& rows, uint32_t slot) {
    const uint8_t* r = RecordAt(rows, slot);
    __builtin_prefetch(r);
    if (!rows.merged) return;
    __builtin_prefetch(r + 64);
    __builtin_prefetch(r + 128);
}

// The slot's event decoded, when it is a row (before -n is applied).
inline bool Visible(const LogRows& rows, uint32_t slot, EventEntry* e) {
    BuildEntry(RecordAt(rows, slot), rows.header, e);
    return !rows.filtered || EntryPassesFilter(*e, rows.conditions, rows.range);
}

inline int RankOf(const LogRows& rows, uint32_t slot) {
    if (rows.ranks) return (rows.ranks[slot / 2] >> (slot % 2 * 4)) & 15;
    uint16_t component, module;
    ClassifyModuleCode(RecordModuleCode(RecordAt(rows, slot)), &component, &module);
    return rows.rank[module & 7];
}

// The mapped rows' choice: the conditions, the module ranks of the module
// order as OrderEvents ranks them, and -n's newest N rows as slots.
void ChooseMappedRows(const CliOptions& o, LogRows* rows) {
    if (rows->count != 0) {
        EventEntry e;
        BuildEntry(RecordAt(*rows, rows->count - 1), rows->header, &e);
        EntryStamp(e, rows->range.firstEvent);
        EntryStamp(e, rows->range.from);
        BuildEntry(RecordAt(*rows, 0), rows->header, &e);
        EntryStamp(e, rows->range.lastEvent);
        EntryStamp(e, rows->range.through);
    }
    ChooseConditions(o, rows);
    constexpr int kCodes = kModuleNameCount - 1;
    for (int c = 0; c < kCodes; ++c) {
        rows->rank[c] = 0;
        for (int d = 0; d < kCodes; ++d) {
            if (CompareModuleNames(ModuleName(uint16_t(d)), ModuleName(uint16_t(c))) < 0) ++rows->rank[c];
        }
    }
    // One pass over the records for the ranks, rather than one a rank; half a
    // byte an event (when that memory is short, each pass reads the records).
    if (rows->order != kOrderNewestFirst && rows->order != kOrderOldestFirst && rows->count != 0) {
        uint8_t* ranks = static_cast<uint8_t*>(calloc(rows->count / 2 + 1, 1));
        for (uint32_t slot = 0; ranks && slot < rows->count; ++slot) {
            ranks[slot / 2] = uint8_t(ranks[slot / 2] | RankOf(*rows, slot) << (slot % 2 * 4));
        }
        rows->ranks = ranks;
    }
    rows->slotLimit = rows->count;
    KeepNewestRows(rows, o.last);
}

// The code-page guess's count of the mapped texts: every description as the
// table's pass counts it, and the computer name, which every event carries
// alike, once for all of them.
void CountMappedTexts(const void* source, CodePageVotes* votes) {
    const LogRows& rows = *static_cast<const LogRows*>(source);
    if (rows.loaded) {   // the table's texts, as the output counts a table
        const EventTable& table = rows.loaded->table;
        for (uint32_t i = 0; i < table.loadedCount; ++i) {
            const EventEntry& e = table.entries[i];
            const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
            CountText(votes, text, RecordDescriptionLength(e.record) ? strlen(text) : 0);
            CountText(votes, e.computer, e.computerLength);
        }
        return;
    }
    for (uint32_t slot = 0; slot < rows.count; ++slot) {
        if (slot + kAhead < rows.count) {   // newest first runs backwards through the area
            const uint8_t* next = RecordAt(rows, slot + kAhead);
            __builtin_prefetch(next);
            __builtin_prefetch(next + 64);
        }
        const uint8_t* r = RecordAt(rows, slot);
        const uint32_t length = RecordDescriptionLength(r);
        if (length == 0) continue;
        const char* text = reinterpret_cast<const char*>(RecordDescription(r));
        // Only a text with a byte above 0x7F counts: find the first such byte or the zero byte.
        const size_t plain = PlainPrefix(text, length);
        // The bytes before it count for nothing.
        if (plain < length && text[plain] != 0) CountText(votes, text + plain, strlen(text + plain));
    }
    if (rows.count == 0) return;
    CodePageVotes one = {};
    EventEntry e;
    BuildEntry(RecordAt(rows, 0), rows.header, &e);
    CountText(&one, e.computer, e.computerLength);
    votes->shiftJis += one.shiftJis * rows.count;
    votes->notShiftJis += one.notShiftJis * rows.count;
    votes->otherHigh += one.otherHigh * rows.count;
}

}  // namespace

int OpenRows(const CliOptions& o, ViewerState* state, MappedFile* file, LogRows* rows) {
    return OpenRowsAt(o, o.file, &state, file, rows);
}

int OpenRowsAt(const CliOptions& o, const char* path, ViewerState** state, MappedFile* file, LogRows* rows) {
    memset(rows, 0, sizeof *rows);
    memset(file, 0, sizeof *file);
    int id = g_cliMapsFiles ? MapLogFile(path, file) : -1;
    if (id == 0) {
        id = WalkMapped(*file, rows);
        if (id == 0) ChooseMappedRows(o, rows);
        return id;
    }
    if (id != -1) return id;
    if (!*state) {
        *state = static_cast<ViewerState*>(malloc(sizeof(ViewerState)));
        if (!*state) return kMsgOutOfMemory;
        InitViewerState(*state);
    }
    if ((id = LoadForCli(path, *state)) != 0) return id;
    ChooseTableRows(o, *state, rows);
    return 0;
}

void KeepNewestRows(LogRows* rows, uint32_t last) {
    if (!rows->loaded) {
        if (last >= rows->count) return;
        rows->slotLimit = 0;
        EventEntry e;
        for (uint32_t slot = 0, seen = 0; slot < rows->count && seen < last; ++slot) {
            if (Visible(*rows, slot, &e)) ++seen, rows->slotLimit = slot + 1;
        }
        return;
    }
    // -n: the newest N of the rows, as tail and journalctl keep the newest,
    // in the order chosen. Marked from the newest end of the file's order,
    // then the rows keep their places.
    EventTable* t = &const_cast<ViewerState*>(rows->loaded)->table;
    if (last >= t->visibleCount) return;
    uint32_t marked = 0;
    for (uint32_t i = 0; i < t->loadedCount && marked < last; ++i) {
        EventEntry* e = t->fileOrder[i];
        if (e->visible == 0) continue;
        e->visible = 2;
        ++marked;
    }
    uint32_t kept = 0;
    for (uint32_t i = 0; i < t->visibleCount; ++i) {
        EventEntry* e = t->visibleRows[i];
        if (e->visible == 2) t->visibleRows[kept++] = e;
    }
    for (uint32_t i = 0; i < t->loadedCount; ++i) t->entries[i].visible = t->entries[i].visible == 2 ? 1 : 0;
    t->visibleCount = kept;
}

const EventEntry* NextNewestRow(RowCursor* c, const LogRows& rows) {
    if (rows.loaded) {
        const EventTable& t = rows.loaded->table;
        while (c->slot < t.loadedCount) {
            const EventEntry* e = t.fileOrder[c->slot++];
            if (e->visible) return ++c->row, e;
        }
        return nullptr;
    }
    while (c->slot < rows.slotLimit) {
        if (c->slot + kAhead < rows.slotLimit) FetchRecord(rows, c->slot + kAhead);
        if (Visible(rows, c->slot++, &c->entry)) return ++c->row, &c->entry;
    }
    return nullptr;
}

void CountLogTexts(const LogRows& rows, CodePageVotes* votes) { CountMappedTexts(&rows, votes); }

void ReleaseRows(LogRows* rows, MappedFile* file) {
    free(rows->positions);
    free(rows->ranks);
    rows->positions = nullptr;
    rows->ranks = nullptr;
    UnmapLogFile(file);
}

void CountTextsOf(CliOutput* out, const LogRows& rows) {
    if (!rows.loaded) SetTextSource(out, CountMappedTexts, &rows);
}

const EventEntry* EventAt(const LogRows& rows, uint32_t slot, EventEntry* scratch) {
    if (rows.loaded) return rows.loaded->table.fileOrder[slot];
    BuildEntry(RecordAt(rows, slot), rows.header, scratch);
    return scratch;
}

void StartRows(RowCursor* c, const LogRows& rows) {
    c->row = 0;
    c->slot = 0;
    c->rank = 0;
    c->ahead = 0;
    c->queued = 0;
    (void)rows;
}

const EventEntry* NextRow(RowCursor* c, const LogRows& rows) {
    if (rows.loaded) {
        const EventTable& t = rows.loaded->table;
        return c->row < t.visibleCount ? t.visibleRows[c->row++] : nullptr;
    }
    const uint32_t limit = rows.slotLimit;
    if (rows.order == kOrderNewestFirst) {
        while (c->slot < limit) {
                if (c->slot + kAhead < limit) FetchRecord(rows, c->slot + kAhead);
            if (Visible(rows, c->slot++, &c->entry)) return ++c->row, &c->entry;
        }
        return nullptr;
    }
    if (rows.order == kOrderOldestFirst) {
        while (c->slot < limit) {
            if (rows.merged && c->slot + kAhead < limit) FetchRecord(rows, limit - 1 - (c->slot + kAhead));
            if (Visible(rows, limit - 1 - c->slot++, &c->entry)) return ++c->row, &c->entry;
        }
        return nullptr;
    }
    // By module name: one pass over the slots, newest first, for each rank.
    for (; c->rank < kModuleNameCount - 1; ++c->rank, c->slot = 0, c->ahead = 0) {
        if (!memchr(rows.rank, c->rank, sizeof rows.rank)) continue;   // codes of one name share a rank
        while (c->slot < limit) {
            const uint32_t slot = c->slot++;
            if (RankOf(rows, slot) != c->rank) continue;
            // The records of this rank lie apart, which the processor does not
            // foresee: the next eight are asked for before this one is decoded.
            if (rows.ranks) {
                if (c->ahead <= slot) c->ahead = slot + 1, c->queued = 0;
                if (c->queued > 0) --c->queued;
                for (; c->queued < 8 && c->ahead < limit; ++c->ahead) {
                    if (RankOf(rows, c->ahead) != c->rank) continue;
                    __builtin_prefetch(RecordAt(rows, c->ahead));
                    ++c->queued;
                }
            }
            if (Visible(rows, slot, &c->entry)) return ++c->row, &c->entry;
        }
    }
    return nullptr;
}

uint32_t CountRows(const LogRows& rows) {
    if (rows.loaded) return rows.loaded->table.visibleCount;
    if (!rows.filtered) return rows.slotLimit;
    uint32_t n = 0;
    EventEntry e;
    for (uint32_t slot = 0; slot < rows.slotLimit; ++slot) n += Visible(rows, slot, &e);
    return n;
}

const EventEntry* RowAt(RowCursor* c, const LogRows& rows, uint32_t row) {
    // Unfiltered in time order, the row is the slot.
    const bool timeOrder = rows.order == kOrderNewestFirst || rows.order == kOrderOldestFirst;
    if (!rows.loaded && !rows.filtered && timeOrder && row < rows.slotLimit) {
        const uint32_t slot = rows.order == kOrderNewestFirst ? row : rows.slotLimit - 1 - row;
        BuildEntry(RecordAt(rows, slot), rows.header, &c->entry);
        return &c->entry;
    }
    StartRows(c, rows);
    const EventEntry* e = nullptr;
    while ((e = NextRow(c, rows)) != nullptr && c->row <= row) {}
    return e;
}

int WalkLog(const MappedFile& file, LogRows* rows) {
    memset(rows, 0, sizeof *rows);
    return WalkMapped(file, rows);
}
