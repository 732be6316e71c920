#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logfile/loader.h"
#include "test_support.h"

namespace {

struct LoaderTest : ::testing::Test {
    ViewerState state;
    UiEffects fx;
    void SetUp() override { InitViewerState(&state); }
    void TearDown() override { ReleaseViewerState(&state); }

    // Record file offsets from the oldest to the newest event.
    std::vector<uint32_t> OffsetsOldestFirst() const {
        std::vector<uint32_t> out;
        for (uint32_t k = state.table.loadedCount; k-- > 0;) {
            out.push_back(uint32_t(state.table.fileOrder[k]->record - state.table.recordArea) + 88);
        }
        return out;
    }
};

RecordSpec Record(uint16_t second, const char* text) {
    RecordSpec r;
    r.timeStamp = MakeRecordTime(2001, 1, 1, 0, 0, second);
    r.text = text;
    return r;
}

// The chain of three records at 88, 150 and 230, oldest at 150.
LogImage WrappedExample() {
    LogImage image;
    InitLogImage(&image, 0, 300);
    RecordSpec oldest = Record(1, "old");
    oldest.link = 80;
    RecordSpec middle = Record(2, "mid");
    middle.wrapToStart = 1;
    RecordSpec newest = Record(3, "new");
    PlaceRecord(&image, 150, oldest);
    PlaceRecord(&image, 230, middle);
    PlaceRecord(&image, 88, newest);
    SetRecordCount(&image, 3);
    SetOldestOffset(&image, 150);
    return image;
}

TEST_F(LoaderTest, WrappedChainListsNewestInSlotZero) {
    ASSERT_EQ(0, LoadImage(&state, WrappedExample(), "C:\\LOGS\\COPY.EVT", &fx));
    EXPECT_EQ((std::vector<uint32_t>{150, 230, 88}), OffsetsOldestFirst());
    EXPECT_EQ(&state.table.entries[0], state.table.fileOrder[0]);
    EXPECT_EQ(3u, state.table.loadedCount);
    EXPECT_EQ(std::string("2001/01/0100:00:01"), std::string(state.range.firstEvent, 18));
    EXPECT_EQ(std::string("2001/01/0100:00:03"), std::string(state.range.lastEvent, 18));
    EXPECT_EQ(0, memcmp(state.range.from, state.range.firstEvent, 18));
    EXPECT_EQ(0, memcmp(state.range.through, state.range.lastEvent, 18));
}

TEST_F(LoaderTest, WrapToStartOtherThanOneFollowsTheLink) {
    LogImage image = WrappedExample();
    SetRecordWrapToStart(&image, 150, 2);
    SetRecordLink(&image, 150, 80);
    ASSERT_EQ(0, LoadImage(&state, image, "X.EVT", &fx));
    EXPECT_EQ((std::vector<uint32_t>{150, 230, 88}), OffsetsOldestFirst());
}

// A link may lead anywhere in 32-bit arithmetic, here back from 700 to 230
// before the wrap to the start; only taking a record twice is refused.
TEST_F(LoaderTest, ChainMayStepBackMoreThanOnce) {
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeTwoStepsBack), "X.EVT", &fx));
    EXPECT_EQ(std::vector<uint32_t>(kTwoStepsBackOffsets, kTwoStepsBackOffsets + 8), OffsetsOldestFirst());
    EXPECT_EQ(std::string("2001/01/0100:00:01"), std::string(state.range.firstEvent, 18));
    EXPECT_EQ(std::string("2001/01/0100:00:08"), std::string(state.range.lastEvent, 18));
}

