#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/path_rules.h"
#include "logfile/loader.h"
#include "test_support.h"

namespace {

struct LoaderTest : StateTest {

    // Record file offsets from the oldest to the newest event.
    std::vector<uint32_t> OffsetsOldestFirst() const {
        std::vector<uint32_t> out;
        for (uint32_t k = state.table.loadedCount; k-- > 0;) {
            out.push_back(uint32_t(state.table.fileOrder[k]->record - state.table.recordArea) + kRecordAreaStart);
        }
        return out;
    }
    std::string Stamp(const char* stamp) const { return std::string(stamp, 18); }
    void ExpectMenus(uint32_t action, std::initializer_list<uint16_t> ids) const {
        for (uint16_t id : ids) EXPECT_EQ(action, LastMenuAction(fx, id)) << id;
    }
};

TEST(LogFormat, MagicsAreComparedOverAllSixteenBytes) {
    uint8_t magic[16] = {};
    memcpy(magic, "PERN.EVT V1.0  ", 15);
    EXPECT_TRUE(IsKnownMagic(magic));
    magic[15] = ' ';   // byte 15 must be the zero byte
    EXPECT_FALSE(IsKnownMagic(magic));
    uint8_t lower[16] = {};
    memcpy(lower, "pern.evt v1.0  ", 15);
    EXPECT_FALSE(IsKnownMagic(lower));
}

// A link may lead anywhere in 32-bit arithmetic (two steps back from 700 to
// 230 before the wrap to the start); only taking a record twice is refused.
TEST_F(LoaderTest, ChainIsFollowedFromTheOldestThroughWrapsAndStepsBack) {
    const std::vector<uint32_t> wrapped = {150, 230, 88};
    const struct {
        BrokenLog log;
        std::vector<uint32_t> offsets;
    } cases[] = {{kEdgeWrappedExample, wrapped},
                 {kEdgeWrapToStartTwo, {88, 143, 202}},
                 {kEdgeTwoStepsBack, std::vector<uint32_t>(kTwoStepsBackOffsets, kTwoStepsBackOffsets + 8)}};
    for (const auto& c : cases) {
        ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(c.log), "C:\\LOGS\\COPY.EVT", &fx));
        EXPECT_EQ(c.offsets, OffsetsOldestFirst()) << kBrokenLogInfo[c.log].name;
        EXPECT_EQ(&state.table.entries[0], state.table.fileOrder[0]);
        EXPECT_EQ("2001/01/0100:00:01", Stamp(state.range.firstEvent));
        EXPECT_EQ(Stamp(state.range.lastEvent), Stamp(state.range.through));
    }
    EXPECT_EQ("2001/01/0100:00:08", Stamp(state.range.lastEvent));
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
            EXPECT_EQ(0u, state.table.loadedCount);
            EXPECT_EQ('\0', state.file.path[0]);
            EXPECT_EQ(0u, state.file.isLive);
            EXPECT_EQ(0u, state.file.currentHeader.recordCount);
            ExpectMenus(kMenuGray, {101, 102, 103, 104, 110, 111, 115, 116, 117});
        }
        ReleaseViewerState(&state);
    }
    InitViewerState(&state);
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeComputerName16), "A.EVT", &fx));
    EXPECT_STREQ("ABCDEFGHIJKLMNOP", state.table.entries[0].computer);
    // A date out of range still takes its ten characters.
    LogImage image = BuildBaseLog();
    RecordSpec odd;
    odd.timeStamp.year = 12345;
    odd.timeStamp.month = 300;
    PlaceRecord(&image, kBaseRecordOffsets[2], odd);
    ASSERT_EQ(0, LoadImage(&state, image, "B.EVT", &fx));
    EXPECT_EQ(10u, strlen(state.table.entries[0].date));
}

TEST_F(LoaderTest, ShortOrUnreadableFilesAreRefused) {
    const LogImage image = BuildBaseLog();
    // Read errors in the record area and in the header.
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, image, "A.EVT", &fx, {nullptr, 0, 100}));
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, image, "A.EVT", &fx, {nullptr, 0, 10}));
    // A record area read in many small pieces is still read whole.
    EXPECT_EQ(0, LoadImage(&state, image, "A.EVT", &fx, {nullptr, 0, SIZE_MAX, 7}));
    EXPECT_EQ(3u, state.table.loadedCount);
}

