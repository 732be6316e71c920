// Helpers of the core tests: loading a LogImage straight from memory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/viewer_state.h"
#include "eventlist/ordering.h"
#include "logfile/loader.h"
#include "tools/log_writer.h"

// A reader over bytes in memory: a read that would pass failAt fails, one read returns at most chunk bytes.
struct MemoryReader {
    const LogImage* image;
    size_t position = 0, failAt = SIZE_MAX, chunk = SIZE_MAX;
};

inline int MemoryRead(void* context, uint8_t* buffer, uint32_t size, uint32_t* got) {
    MemoryReader* m = static_cast<MemoryReader*>(context);
    const size_t n = std::min({size_t(size), m->chunk, m->image->bytes.size() - m->position});
    if (m->position + n > m->failAt) return *got = 0, 0;
    memcpy(buffer, m->image->bytes.data() + m->position, n);
    m->position += n;
    *got = uint32_t(n);
    return 1;
}

// Loads the image as the file at path (the path decides liveness).
inline int LoadImage(ViewerState* state, const LogImage& image, const char* path, UiEffects* fx,
                     MemoryReader m = {}) {
    m.image = &image;
    snprintf(state->file.path, sizeof state->file.path, "%s", path);
    IdentifySource(&state->file, *state->codePage);
    ClearEffects(fx);
    LogReader reader = {&m, MemoryRead, uint64_t(image.bytes.size())};
    return LoadLogFromReader(state, &reader, fx);
}

inline std::string StatusText(const UiEffects& fx, int part) { return fx.status[part].set ? fx.status[part].text : "<unset>"; }

struct SyntheticEvent {
    uint16_t type;
    uint32_t moduleCode;
    const char* stamp;        // "yyyy/mm/ddhh:mm:ss"
    const char* description;  // null: descriptionLength 0
    const uint8_t* data = nullptr;
    uint32_t dataBytes = 0;
};

// A read-only log of the events, events[0] the newest (the last in the chain).
inline LogImage SyntheticLogImage(const SyntheticEvent* events, uint32_t n) {
    LogImage image;
    InitLogImage(&image, 0, kRecordAreaStart);
    uint32_t at = kRecordAreaStart;
    for (uint32_t i = n; i-- > 0;) {
        const SyntheticEvent& e = events[i];
        auto num = [&e](int from, int len) { return uint16_t(atoi(std::string(e.stamp + from, size_t(len)).c_str())); };
        RecordSpec r;
        r.timeStamp = MakeRecordTime(num(0, 4), num(5, 2), num(8, 2), num(10, 2), num(13, 2), num(16, 2));
        r.moduleCode = e.moduleCode, r.type = e.type, r.text = e.description, r.data = e.data, r.dataByteCount = e.dataBytes;
        r.link = RecordSpecSize(r);
        at = PlaceRecord(&image, at, r);
    }
    SetRecordAreaEnd(&image, at);
    SetRecordCount(&image, n);
    SetOldestOffset(&image, kRecordAreaStart);
    return image;
}

// Loads the events with every row shown newest first: entry i is events[i].
inline void BuildSyntheticTable(ViewerState* state, const SyntheticEvent* events, uint32_t n) {
    UiEffects fx;
    LoadImage(state, SyntheticLogImage(events, n), "SYNTHETIC.EVT", &fx);
    EventTable& t = state->table;
    OrderEvents(&t, kOrderNewestFirst);
    for (uint32_t i = 0; i < t.loadedCount; ++i) (t.visibleRows[i] = t.displayOrder[i])->visible = 1;
    t.visibleCount = state->shownCount = t.loadedCount;
}

inline std::vector<int> VisibleIndexes(const ViewerState& state) {
    std::vector<int> out;
    for (uint32_t i = 0; i < state.table.visibleCount; ++i) out.push_back(int(state.table.visibleRows[i] - state.table.entries));
    return out;
}

struct StateTest : ::testing::Test {
    ViewerState state;
    UiEffects fx;
    void SetUp() override { InitViewerState(&state); ClearEffects(&fx); }
    void TearDown() override { ReleaseViewerState(&state); }
};