TEST_F(LoaderTest, EveryCatalogueLogGivesItsOutcome) {
    for (int v = 0; v < kBrokenLogCount; ++v) {
        const BrokenLogInfo& info = kBrokenLogInfo[v];
        SCOPED_TRACE(info.name);
        InitViewerState(&state);
        int result = LoadImage(&state, BuildBrokenLog(BrokenLog(v)), "C:\\LOGS\\PERN.EVT", &fx);
        EXPECT_EQ(int(info.expectedMessage), result);
        if (result == 0) {
            EXPECT_EQ(info.expectedEvents, state.table.loadedCount);
        } else {
            // The failure outcome: no table, no path, a zero header, nothing live.
            EXPECT_EQ(nullptr, state.table.entries);
            EXPECT_EQ(nullptr, state.table.recordArea);
            EXPECT_EQ(0u, state.table.loadedCount);
            EXPECT_EQ('\0', state.file.path[0]);
            EXPECT_EQ(0u, state.file.isLive);
            EXPECT_EQ(0u, state.file.currentHeader.recordCount);
            for (uint16_t id : {101, 102, 103, 104, 110, 111, 115, 116, 117}) {
                EXPECT_EQ(kMenuGray, LastMenuAction(fx, id)) << id;
            }
        }
        ReleaseViewerState(&state);
    }
}

TEST_F(LoaderTest, SixteenByteComputerNameIsShownWhole) {
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeComputerName16), "A.EVT", &fx));
    EXPECT_STREQ("ABCDEFGHIJKLMNOP", state.table.entries[0].computer);
    EXPECT_EQ(16u, state.table.entries[0].computerLength);
}

TEST_F(LoaderTest, ShortOrUnreadableFilesAreRefused) {
    LogImage image = BuildBaseLog();
    // A read error inside the record area.
    MemoryReader m = MakeMemoryReader(image);
    m.failAt = 100;
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, image, "A.EVT", &fx, &m));
    // A read error in the header itself.
    m = MakeMemoryReader(image);
    m.failAt = 10;
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, image, "A.EVT", &fx, &m));
    // A file that ends early while its size was not known beforehand.
    LogImage cut = image;
    SetFileSize(&cut, image.bytes.size() - 5);
    m = MakeMemoryReader(cut);
    m.reportSize = false;
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, cut, "A.EVT", &fx, &m));
    // A record area read in many small pieces is still read whole.
    m = MakeMemoryReader(image);
    m.chunk = 7;
    EXPECT_EQ(0, LoadImage(&state, image, "A.EVT", &fx, &m));
    EXPECT_EQ(3u, state.table.loadedCount);
}

TEST_F(LoaderTest, LiveSourceIsFoundAnywhereInTheUpperCasedPath) {
    struct Case { const char* path; int source; const char* upper; } cases[] = {
        {"C:\\LOGS\\OLD_PERN.EVT.BAK", 0, "C:\\LOGS\\OLD_PERN.EVT.BAK"},
        {"c:\\logs\\tolva.evt", 1, "C:\\LOGS\\TOLVA.EVT"},
        {"C:\\TOLVA.EVT\\PERN.EVT", 0, "C:\\TOLVA.EVT\\PERN.EVT"},
        {"d:\\x\\kestram.evt", 3, "D:\\X\\KESTRAM.EVT"},
        {"C:\\LOGS\\COPY.EVT", -1, "C:\\LOGS\\COPY.EVT"},
    };
    for (const Case& c : cases) {
        OpenFileState file = {};
        snprintf(file.path, sizeof file.path, "%s", c.path);
        IdentifySource(&file, SingleByteCodePage());
        EXPECT_EQ(c.source, file.sourceIndex) << c.path;
        EXPECT_EQ(c.source >= 0 ? 1u : 0u, file.isLive) << c.path;
        EXPECT_STREQ(c.upper, file.path);
    }
}

