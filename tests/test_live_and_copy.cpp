// The bytes of a Save As copy, whatever each write takes.
#include "logfile/save_as.h"
#include "test_support.h"

namespace {

// Takes at most 100 bytes a call (the header goes whole); fails, or writes nothing, at the given call.
struct MemorySink {
    std::vector<uint8_t> bytes;
    int calls = 0, failAtCall = -1, stallAtCall = -1;
    CopySink Sink() { return {this, Write}; }
    static int Write(void* context, const uint8_t* bytes, uint32_t size, uint32_t* written) {
        MemorySink* m = static_cast<MemorySink*>(context);
        const int call = m->calls++;
        *written = call == m->stallAtCall || call == m->failAtCall ? 0 : std::min(size, 100u);
        m->bytes.insert(m->bytes.end(), bytes, bytes + *written);
        return call != m->failAtCall;
    }
};

struct LogCopyTest : StateTest {
    LogImage log;
    void SetUp() override {
        StateTest::SetUp();
        log = BuildBrokenLog(kEdgeWrappedExample);
        SetFileSize(&log, log.bytes.size() + 100);   // bytes past the area are no part of a copy
        ASSERT_EQ(0, LoadImage(&state, log, "C:\\LOGS\\PERN.EVT", &fx));
    }
};

TEST_F(LogCopyTest, CopyIsTheHeaderAndAreaAsLoadedAndAFailedOrStalledWriteStops) {
    const size_t size = kHeaderSize + ImageHeader(log).recordAreaEnd - kRecordAreaStart;
    const std::vector<uint8_t> loaded(log.bytes.begin(), log.bytes.begin() + long(size));
    SetMaxLogSize(&log, 1 << 20);   // later changes to the file do not reach the copy
    MemorySink sink;
    ASSERT_EQ(1, WriteLogCopy(state, sink.Sink()));
    EXPECT_EQ(LogCopySize(state), size);
    EXPECT_EQ(loaded, sink.bytes);
    for (int call : {0, 2}) {
        MemorySink failing, stalling;
        failing.failAtCall = stalling.stallAtCall = call;
        EXPECT_EQ(0, WriteLogCopy(state, failing.Sink())) << call;
        EXPECT_EQ(0, WriteLogCopy(state, stalling.Sink())) << call;
        EXPECT_EQ(call + 1, stalling.calls);
    }
}

// The previous log's area is still held; an empty log's copy must not use it.
TEST_F(LogCopyTest, EmptyLogCopiesItsHeaderAlone) {
    LogImage empty;
    InitLogImage(&empty, 1, 4096);
    SetOldestOffset(&empty, 200);
    ASSERT_EQ(0, LoadImage(&state, empty, "C:\\LOGS\\TOLVA.EVT", &fx));
    MemorySink sink;
    ASSERT_EQ(1, WriteLogCopy(state, sink.Sink()));
    EXPECT_EQ(std::vector<uint8_t>(empty.bytes.begin(), empty.bytes.begin() + 88), sink.bytes);
}

}  // namespace
