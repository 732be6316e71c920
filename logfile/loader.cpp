#include "logfile/loader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "logfile/chain_walk.h"

namespace {

const uint16_t kFailureGrays[] = {103, 102, 101, 104, 111, 110, 115, 116, 117};

// Two ASCII digits for 0..99, so a million entries need no printf.
struct DigitPairs {
    char pairs[200];
    DigitPairs() {
        for (int i = 0; i < 100; ++i) {
            pairs[2 * i] = char('0' + i / 10);
            pairs[2 * i + 1] = char('0' + i % 10);
        }
    }
};
const DigitPairs kDigits;

inline void PutTwo(char* out, unsigned v) { memcpy(out, kDigits.pairs + 2 * (v % 100), 2); }

// A field wider than its slot keeps its low digits: the texts stay fixed-width,
// which the stamp comparisons and the date editing rely on.
inline void PutFour(char* out, unsigned v) {
    v %= 10000;
    PutTwo(out, v / 100);
    PutTwo(out + 2, v % 100);
}

void FailureOutcome(ViewerState* state, UiEffects* fx) {
    ReleaseEventTable(&state->table);
    memset(&state->file.currentHeader, 0, sizeof state->file.currentHeader);
    fx->resetList = true;
    AddMenuChanges(fx, kFailureGrays, int(sizeof kFailureGrays / sizeof kFailureGrays[0]), kMenuGray);
    state->file.path[0] = '\0';
    state->file.isLive = 0;
    state->file.sourceIndex = -1;
    state->file.identity = FileIdentity{};
}

void TakeOrderAndFlag(ViewerState* state) {
    state->sortOrder = state->liveHeaderCopy.conditions.sortOrder;
    state->saveSettings = state->liveHeaderCopy.conditions.conditionsSaved;
}

void EmptyLogOutcome(ViewerState* state, UiEffects* fx) {
    // Nothing of the previous log can be shown any more: give its memory back.
    ReleaseEventTable(&state->table);
    char text[kStatusTextSize];
    FormatEventCount(0, text);
    if (!state->file.isLive) {
        AddMenuChange(fx, 103, kMenuGray);
        SetStatusText(fx, 1, g_viewTexts.writeProhibit);
    } else {
        AddMenuChange(fx, 103, kMenuEnable);
        state->liveHeaderCopy = state->file.currentHeader;
    }
    TakeOrderAndFlag(state);
    SetStatusText(fx, 0, text);
    state->viewMode = kViewAllEvents;
    fx->resetList = true;
    AddMenuChange(fx, 101, kMenuEnable);
    AddMenuChange(fx, 117, kMenuEnable);
    const uint16_t grays[] = {104, 102, 111, 110, 115, 116};
    AddMenuChanges(fx, grays, 6, kMenuGray);
}

bool ReadFully(LogReader* reader, uint8_t* buffer, uint32_t size, int* error) {
    while (size > 0) {
        uint32_t got = 0;
        if (!reader->read(reader->context, buffer, size, &got) || got == 0 || got > size) {
            *error = kMsgReadFailed;
            return false;
        }
        buffer += got;
        size -= got;
    }
    return true;
}

// Reads the record area into a new block. When the reader cannot tell the
// file size the header's area size is only a promise, so the block grows with
// the bytes that actually arrive instead of being allocated whole up front.
uint8_t* ReadRecordArea(LogReader* reader, uint32_t areaSize, int* error) {
    if (reader->fileSize != UINT64_MAX) {
        uint8_t* area = static_cast<uint8_t*>(malloc(areaSize ? areaSize : 1));
        if (!area) {
            *error = kMsgOutOfMemory;
            return nullptr;
        }
        if (!ReadFully(reader, area, areaSize, error)) {
            free(area);
            return nullptr;
        }
        return area;
    }
    const uint32_t kFirstStep = 1u << 20;
    uint32_t capacity = areaSize < kFirstStep ? areaSize : kFirstStep;
    uint8_t* area = static_cast<uint8_t*>(malloc(capacity ? capacity : 1));
    uint32_t have = 0;
    while (area) {
        if (!ReadFully(reader, area + have, capacity - have, error)) break;
        have = capacity;
        if (have == areaSize) return area;
        capacity = areaSize - capacity < capacity ? areaSize : capacity * 2;
        uint8_t* grown = static_cast<uint8_t*>(realloc(area, capacity));
        if (!grown) {
            *error = kMsgOutOfMemory;
            break;
        }
        area = grown;
    }
    if (!area) *error = kMsgOutOfMemory;
    free(area);
    return nullptr;
}

// The header's computer name as every entry carries it: a 16-byte name
// without a zero byte is shown as its 16 bytes.
struct ComputerText {
    char text[sizeof(EventEntry::computer)];
    uint32_t length;
};

ComputerText MakeComputerText(const LogHeader& header) {
    ComputerText c = {};
    while (c.length < kComputerNameSize && header.computerName[c.length] != 0) ++c.length;
    memcpy(c.text, header.computerName, c.length);
    return c;
}

void FillEntry(const uint8_t* r, const ComputerText& computer, EventEntry* e) {
    ClassifyModuleCode(RecordModuleCode(r), &e->component, &e->module);
    PutFour(e->date, GetU16(r + 4));
    e->date[4] = '/';
    PutTwo(e->date + 5, GetU16(r + 6));
    e->date[7] = '/';
    PutTwo(e->date + 8, GetU16(r + 10));
    e->date[10] = '\0';
    PutTwo(e->time, GetU16(r + 12));
    e->time[2] = ':';
    PutTwo(e->time + 3, GetU16(r + 14));
    e->time[5] = ':';
    PutTwo(e->time + 6, GetU16(r + 16));
    e->time[8] = '\0';
    memcpy(e->computer, computer.text, sizeof e->computer);
    e->computerLength = computer.length;
    e->type = RecordType(r);
    e->record = r;
    e->visible = 1;
}

// Each step depends only on the record it leaves, so a chain that comes back
// to a record repeats itself from there on and ends on a record it has
// already taken: comparing the newest record with the others finds every
// revisit.
bool NewestIsRevisit(const EventTable& t, uint32_t count) {
    const uint8_t* newest = t.entries[0].record;
    for (uint32_t k = 1; k < count; ++k) {
        if (t.entries[k].record == newest) return true;
    }
    return false;
}

// Walks the chain from the oldest record, building entries newest-first.
// Returns 0 or kMsgCorrupted.
int WalkChain(ViewerState* state) {
    EventTable& t = state->table;
    const LogHeader& h = state->file.currentHeader;
    const ComputerText computer = MakeComputerText(h);
    bool unusual = false;
    const int walked = WalkRecordChain(h, t.recordArea, t.recordAreaSize, &unusual, [&](uint32_t k, const uint8_t* r) {
        t.fileOrder[k] = &t.entries[k];
        FillEntry(r, computer, &t.entries[k]);
    });
    if (!walked || (unusual && NewestIsRevisit(t, h.recordCount))) return kMsgCorrupted;
    return 0;
}

int StdioOpen(void*, const char* path, LogReader* reader) {
    FILE* f = fopen(path, "rb");
    if (f == nullptr) return errno == EACCES ? kMsgAccessDenied : kMsgOpenFailed;
    reader->context = f;
    reader->fileSize = UINT64_MAX;
    if (fseek(f, 0, SEEK_END) == 0) {
        long long end = ftello(f);
        if (end >= 0) reader->fileSize = uint64_t(end);
    }
    fseek(f, 0, SEEK_SET);
    reader->read = [](void* ctx, uint8_t* buffer, uint32_t size, uint32_t* got) -> int {
        FILE* file = static_cast<FILE*>(ctx);
        size_t n = fread(buffer, 1, size, file);
        *got = uint32_t(n);
        return n == size || !ferror(file);
    };
    return 0;
}

void StdioClose(void*, LogReader* reader) {
    if (reader->context) fclose(static_cast<FILE*>(reader->context));
    reader->context = nullptr;
}

const LogOpener kStdioOpener = {nullptr, StdioOpen, StdioClose};

}  // namespace

