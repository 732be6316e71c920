// The header writes of the live operations and the bytes of a Save As copy.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "logfile/live_access.h"
#include "logfile/save_as.h"
#include "test_support.h"

namespace {

struct HeaderBytes {
    uint8_t bytes[kHeaderSize];
    HeaderBytes() {
        InitLogImage(&image, 0, 0);
        memcpy(bytes, image.bytes.data(), kHeaderSize);
        for (uint32_t i = 16; i < kHeaderSize; ++i) bytes[i] = uint8_t(i * 7 + 1);
        memcpy(before, bytes, kHeaderSize);
    }
    // Offsets whose byte changed since construction.
    std::set<uint32_t> Changed() const {
        std::set<uint32_t> out;
        for (uint32_t i = 0; i < kHeaderSize; ++i) {
            if (bytes[i] != before[i]) out.insert(i);
        }
        return out;
    }
    LogImage image;
    uint8_t before[kHeaderSize];
};

std::set<uint32_t> Range(uint32_t from, uint32_t to) {   // from..to inclusive
    std::set<uint32_t> out;
    for (uint32_t i = from; i <= to; ++i) out.insert(i);
    return out;
}

TEST(LiveHeader, EachOperationWritesItsFieldsAndNoOtherByte) {
    HeaderBytes cleared;
    WriteClearedChain(cleared.bytes);
    std::set<uint32_t> chain = Range(40, 43);
    for (uint32_t i : Range(60, 67)) chain.insert(i);
    EXPECT_EQ(cleared.Changed(), chain);
    EXPECT_EQ(0u, GetU32(cleared.bytes + 40) | GetU32(cleared.bytes + 60) | GetU32(cleared.bytes + 64));

    HeaderBytes sized;
    WriteMaxLogSize(sized.bytes, 1073741824);
    EXPECT_EQ(sized.Changed(), Range(32, 35));
    EXPECT_EQ(1073741824u, GetU32(sized.bytes + 32));

    ViewerState state;
    InitViewerState(&state);
    state.conditions = {1, 0, 1, 0, 4, 2, 0x10005, 113, 0};
    state.sortOrder = kOrderModule;
    state.saveSettings = 0;
    HeaderBytes off;
    WriteStoredConditions(off.bytes, &state);
    EXPECT_EQ(off.Changed(), Range(86, 87));
    EXPECT_EQ(0, GetU16(off.bytes + 86));
    EXPECT_EQ(113, state.conditions.sortOrder);

    state.saveSettings = 1;
    HeaderBytes on;
    WriteStoredConditions(on.bytes, &state);
    const uint8_t expected[kConditionsSize] = {1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 2, 0, 5, 0, 1, 0, 114, 0, 1, 0};
    EXPECT_EQ(std::vector<uint8_t>(expected, expected + 20), std::vector<uint8_t>(on.bytes + 68, on.bytes + 88));
    EXPECT_TRUE(on.Changed().size() <= 20 && *on.Changed().begin() >= 68);
    EXPECT_EQ(114, state.conditions.sortOrder);   // the order stays in memory too
    ReleaseViewerState(&state);
}

TEST(LiveHeader, ViewNeedsAWholeHeaderAndAKnownMagic) {
    HeaderBytes h;
    EXPECT_TRUE(LiveViewUsable(h.bytes, 88));
    EXPECT_FALSE(LiveViewUsable(h.bytes, 87));
    h.bytes[3] = 'X';
    EXPECT_FALSE(LiveViewUsable(h.bytes, 4096));
}

// A sink into memory that takes at most `chunk` bytes a call and can fail
// or stall at a given call.
struct MemorySink {
    std::vector<uint8_t> bytes;
    uint32_t chunk = UINT32_MAX;
    int calls = 0, failAtCall = -1, stallAtCall = -1;
    CopySink Sink() { return {this, Write}; }
    static int Write(void* context, const uint8_t* bytes, uint32_t size, uint32_t* written) {
        MemorySink* m = static_cast<MemorySink*>(context);
        const int call = m->calls++;
        *written = 0;
        if (call == m->failAtCall) return 0;
        if (call == m->stallAtCall) return 1;
        *written = std::min(size, m->chunk);
        m->bytes.insert(m->bytes.end(), bytes, bytes + *written);
        return 1;
    }
};

struct LogCopyTest : StateTest {
    LogImage log;
    void SetUp() override {
        StateTest::SetUp();
        GenOptions options;
        options.eventCount = 300;
        options.wrapped = true;
        GenResult result;
        ASSERT_EQ(1, GenerateLogImage(options, &log, &result));
        SetFileSize(&log, log.bytes.size() + 100);   // bytes past the area are no part of a copy
        ASSERT_EQ(0, LoadImage(&state, log, "C:\\LOGS\\PERN.EVT", &fx));
    }
};

TEST_F(LogCopyTest, CopyIsTheHeaderAndAreaAsLoadedWhateverEachWriteTakes) {
    const size_t size = kHeaderSize + ImageHeader(log).recordAreaEnd - kRecordAreaStart;
    const std::vector<uint8_t> loaded = log.bytes;
    SetMaxLogSize(&log, 1 << 20);   // later changes to the file do not reach the copy
    MemorySink sink;
    sink.chunk = 1000;
    ASSERT_EQ(1, WriteLogCopy(state, sink.Sink()));
    EXPECT_EQ(LogCopySize(state), size);
    ASSERT_EQ(sink.bytes.size(), size);
    EXPECT_TRUE(std::equal(sink.bytes.begin(), sink.bytes.end(), loaded.begin()));
    EXPECT_GT(sink.calls, 3);
}

TEST_F(LogCopyTest, EmptyLogCopiesItsHeaderAloneAndFailedWritesStop) {
    // The previous log's area is still held; an empty log's copy must not use it.
    LogImage empty;
    InitLogImage(&empty, 1, 4096);
    SetOldestOffset(&empty, 200);
    ASSERT_EQ(0, LoadImage(&state, empty, "C:\\LOGS\\TOLVA.EVT", &fx));
    MemorySink sink;
    ASSERT_EQ(1, WriteLogCopy(state, sink.Sink()));
    ASSERT_EQ(std::vector<uint8_t>(empty.bytes.begin(), empty.bytes.begin() + 88), sink.bytes);
    LogImage copy;
    copy.bytes = sink.bytes;
    EXPECT_EQ(0, LoadImage(&state, copy, "C:\\COPY.EVT", &fx));
    EXPECT_EQ(0u, state.table.loadedCount);

    ASSERT_EQ(0, LoadImage(&state, log, "C:\\LOGS\\PERN.EVT", &fx));
    for (int call : {0, 2}) {
        MemorySink failing;
        failing.chunk = 4096;
        failing.failAtCall = call;
        EXPECT_EQ(0, WriteLogCopy(state, failing.Sink())) << call;
        MemorySink stalling;
        stalling.chunk = 4096;
        stalling.stallAtCall = call;
        EXPECT_EQ(0, WriteLogCopy(state, stalling.Sink())) << call;
        EXPECT_EQ(call + 1, stalling.calls);
    }
}

}  // namespace
