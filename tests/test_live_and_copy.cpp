// The bytes of a Save As copy, whatever each write takes.
#include <gtest/gtest.h>

#include <vector>

#include "logfile/save_as.h"
#include "test_support.h"

namespace {

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
