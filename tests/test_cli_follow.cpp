// follow's step over a log appended to in memory, and its NDJSON line.
#include "cli/cli_follow.h"
#include "cli/cli_output.h"
#include "cli_test_support.h"
#include "tools/chain_append.h"

namespace {

// A component's log of a small record area and a follower looking at it.
struct Follow : ::testing::Test {
    LogImage image;
    uint32_t newest = 0;
    int appended = 0;
    FollowState state;
    bool lost = false;
    void SetUp() override { InitLogImage(&image, 0, kRecordAreaStart + 1500); }
    void Start(uint32_t lines) { ASSERT_EQ(InitFollowState(&state, lines), 1); }
    void TearDown() override { ReleaseFollowState(&state); }

    // Records "event N", a second apart, of 50 to 62 bytes, so that the wraps leave gaps of every size.
    void Append(int n) {
        for (int i = 0; i < n; ++i) {
            ++appended;
            const std::string text = "event " + std::to_string(appended) + std::string(size_t(appended % 13), '.');
            RecordSpec r;
            r.text = text.c_str();
            r.timeStamp = RecordTimeAfter(MakeRecordTime(2024, 1, 1, 0, 0, 0), uint64_t(appended));
            ASSERT_EQ(AppendRecord(image.bytes.data(), image.bytes.size(), &newest, r), 1);
        }
    }
    void Clear() {
        for (uint32_t at : {kOffsetRecordCount, kOffsetOldestOffset, kOffsetWriterOffset}) PutU32(image.bytes.data() + at, 0);
    }
    // The numbers of the events one look prints, without the loss report (lost).
    std::vector<int> Step() {
        std::vector<int> printed;
        const FollowReader reader = {&image, [](void* c, uint64_t offset, uint8_t* buffer, uint32_t size) {
                                         const std::vector<uint8_t>& bytes = static_cast<LogImage*>(c)->bytes;
                                         if (offset + size > bytes.size()) return 0;
                                         memcpy(buffer, bytes.data() + offset, size);
                                         return 1;
                                     }};
        const FollowSink sink = {&printed,
                                 [](void* c, const uint8_t* record, const LogHeader&) {
                                     const char* text = reinterpret_cast<const char*>(RecordDescription(record));
                                     static_cast<std::vector<int>*>(c)->push_back(atoi(text + 6));
                                 },
                                 [](void* c) { static_cast<std::vector<int>*>(c)->push_back(0); }};
        const FollowStepResult r = FollowStep(&state, reader, sink);
        EXPECT_EQ(r.messageId, 0);
        lost = !printed.empty() && printed[0] == 0;
        if (lost) printed.erase(printed.begin());
        EXPECT_EQ(r.printed, printed.size());
        return printed;
    }
    static std::vector<int> Range(int first, int last) {
        std::vector<int> v;
        while (first <= last) v.push_back(first++);
        return v;
    }
};

TEST_F(Follow, PrintsTheNewestThenEachAppendedEventOnceThroughManyWraps) {
    Append(5);
    Start(3);
    EXPECT_EQ(Step(), Range(3, 5));
    EXPECT_EQ(Step(), Range(6, 5));
    for (int batch = 1; appended < 400; batch = batch % 9 + 1) {   // some 15 times round the area
        const int first = appended + 1;
        Append(batch);
        EXPECT_EQ(Step(), Range(first, appended)) << "after event " << first - 1;
        EXPECT_FALSE(lost);
    }
    // Round the whole area between two looks: reported, then followed from the oldest.
    Append(45);
    EXPECT_EQ(Step(), Range(appended - int(GetU32(image.bytes.data() + kOffsetRecordCount)) + 1, appended));
    EXPECT_TRUE(lost);
}

// A clear seen or unseen starts again from the writer's next record.
TEST_F(Follow, StartsOnAnEmptyLogAndGoesOnAfterAClearSeenOrUnseen) {
    Start(10);
    EXPECT_EQ(Step(), Range(1, 0));
    Append(3);
    EXPECT_EQ(Step(), Range(1, 3));
    Clear();
    EXPECT_EQ(Step(), Range(1, 0));
    Append(2);
    EXPECT_EQ(Step(), Range(4, 5));
    Clear();
    Append(4);   // cleared unseen, then more records than before from the same oldest
    EXPECT_EQ(Step(), Range(6, 9));
    EXPECT_TRUE(lost);
    // Fewer than before: the old records beyond the new ones still look whole.
    Append(4);
    EXPECT_EQ(Step(), Range(10, 13));
    Clear();
    Append(2);
    EXPECT_EQ(Step(), Range(14, 15));
    EXPECT_TRUE(lost);
    // And after it wrapped, with the last event printed above the new chain.
    Append(60);
    ASSERT_GT(GetU32(image.bytes.data() + kOffsetOldestOffset), kRecordAreaStart);
    Step();
    Clear();
    Append(3);
    EXPECT_EQ(Step(), Range(76, 78));
    EXPECT_TRUE(lost);
    ReleaseFollowState(&state);   // a new follower asking for more than the log holds
    Start(10);
    EXPECT_EQ(Step(), Range(76, 78));
}

TEST(FollowNdjson, EscapesByCharactersAndWritesIsoTimes) {
    // "表" is 0x95 0x5C: its second byte is a backslash that must stay alone.
    const SyntheticEvent event = {kTypeError, 0, "2024/03/0907:05:02", "\x95\x5C \"q\" a\\b\r\n\x01"};
    LogImage image = SyntheticLogImage(&event, 1);
    SetComputerName(&image, "PC\"1");
    FILE* file = tmpfile();
    CliOutput* out = new CliOutput;
    InitOutput(out, file, 932, true, nullptr);
    PutFollowedEvent(out, kFollowNdjson, image.bytes.data() + kRecordAreaStart, ImageHeader(image));
    FlushOutput(out);
    delete out;
    EXPECT_EQ(ReadBack(file), std::string("{\"type\":\"Error\",\"time\":\"2024-03-09T07:05:02\",\"component\":\"HALDOR/PERN\","
                          "\"module\":\"HALDOR/PERN\",\"computer\":\"PC\\\"1\",\"description\":\"\x95\x5C \\\"q\\\" "
                          "a\\\\b\\r\\n\\u0001\"}\n"));
}

}  // namespace
