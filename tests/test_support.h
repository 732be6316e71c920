// Helpers shared by the core tests: loading a LogImage straight from memory.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include <cstdlib>

#include "app/viewer_state.h"
#include "logfile/loader.h"
#include "tools/log_writer.h"

// A reader over bytes in memory that can be told to fail or stop early.
struct MemoryReader {
    const uint8_t* bytes;
    size_t size;
    size_t position;
    size_t failAt;       // a read that would pass this offset fails; SIZE_MAX never
    size_t chunk;        // most bytes one read returns
    bool reportSize;
};

inline int MemoryRead(void* context, uint8_t* buffer, uint32_t size, uint32_t* got) {
    MemoryReader* m = static_cast<MemoryReader*>(context);
    *got = 0;
    size_t n = size;
    if (n > m->chunk) n = m->chunk;
    if (n > m->size - m->position) n = m->size - m->position;
    if (m->position + n > m->failAt) return 0;
    memcpy(buffer, m->bytes + m->position, n);
    m->position += n;
    *got = uint32_t(n);
    return 1;
}

inline MemoryReader MakeMemoryReader(const LogImage& image) {
    return MemoryReader{image.bytes.data(), image.bytes.size(), 0, SIZE_MAX, SIZE_MAX, true};
}

// Loads the image as if it were the file at path (the path decides liveness).
inline int LoadImage(ViewerState* state, const LogImage& image, const char* path, UiEffects* fx,
                     MemoryReader* memory = nullptr) {
    MemoryReader local = MakeMemoryReader(image);
    MemoryReader* m = memory ? memory : &local;
    snprintf(state->file.path, sizeof state->file.path, "%s", path);
    IdentifySource(&state->file, *state->codePage);
    ClearEffects(fx);
    LogReader reader = {m, MemoryRead, m->reportSize ? uint64_t(m->size) : UINT64_MAX};
    state->table.loadedCount = 0;
    state->table.visibleCount = 0;
    return LoadLogFromReader(state, &reader, fx);
}

inline std::string StatusText(const UiEffects& fx, int part) {
    return fx.status[part].set ? std::string(fx.status[part].text) : std::string("<unset>");
}

// A table built straight from entries, for the ordering, filter and find tests.
// Entry i is slot i of fileOrder (0 the newest). Records are 38-byte fixed
// parts followed by the given description.
struct SyntheticEvent {
    uint16_t type;
    uint32_t moduleCode;
    const char* stamp;        // "yyyy/mm/ddhh:mm:ss"
    const char* description;  // null: descriptionLength 0
};

inline void BuildSyntheticTable(ViewerState* state, const SyntheticEvent* events, uint32_t n) {
    ReleaseEventTable(&state->table);
    EventTable& t = state->table;
    size_t area = 0;
    for (uint32_t i = 0; i < n; ++i) area += 38 + (events[i].description ? strlen(events[i].description) + 1 : 0);
    t.entries = static_cast<EventEntry*>(calloc(n ? n : 1, sizeof(EventEntry)));
    t.fileOrder = static_cast<EventEntry**>(calloc(n ? n : 1, sizeof(EventEntry*)));
    t.displayOrder = static_cast<EventEntry**>(calloc(n ? n : 1, sizeof(EventEntry*)));
    t.visibleRows = static_cast<EventEntry**>(calloc(n ? n : 1, sizeof(EventEntry*)));
    t.recordArea = static_cast<uint8_t*>(calloc(area ? area : 1, 1));
    t.recordAreaSize = uint32_t(area);
    uint8_t* p = t.recordArea;
    LogHeader header = {};
    memcpy(header.computerName, "TESTPC", 6);
    for (uint32_t i = 0; i < n; ++i) {
        const SyntheticEvent& ev = events[i];
        LogRecord r = {};
        r.moduleCode = ev.moduleCode;
        r.type = ev.type;
        const char* s = ev.stamp;
        auto num = [&](int at, int len) {
            uint16_t v = 0;
            for (int k = 0; k < len; ++k) v = uint16_t(v * 10 + (s[at + k] - '0'));
            return v;
        };
        r.timeStamp = {num(0, 4), num(5, 2), 0, num(8, 2), num(10, 2), num(13, 2), num(16, 2), 0};
        uint32_t dl = ev.description ? uint32_t(strlen(ev.description) + 1) : 0;
        r.descriptionLength = uint16_t(dl);
        WriteLogRecord(r, p);
        if (dl) memcpy(p + 38, ev.description, dl);
        BuildEntry(p, header, &t.entries[i]);
        t.fileOrder[i] = &t.entries[i];
        t.displayOrder[i] = &t.entries[i];
        t.visibleRows[i] = &t.entries[i];
        p += 38 + dl;
    }
    t.loadedCount = n;
    t.visibleCount = n;
    state->shownCount = n;
}

// Index in entries of each visible row, in list order.
inline std::vector<int> VisibleIndexes(const ViewerState& state) {
    std::vector<int> out;
    for (uint32_t i = 0; i < state.table.visibleCount; ++i) {
        out.push_back(int(state.table.visibleRows[i] - state.table.entries));
    }
    return out;
}