const LogOpener* StdioLogOpener() { return &kStdioOpener; }

void IdentifySource(OpenFileState* file, const AnsiCodePage& page) {
    UpperCaseAsciiLetters(page, file->path);
    file->sourceIndex = FindLogSource(file->path, page);
    file->isLive = file->sourceIndex >= 0 ? 1 : 0;
}

void EntryStamp(const EventEntry& e, char stamp[18]) {
    memcpy(stamp, e.date, 10);
    memcpy(stamp + 10, e.time, 8);
}

void BuildEntry(const uint8_t* r, const LogHeader& header, EventEntry* e) {
    FillEntry(r, MakeComputerText(header), e);
}

uint32_t DecideViewMode(const ViewConditions& c) {
    bool defaults = c.errorType == kTypeError && c.warningType == kTypeWarning &&
                    c.informationType == kTypeInformation && c.fromIsStamp == 0 &&
                    c.throughIsStamp == 0 && c.componentIndex == 0 && c.moduleIndex == 0;
    return defaults ? kViewAllEvents : kViewFiltered;
}

int LoadLogFromReader(ViewerState* state, LogReader* reader, UiEffects* fx) {
    uint8_t bytes[kHeaderSize];
    uint32_t got = 0;
    uint32_t total = 0;
    // A short header is corrupt, a failed read is a read failure.
    while (total < kHeaderSize) {
        if (!reader->read(reader->context, bytes + total, kHeaderSize - total, &got)) {
            FailureOutcome(state, fx);
            return kMsgReadFailed;
        }
        if (got == 0) break;
        total += got;
    }
    if (total < kHeaderSize || !IsKnownMagic(bytes)) {
        FailureOutcome(state, fx);
        return kMsgCorrupted;
    }
    LogHeader& h = state->file.currentHeader;
    ReadLogHeader(bytes, &h);
    if (h.recordCount == 0) {
        EmptyLogOutcome(state, fx);
        return 0;
    }

    ReleaseEventTable(&state->table);
    EventTable& t = state->table;
    const uint32_t areaSize = uint32_t(h.recordAreaEnd - h.recordAreaStart);
    // Check the header's promises against the file before trusting them with memory.
    if (reader->fileSize != UINT64_MAX && uint64_t(kHeaderSize) + areaSize > reader->fileSize) {
        FailureOutcome(state, fx);
        return kMsgReadFailed;
    }
    if (h.recordCount > areaSize / kRecordFixedSize) {
        FailureOutcome(state, fx);
        return kMsgCorrupted;
    }
    // The area first: the per-record blocks are sized by recordCount, which is
    // only believed once the bytes it is checked against have arrived.
    int error = 0;
    t.recordArea = ReadRecordArea(reader, areaSize, &error);
    if (!t.recordArea) {
        FailureOutcome(state, fx);
        return error;
    }
    t.recordAreaSize = areaSize;
    const size_t n = h.recordCount;
    // calloc hands back zeroed pages without touching them first.
    t.entries = static_cast<EventEntry*>(calloc(n, sizeof(EventEntry)));
    t.displayOrder = static_cast<EventEntry**>(malloc(n * sizeof(EventEntry*)));
    t.fileOrder = static_cast<EventEntry**>(malloc(n * sizeof(EventEntry*)));
    t.visibleRows = static_cast<EventEntry**>(malloc(n * sizeof(EventEntry*)));
    if (!t.entries || !t.displayOrder || !t.fileOrder || !t.visibleRows) {
        FailureOutcome(state, fx);
        return kMsgOutOfMemory;
    }
    if (int walk = WalkChain(state)) {
        FailureOutcome(state, fx);
        return walk;
    }
    // displayOrder starts as newest first so that it is always a valid order;
    // the rows stay empty until the list is filled after ordering.
    memcpy(t.displayOrder, t.fileOrder, n * sizeof(EventEntry*));
    t.visibleCount = 0;
    t.loadedCount = h.recordCount;
    state->shownCount = h.recordCount;

    EntryStamp(t.entries[n - 1], state->range.firstEvent);
    EntryStamp(t.entries[n - 1], state->range.from);
    EntryStamp(t.entries[0], state->range.lastEvent);
    EntryStamp(t.entries[0], state->range.through);

    const uint16_t enables[] = {101, 104, 111, 110, 115, 116, 117};
    AddMenuChanges(fx, enables, 7, kMenuEnable);
    char text[kStatusTextSize];
    FormatEventCount(t.loadedCount, text);
    if (!state->file.isLive) {
        SetStatusText(fx, 1, g_viewTexts.writeProhibit);
        AddMenuChange(fx, 102, kMenuGray);
        AddMenuChange(fx, 103, kMenuGray);
    } else {
        AddMenuChange(fx, 103, kMenuEnable);
        AddMenuChange(fx, 102, kMenuEnable);
        state->liveHeaderCopy = h;
    }
    TakeOrderAndFlag(state);
    SetStatusText(fx, 0, text);
    state->conditions = state->liveHeaderCopy.conditions;
    state->viewMode = DecideViewMode(state->conditions);
    return 0;
}

int LoadLog(ViewerState* state, const LogOpener* opener, UiEffects* fx) {
    // The file is opened by the name as given: the upper-cased copy that the
    // title and the live operations use names the same file on Windows, but
    // not on the case-sensitive file systems the tools also run on.
    char openPath[kPathSize];
    memcpy(openPath, state->file.path, sizeof openPath);
    openPath[kPathSize - 1] = '\0';
    IdentifySource(&state->file, *state->codePage);
    const uint16_t unchecks[] = {112, 113, 114, 120};
    AddMenuChanges(fx, unchecks, 4, kMenuUncheck);
    fx->resetList = true;
    SetStatusText(fx, 1, "");
    SetStatusText(fx, 2, "");
    state->table.loadedCount = 0;
    state->table.visibleCount = 0;

    LogReader reader = {};
    int result = opener->open(opener->context, openPath, &reader);
    if (result != 0) {
        FailureOutcome(state, fx);
        return result;
    }
    result = LoadLogFromReader(state, &reader, fx);
    opener->close(opener->context, &reader);
    return result;
}