TEST_F(LoaderTest, ReadOnlyLiveAndEmptyFilesSetTheirMenusAndStatus) {
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "C:\\LOGS\\COPY.EVT", &fx));
    EXPECT_EQ("Write Prohibit", StatusText(fx, 1));
    EXPECT_EQ("Total number of Event3", StatusText(fx, 0));
    ExpectMenus(kMenuGray, {102, 103});
    ExpectMenus(kMenuEnable, {101, 104, 110, 111, 115, 116, 117});
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "C:\\LOGS\\OLD_PERN.EVT.BAK", &fx));
    EXPECT_EQ("<unset>", StatusText(fx, 1));   // LoadLog itself empties it first
    ExpectMenus(kMenuEnable, {102, 103});
    // An empty log keeps the conditions the user chose and grays the event items.
    state.conditions.componentIndex = 3;
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeEmptyWithOldest), "C:\\PERN.EVT", &fx));
    EXPECT_EQ(nullptr, state.table.entries);
    EXPECT_EQ("Total number of Event0", StatusText(fx, 0));
    EXPECT_EQ(3, state.conditions.componentIndex);
    ExpectMenus(kMenuEnable, {101, 117, 103});
    ExpectMenus(kMenuGray, {104, 102, 111, 110, 115, 116});
}

// A read-only file takes the conditions of the last live one, and a failed
// load keeps them and the live header's copy.
TEST_F(LoaderTest, NonLiveFileTakesTheLastLiveFilesConditions) {
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
    EXPECT_EQ(1u, state.saveSettings);
    EXPECT_EQ(kMsgCorrupted, LoadImage(&state, BuildBrokenLog(kBrokenLinkZero), "PERN.EVT", &fx));
    EXPECT_EQ(114, state.liveHeaderCopy.conditions.sortOrder);

    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "COPY.EVT", &fx));
    EXPECT_EQ(114u, state.sortOrder);
    EXPECT_EQ(0, state.conditions.warningType);
    EXPECT_EQ(kViewFiltered, state.viewMode);
}

TEST_F(LoaderTest, EveryFilteringBitOfALiveLogCountsButNotTheOrder) {
    ViewConditions c = DefaultViewConditions();
    c.sortOrder = kOrderModule;
    c.conditionsSaved = 1;
    EXPECT_EQ(kViewAllEvents, DecideViewMode(c));
    c.moduleIndex = 0x10000;   // no module in the low half, still a module filter
    EXPECT_EQ(kViewFiltered, DecideViewMode(c));
    LogImage live = BuildBaseLog();
    SetConditions(&live, ViewConditions{});
    ASSERT_EQ(0, LoadImage(&state, live, "PERN.EVT", &fx));
    EXPECT_EQ(kViewFiltered, state.viewMode);
}

// Shift-JIS names whose second bytes look like ASCII: テスト has 0x65 ('e')
// and 0x67 ('g'), 表 and ソ end in 0x5C ('\'), ケ is 0x83 'P'.
#define TESUTO "\x83\x65\x83\x58\x83\x67"
#define HYOU "\x95\x5c"
#define SO "\x83\x5c"
#define KE "\x83\x50"
#define NIHON "\x93\xfa\x96\x7b"

const AnsiCodePage& kSingle = SingleByteCodePage();
const AnsiCodePage& kSjis = ShiftJisCodePage();

struct PathCase {
    const char* in;
    const char* out;
    const AnsiCodePage& page;
};

TEST(CommandLinePath, QuotesAreRemovedAndTwoHundredSixtyBytesAreRefused) {
    char out[kPathBufferSize];
    EXPECT_EQ(0, TakeCommandLinePath("", kSingle, out));
    EXPECT_STREQ("", out);
    for (const char* line : {"\"C:\\A B\\PERN.EVT\"", "\"C:\\A B\\PERN.EVT", "C:\\A B\\PERN.EVT"}) {
        TakeCommandLinePath(line, kSingle, out);
        EXPECT_STREQ("C:\\A B\\PERN.EVT", out) << line;
    }
    std::string line(259, 'A');
    EXPECT_EQ(0, TakeCommandLinePath(line.c_str(), kSingle, out));
    EXPECT_EQ(line, out);
    line += 'A';
    EXPECT_EQ(kMsgPathTooLong, TakeCommandLinePath(line.c_str(), kSingle, out));
    EXPECT_STREQ("", out);
}

