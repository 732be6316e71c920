// Appending as a writing component does: the chain wraps round the record
// area, the oldest records make room, and a cleared header starts afresh.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "test_support.h"
#include "tools/chain_append.h"

namespace {

struct ChainAppendTest : StateTest {
    LogImage image;
    uint32_t newest = 0;
    char text[32] = "";
    uint8_t data[128] = {};

    // Event n: "Event n" and n % 7 * 2 data bytes unless told, so the sizes vary.
    RecordSpec Event(uint32_t n, uint32_t dataBytes = UINT32_MAX) {
        snprintf(text, sizeof text, "Event %u", n);
        RecordSpec r;
        r.text = text;
        r.data = data;
        r.dataByteCount = dataBytes != UINT32_MAX ? dataBytes : n % 7 * 2;
        r.timeStamp = RecordTimeAfter(MakeRecordTime(2024, 1, 1, 0, 0, 0), n);
        r.link = 12345;       // the writer's own values replace these
        r.wrapToStart = 1;
        return r;
    }
    int Append(uint32_t n, uint32_t dataBytes = UINT32_MAX) {
        return AppendRecord(image.bytes.data(), image.bytes.size(), &newest, Event(n, dataBytes));
    }

    // The numbers of the loaded events from the oldest to the newest.
    std::vector<uint32_t> Loaded() {
        EXPECT_EQ(0, LoadImage(&state, image, "C:\\LOGS\\COPY.EVT", &fx));
        std::vector<uint32_t> out;
        for (uint32_t k = state.table.loadedCount; k-- > 0;) {
            const char* d = reinterpret_cast<const char*>(RecordDescription(state.table.fileOrder[k]->record));
            out.push_back(uint32_t(atoi(d + 6)));
        }
        return out;
    }
    std::vector<uint32_t> Numbers(uint32_t first, uint32_t last) {
        std::vector<uint32_t> out;
        for (uint32_t n = first; n <= last; ++n) out.push_back(n);
        return out;
    }
};

// A 400-byte area holds 6 to 9 of these records; 150 appends go round it
// many times. After each one the log loads with the newest records in order.
TEST_F(ChainAppendTest, ChainWrapsManyTimesKeepingTheNewestInOrder) {
    InitLogImage(&image, 0, kRecordAreaStart + 400);
    uint32_t wraps = 0;
    for (uint32_t n = 1; n <= 150; ++n) {
        const uint32_t before = newest;
        ASSERT_EQ(1, Append(n));
        wraps += n > 1 && newest < before;
        const std::vector<uint32_t> loaded = Loaded();
        ASSERT_FALSE(loaded.empty());
        ASSERT_EQ(Numbers(loaded.front(), n), loaded) << n;
        const LogHeader h = ImageHeader(image);
        EXPECT_EQ(newest + RecordSpecSize(Event(n)), h.writerOffset);
        // Only records in the way leave: the area always keeps at least five.
        EXPECT_GE(loaded.size(), n < 5 ? n : 5u) << n;
    }
    EXPECT_GE(wraps, 15u);
}

// Records of 60, 120 and 130 bytes (46 and their data) in a 300-byte area:
// the sixth fills the area exactly and the seventh wraps; the eighth wraps
// from 268, which pushes out the two records past that point and the two at
// the start that it covers.
TEST_F(ChainAppendTest, WrapPushesOutTheRecordsPastTheWritePositionAndThoseItCovers) {
    InitLogImage(&image, 0, kRecordAreaStart + 300);
    for (uint32_t n = 1; n <= 5; ++n) ASSERT_EQ(1, Append(n, 14));
    EXPECT_EQ(Numbers(1, 5), Loaded());
    ASSERT_EQ(1, Append(6, 14));
    EXPECT_EQ(Numbers(2, 6), Loaded());
    ASSERT_EQ(1, Append(7, 74));
    EXPECT_EQ(Numbers(4, 7), Loaded());
    ASSERT_EQ(1, Append(8, 84));
    EXPECT_EQ(Numbers(8, 8), Loaded());
}

// After a Clear (count, oldest and writer offset 0), or with a writer offset
// outside the area, the next record starts the chain at 88.
TEST_F(ChainAppendTest, EmptiedHeaderStartsTheChainAgainAtTheAreaStart) {
    InitLogImage(&image, 0, kRecordAreaStart + 400);
    for (uint32_t writerOffset : {0u, kRecordAreaStart + 401}) {
        for (uint32_t n = 1; n <= 20; ++n) ASSERT_EQ(1, Append(n));
        ASSERT_NE(kRecordAreaStart, ImageHeader(image).writerOffset);
        SetRecordCount(&image, 0);
        SetOldestOffset(&image, 0);
        SetWriterOffset(&image, writerOffset);
        ASSERT_EQ(1, Append(21));
        ASSERT_EQ(1, Append(22));
        const LogHeader h = ImageHeader(image);
        EXPECT_EQ(2u, h.recordCount);
        EXPECT_EQ(kRecordAreaStart, h.oldestOffset);
        EXPECT_EQ(Numbers(21, 22), Loaded());
    }
}

}  // namespace