TEST_F(LoaderTest, ReadOnlyAndLiveFilesSetTheirMenusAndStatus) {
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "C:\\LOGS\\COPY.EVT", &fx));
    EXPECT_EQ("Write Prohibit", StatusText(fx, 1));
    EXPECT_EQ("Total number of Event3", StatusText(fx, 0));
    EXPECT_EQ(kMenuGray, LastMenuAction(fx, 102));
    EXPECT_EQ(kMenuGray, LastMenuAction(fx, 103));
    for (uint16_t id : {101, 104, 110, 111, 115, 116, 117}) EXPECT_EQ(kMenuEnable, LastMenuAction(fx, id)) << id;

    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "C:\\LOGS\\OLD_PERN.EVT.BAK", &fx));
    EXPECT_EQ("<unset>", StatusText(fx, 1));   // LoadLog itself empties it first
    EXPECT_EQ(kMenuEnable, LastMenuAction(fx, 102));
    EXPECT_EQ(kMenuEnable, LastMenuAction(fx, 103));
}

TEST_F(LoaderTest, EmptyLogKeepsTheConditionsAndGraysTheEventItems) {
    state.conditions.componentIndex = 3;   // something the user chose earlier
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeEmptyWithOldest), "C:\\PERN.EVT", &fx));
    EXPECT_EQ(0u, state.table.loadedCount);
    EXPECT_EQ(nullptr, state.table.entries);
    EXPECT_EQ("Total number of Event0", StatusText(fx, 0));
    EXPECT_EQ(kViewAllEvents, state.viewMode);
    EXPECT_EQ(3, state.conditions.componentIndex);
    for (uint16_t id : {101, 117, 103}) EXPECT_EQ(kMenuEnable, LastMenuAction(fx, id)) << id;
    for (uint16_t id : {104, 102, 111, 110, 115, 116}) EXPECT_EQ(kMenuGray, LastMenuAction(fx, id)) << id;
}

TEST_F(LoaderTest, NonLiveFileTakesTheLastLiveFilesConditions) {
    // First a read-only file straight after start-up: the defaults.
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "COPY.EVT", &fx));
    EXPECT_EQ(0u, state.sortOrder);
    EXPECT_EQ(kViewAllEvents, state.viewMode);
    EXPECT_EQ(0u, state.saveSettings);

    LogImage live = BuildBaseLog();
    ViewConditions saved = DefaultViewConditions();
    saved.warningType = 0;
    saved.sortOrder = 114;
    saved.conditionsSaved = 1;
    SetConditions(&live, saved);
    ASSERT_EQ(0, LoadImage(&state, live, "C:\\LOGS\\TOLVA.EVT", &fx));
    EXPECT_EQ(114u, state.sortOrder);
    EXPECT_EQ(1u, state.saveSettings);
    EXPECT_EQ(kViewFiltered, state.viewMode);

    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "COPY.EVT", &fx));
    EXPECT_EQ(114u, state.sortOrder);
    EXPECT_EQ(0, state.conditions.warningType);
    EXPECT_EQ(kViewFiltered, state.viewMode);
}

TEST_F(LoaderTest, AllZeroConditionsOfALiveLogShowItFiltered) {
    LogImage live = BuildBaseLog();
    ViewConditions zero = {};
    SetConditions(&live, zero);
    ASSERT_EQ(0, LoadImage(&state, live, "PERN.EVT", &fx));
    EXPECT_EQ(kViewFiltered, state.viewMode);
}

TEST(ViewMode, EveryFilteringBitCountsButNotTheOrder) {
    ViewConditions c = DefaultViewConditions();
    c.sortOrder = kOrderModule;
    c.conditionsSaved = 1;
    EXPECT_EQ(kViewAllEvents, DecideViewMode(c));
    c.moduleIndex = 0x10000;   // no module in the low half, still a module filter
    EXPECT_EQ(kViewFiltered, DecideViewMode(c));
}

TEST_F(LoaderTest, FailedLoadKeepsOrderConditionsAndLiveCopy) {
    LogImage live = BuildBaseLog();
    ViewConditions saved = DefaultViewConditions();
    saved.sortOrder = 113;
    SetConditions(&live, saved);
    ASSERT_EQ(0, LoadImage(&state, live, "PERN.EVT", &fx));
    EXPECT_EQ(kMsgCorrupted, LoadImage(&state, BuildBrokenLog(kBrokenLinkZero), "PERN.EVT", &fx));
    EXPECT_EQ(113u, state.sortOrder);
    EXPECT_EQ(113, state.liveHeaderCopy.conditions.sortOrder);
}

