// Fuzz target for the loader and what reads its table. Input: a flag byte, then the file. Flags: 1 size
// reported, 2 reads of 7 + 13 * (flags >> 4) bytes, 4 a live path (its saved conditions filter), 8 reads
// fail past the middle, 16 Shift-JIS. DARVEX_FUZZ_REPLAY replays a directory.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/viewer_state.h"
#include "dialogs/event_detail.h"
#include "dialogs/find.h"
#include "eventlist/filter.h"
#include "eventlist/ordering.h"
#include "logfile/loader.h"

namespace {

unsigned g_loadsSucceeded = 0;   // the replay shows the seeds still reach past the loader

struct FuzzReader {
    const uint8_t* bytes;
    size_t size, position, chunk, failAt;
};

int FuzzRead(void* context, uint8_t* buffer, uint32_t size, uint32_t* got) {
    FuzzReader* r = static_cast<FuzzReader*>(context);
    const size_t n = std::min({size_t(size), r->chunk, r->size - r->position});
    if (r->position + n > r->failAt) return *got = 0, 0;
    if (n) memcpy(buffer, r->bytes + r->position, n);
    r->position += n;
    *got = uint32_t(n);
    return 1;
}

// A broken invariant is a bug even when no sanitizer notices it.
void Check(bool condition, const char* what) {
    if (!condition) fprintf(stderr, "fuzz_loader: invariant broken: %s\n", what), abort();
}

// Every pointer the table hands out lies inside its block, and no record is taken twice.
void CheckTable(const EventTable& t) {
    const uint8_t* areaEnd = t.recordArea + t.recordAreaSize;
    uint8_t* taken = static_cast<uint8_t*>(calloc(t.recordAreaSize + 1, 1));
    for (uint32_t i = 0; i < t.loadedCount; ++i) {
        const EventEntry& e = t.entries[i];
        Check(t.fileOrder[i] == &t.entries[i], "fileOrder[i] is entries[i]");
        Check(e.record >= t.recordArea && e.record + 38 <= areaEnd, "record inside the area");
        Check(RecordData(e.record) + RecordDataLength(e.record) <= areaEnd, "data inside the area");
        Check(e.computerLength <= 16 && e.computer[e.computerLength] == '\0', "computer terminated");
        Check(e.date[10] == '\0' && e.time[8] == '\0', "stamps terminated");
        Check(e.component >= 1 && e.component <= 5 && e.module <= 7, "codes in range");
        Check(taken[e.record - t.recordArea]++ == 0, "no record taken twice");
    }
    free(taken);
}

void Exercise(ViewerState* state, const uint8_t* text, size_t textLength, char* work) {
    EventTable& t = state->table;
    CheckTable(t);
    for (uint32_t order : {kOrderNewestFirst, kOrderOldestFirst, kOrderModule, 0u}) OrderEvents(&t, order);
    OrderEvents(&t, RestoredOrder(state->sortOrder));

    UiEffects fx = {};
    const uint32_t shown = ApplyFilter(state, &fx);
    Check(shown == t.visibleCount && shown <= t.loadedCount, "filter count");
    BuildVisibleRows(&t);
    Check(shown == t.visibleCount, "visible rows agree with the filter");

    // A text from the input, then one that real descriptions hold, upward.
    FindCriteria c = DefaultFindCriteria();
    memcpy(c.descriptionText, text, textLength);
    c.descriptionText[textLength] = '\0';
    const FindPrompts prompts = {nullptr, [](void*, int) { return 1; }, [](void*, int) {}};   // wraps, no boxes
    const int32_t count = int32_t(t.visibleCount);
    Check(FindNextRow(t.visibleRows, t.visibleCount, -1, c, *state->codePage, prompts) < count, "find row");
    c.direction = kFindUp;
    memcpy(c.descriptionText, "ev", 3);
    Check(FindNextRow(t.visibleRows, t.visibleCount, count, c, *state->codePage, prompts) < count, "find row");

    // The dumps of the first, middle and last records fit the work buffer.
    for (uint32_t k : {0u, t.loadedCount / 2, t.loadedCount - 1}) {
        if (t.loadedCount == 0) break;
        const uint8_t* r = t.entries[k].record;
        size_t written = FormatByteDump(RecordData(r), int32_t(RecordDataLength(r)), work);
        Check(written < kWorkBufferSize && work[written] == '\0', "byte dump inside the buffer");
        written = FormatWordDump(RecordData(r), int32_t(RecordDataLength(r)), work);
        Check(written < kWorkBufferSize && work[written] == '\0', "word dump inside the buffer");
    }

    state->viewMode = kViewFiltered;
    ShowAllEvents(state, &fx);
    Check(t.visibleCount == t.loadedCount, "all events shown");
}

int LoadBytes(ViewerState* state, const uint8_t* file, size_t size, uint8_t flags) {
    FuzzReader memory = {file, size, 0, SIZE_MAX, SIZE_MAX};
    if (flags & 2) memory.chunk = 7 + 13 * size_t(flags >> 4);
    if (flags & 8) memory.failAt = size / 2;
    LogReader reader = {&memory, FuzzRead, (flags & 1) ? uint64_t(size) : UINT64_MAX};
    snprintf(state->file.path, sizeof state->file.path, "%s", (flags & 4) ? "c:\\logs\\pern.evt" : "c:\\logs\\copy.evt");
    IdentifySource(&state->file, *state->codePage);
    state->table.loadedCount = state->table.visibleCount = 0;
    UiEffects fx = {};
    const int result = LoadLogFromReader(state, &reader, &fx);
    Check(result == 0 || (state->table.entries == nullptr && state->table.recordArea == nullptr),
          "a failed load keeps nothing");
    g_loadsSucceeded += result == 0;
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t flags = data[0];
    const uint8_t* file = data + 1;
    const size_t fileSize = size - 1, textLength = fileSize < 4 ? fileSize : 4;
    char* work = static_cast<char*>(malloc(kWorkBufferSize));   // exactly: a dump one byte long is caught
    ViewerState* state = static_cast<ViewerState*>(calloc(1, sizeof(ViewerState)));
    InitViewerState(state);
    if (flags & 16) state->codePage = &ShiftJisCodePage();
    if (LoadBytes(state, file, fileSize, flags) == 0) Exercise(state, file + fileSize - textLength, textLength, work);
    // A reload over the loaded table: the previous blocks are released on every outcome.
    if (LoadBytes(state, file, fileSize, uint8_t(flags ^ 1)) == 0) Exercise(state, file, textLength, work);
    ReleaseViewerState(state);
    free(state);
    free(work);
    return 0;
}

#if defined(DARVEX_FUZZ_REPLAY)
#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Replays every file of the directory named; fails when there was none.
int main(int argc, char** argv) {
    int replayed = 0;
    DIR* dir = argc == 2 ? opendir(argv[1]) : nullptr;
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream in(std::string(argv[1]) + "/" + entry->d_name, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++replayed;
    }
    if (dir) closedir(dir);
    printf("fuzz_loader: replayed %d inputs, %u loads succeeded\n", replayed, g_loadsSucceeded);
    return replayed > 0 && g_loadsSucceeded > 0 ? 0 : 1;
}
#endif