TEST(SaveAsPath, ExtensionOfTheLastComponentBecomesEvt) {
    const std::string longest(257, 'A'), fits(255, 'A'), fitsEvt = fits + ".evt";
    const PathCase cases[] = {
        {"C:\\LOGS\\LOG.EVTX", "C:\\LOGS\\LOG.evt", kSingle},
        {"C:\\MY.DIR\\LOG", "C:\\MY.DIR\\LOG.evt", kSingle},
        {"A.B", "A.B.evt", kSingle},   // shorter than five bytes: appended
        {"A.BCD", "A.evt", kSingle},
        {longest.c_str(), longest.c_str(), kSingle},   // no room for the extension
        {fits.c_str(), fitsEvt.c_str(), kSingle},
        // 表's second byte is 0x5C: walked by bytes, LOG.表 had no extension.
        {"C:\\LOGS\\LOG." HYOU, "C:\\LOGS\\LOG.evt", kSjis},
        {"C:\\" NIHON "\\LOG." SO, "C:\\" NIHON "\\LOG.evt", kSjis},
        {"C:\\LOGS\\LOG." HYOU, "C:\\LOGS\\LOG." HYOU ".evt", kSingle},
    };
    for (const PathCase& c : cases) {
        char out[kPathBufferSize];
        SaveAsPathFromChoice(c.in, c.page, out);
        EXPECT_STREQ(c.out, out) << c.in;
    }
}

TEST(HelpFilePath, ExtensionBecomesHlpOrTheBareNameIsUsed) {
    const PathCase cases[] = {
        {"C:\\X\\DARVEX.EXE2", "C:\\X\\DARVEX.HLP", kSingle},
        {"C:\\APP.DIR\\PROG", "DARVEX.HLP", kSingle},
        {"C:\\" HYOU "\\PROG." HYOU, "C:\\" HYOU "\\PROG.HLP", kSjis},
    };
    for (const PathCase& c : cases) {
        char path[kPathBufferSize];
        snprintf(path, sizeof path, "%s", c.in);
        DeriveHelpFilePath(path, "DARVEX", c.page);
        EXPECT_STREQ(c.out, path) << c.in;
    }
}

TEST(SourcePath, LiveSourceIsFoundAnywhereInThePathUpperCasedByCharacters) {
    const struct {
        const char* path;
        int source;
        const char* upper;
        const AnsiCodePage& page;
    } cases[] = {
        {"c:\\logs\\old_pern.evt.bak", 0, "C:\\LOGS\\OLD_PERN.EVT.BAK", kSingle},
        {"C:\\TOLVA.EVT\\PERN.EVT", 0, "C:\\TOLVA.EVT\\PERN.EVT", kSingle},
        {"d:\\x\\kestram.evt", 3, "D:\\X\\KESTRAM.EVT", kSingle},
        {"C:\\LOGS\\COPY.EVT", -1, "C:\\LOGS\\COPY.EVT", kSingle},
        {"z:\\x\\" TESUTO "\\pern.evt", 0, "Z:\\X\\" TESUTO "\\PERN.EVT", kSjis},
        {"c:\\" HYOU "\\" NIHON "\\old_tolva.evt.bak", 1, "C:\\" HYOU "\\" NIHON "\\OLD_TOLVA.EVT.BAK", kSjis},
        // ケ followed by ERN.EVT holds the bytes "PERN.EVT" from its second byte on.
        {"c:\\logs\\" KE "ern.evt", -1, "C:\\LOGS\\" KE "ERN.EVT", kSjis},
    };
    for (const auto& c : cases) {
        OpenFileState file = {};
        snprintf(file.path, sizeof file.path, "%s", c.path);
        IdentifySource(&file, c.page);
        EXPECT_EQ(c.source, file.sourceIndex) << c.path;
        EXPECT_EQ(c.source >= 0 ? 1u : 0u, file.isLive) << c.path;
        EXPECT_STREQ(c.upper, file.path);
    }
}

}  // namespace