TEST_F(LoaderTest, EntriesCarryFormattedStampsAndCodes) {
    LogImage image;
    InitLogImage(&image, 2, 400);
    RecordSpec a = Record(3, "x");
    a.timeStamp = MakeRecordTime(2000, 1, 5, 9, 7, 3);
    a.moduleCode = 7;   // the first code past the table
    a.type = 7;
    a.link = 100;
    RecordSpec b = Record(4, "y");
    b.timeStamp.year = 12345;   // out of range: still ten characters
    b.timeStamp.month = 300;
    b.moduleCode = 6;   // the last code in it
    PlaceRecord(&image, 88, a);
    PlaceRecord(&image, 188, b);
    SetRecordCount(&image, 2);
    SetOldestOffset(&image, 88);
    ASSERT_EQ(0, LoadImage(&state, image, "B.EVT", &fx));
    const EventEntry& oldest = state.table.entries[1];
    EXPECT_STREQ("2000/01/05", oldest.date);
    EXPECT_STREQ("09:07:03", oldest.time);
    EXPECT_EQ(std::string("2000/01/0509:07:03"), std::string(state.range.firstEvent, 18));
    EXPECT_EQ(5, oldest.component);
    EXPECT_EQ(7, oldest.module);
    EXPECT_EQ(7, oldest.type);
    const EventEntry& newest = state.table.entries[0];
    EXPECT_EQ(10u, strlen(newest.date));
    EXPECT_EQ(4, newest.component);
    EXPECT_EQ(6, newest.module);
}

TEST_F(LoaderTest, GeneratedWrappedLogLoadsInTimeOrder) {
    GenOptions options;
    options.eventCount = 3000;
    options.wrapped = true;
    options.unknownModulesPerMillion = 20000;
    options.seed = 11;
    LogImage image;
    GenResult result;
    ASSERT_EQ(1, GenerateLogImage(options, &image, &result));
    ASSERT_EQ(0, LoadImage(&state, image, "C:\\PERN.EVT", &fx));
    ASSERT_EQ(result.recordCount, state.table.loadedCount);
    EXPECT_EQ(result.oldestOffset, uint32_t(state.table.fileOrder[state.table.loadedCount - 1]->record -
                                            state.table.recordArea) + 88);
    EXPECT_EQ(result.newestOffset, uint32_t(state.table.fileOrder[0]->record - state.table.recordArea) + 88);
    char previous[18] = {};
    for (uint32_t k = state.table.loadedCount; k-- > 0;) {
        char stamp[18];
        EntryStamp(*state.table.fileOrder[k], stamp);
        EXPECT_LE(memcmp(previous, stamp, 18), 0) << k;
        memcpy(previous, stamp, 18);
    }
}

TEST_F(LoaderTest, StdioOpenerReadsRealFilesAndReportsMissingOnes) {
    std::string path = ::testing::TempDir() + "darvex_loader_PERN.EVT";
    ASSERT_EQ(1, WriteLogImage(BuildBaseLog(), path.c_str()));
    snprintf(state.file.path, sizeof state.file.path, "%s", path.c_str());
    ClearEffects(&fx);
    EXPECT_EQ(0, LoadLog(&state, StdioLogOpener(), &fx));
    EXPECT_EQ(3u, state.table.loadedCount);
    remove(path.c_str());

    std::string missing = ::testing::TempDir() + "darvex_no_such_file.evt";
    snprintf(state.file.path, sizeof state.file.path, "%s", missing.c_str());
    ClearEffects(&fx);
    EXPECT_EQ(kMsgOpenFailed, LoadLog(&state, StdioLogOpener(), &fx));
    EXPECT_EQ('\0', state.file.path[0]);
}

}  // namespace
