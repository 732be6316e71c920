#include "app/path_rules.h"
#include "logfile/save_as.h"
#include "test_support.h"

namespace {

struct LoaderTest : StateTest {
    std::vector<uint32_t> OffsetsOldestFirst() const {
        std::vector<uint32_t> out;
        for (uint32_t k = state.table.loadedCount; k-- > 0;) {
            out.push_back(uint32_t(state.table.fileOrder[k]->record - state.table.recordArea) + kRecordAreaStart);
        }
        return out;
    }
    void ExpectMenus(uint32_t action, std::initializer_list<uint16_t> ids) const {
        for (uint16_t id : ids) EXPECT_EQ(action, LastMenuAction(fx, id)) << id;
    }
};


// A link may lead anywhere (two steps back before the wrap); only taking a record twice is refused.
TEST_F(LoaderTest, ChainIsFollowedFromTheOldestThroughWrapsAndStepsBack) {
    const std::pair<BrokenLog, std::vector<uint32_t>> cases[] = {
        {kEdgeWrappedExample, {150, 230, 88}},
        {kEdgeWrapToStartTwo, {88, 143, 202}},
        {kEdgeTwoStepsBack, std::vector<uint32_t>(kTwoStepsBackOffsets, kTwoStepsBackOffsets + 8)}};
    for (const auto& c : cases) {
        ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(c.first), "C:\\LOGS\\COPY.EVT", &fx));
        EXPECT_EQ(c.second, OffsetsOldestFirst()) << kBrokenLogInfo[c.first].name;
        EXPECT_EQ("2001/01/0100:00:01", std::string(state.range.firstEvent, 18));
        EXPECT_EQ(std::string(state.range.lastEvent, 18), std::string(state.range.through, 18));
    }
    EXPECT_EQ("2001/01/0100:00:08", std::string(state.range.lastEvent, 18));
}

TEST_F(LoaderTest, EveryCatalogueLogGivesItsOutcomeAndShortOrFailedReadsAreRefused) {
    for (int v = 0; v < kBrokenLogCount; ++v) {
        const BrokenLogInfo& info = kBrokenLogInfo[v];
        SCOPED_TRACE(info.name);
        InitViewerState(&state);
        const int result = LoadImage(&state, BuildBrokenLog(BrokenLog(v)), "C:\\LOGS\\PERN.EVT", &fx);
        EXPECT_EQ(int(info.expectedMessage), result);
        if (result == 0) {
            EXPECT_EQ(info.expectedEvents, state.table.loadedCount);
        } else {   // no table, no path, a zero header, nothing live
            EXPECT_EQ(nullptr, state.table.entries);
            EXPECT_EQ(0u, state.table.loadedCount + state.file.isLive + state.file.currentHeader.recordCount);
            EXPECT_EQ('\0', state.file.path[0]);
            ExpectMenus(kMenuGray, {101, 102, 103, 104, 110, 111, 115, 116, 117});
        }
        ReleaseViewerState(&state);
    }
    uint8_t magic[16] = "PERN.EVT V1.0  ";   // magics are compared over all sixteen bytes
    EXPECT_TRUE(IsKnownMagic(magic));
    EXPECT_FALSE(IsKnownMagic((magic[15] = ' ', magic)));
    InitViewerState(&state);
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeComputerName16), "A.EVT", &fx));
    EXPECT_STREQ("ABCDEFGHIJKLMNOP", state.table.entries[0].computer);
    LogImage image = BuildBaseLog();
    RecordSpec odd;   // a date out of range still takes its ten characters
    odd.timeStamp.year = 12345;
    odd.timeStamp.month = 300;
    PlaceRecord(&image, kBaseRecordOffsets[2], odd);
    ASSERT_EQ(0, LoadImage(&state, image, "B.EVT", &fx));
    EXPECT_EQ(10u, strlen(state.table.entries[0].date));
    LogImage shortArea = BuildBaseLog();   // the newest record's last byte past the area
    SetRecordAreaEnd(&shortArea, kBaseRecordAreaEnd - 1);
    EXPECT_EQ(kMsgCorrupted, LoadImage(&state, shortArea, "A.EVT", &fx));
    // Read errors in the record area and in the header; many short reads still read it whole.
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, image, "A.EVT", &fx, {nullptr, 0, 100}));
    EXPECT_EQ(kMsgReadFailed, LoadImage(&state, image, "A.EVT", &fx, {nullptr, 0, 10}));
    EXPECT_EQ(0, LoadImage(&state, image, "A.EVT", &fx, {nullptr, 0, SIZE_MAX, 7}));
    EXPECT_EQ(3u, state.table.loadedCount);
}

TEST_F(LoaderTest, ReadOnlyLiveAndEmptyFilesSetTheirMenusAndStatus) {
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "C:\\LOGS\\COPY.EVT", &fx));
    EXPECT_EQ("Total number of Event3|Write Prohibit", StatusText(fx, 0) + "|" + StatusText(fx, 1));
    ExpectMenus(kMenuGray, {102, 103});
    ExpectMenus(kMenuEnable, {101, 104, 110, 111, 115, 116, 117});
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "C:\\LOGS\\OLD_PERN.EVT.BAK", &fx));
    ExpectMenus(kMenuEnable, {102, 103});
    state.conditions.componentIndex = 3;   // an empty log keeps the user's conditions, grays the event items
    ASSERT_EQ(0, LoadImage(&state, BuildBrokenLog(kEdgeEmptyWithOldest), "C:\\PERN.EVT", &fx));
    EXPECT_EQ("Total number of Event0", StatusText(fx, 0));
    EXPECT_EQ(3, state.conditions.componentIndex);
    ExpectMenus(kMenuEnable, {101, 117, 103});
    ExpectMenus(kMenuGray, {104, 102, 111, 110, 115, 116});
}

// A read-only file takes the last live one's conditions, kept by a failed load; the order filters nothing.
TEST_F(LoaderTest, NonLiveFileTakesTheLastLiveFilesConditions) {
    LogImage live = BuildBaseLog();
    ViewConditions saved = DefaultViewConditions();
    saved.warningType = 0;
    saved.sortOrder = 114;
    saved.conditionsSaved = 1;
    SetConditions(&live, saved);
    ASSERT_EQ(0, LoadImage(&state, live, "C:\\LOGS\\TOLVA.EVT", &fx));
    EXPECT_EQ(1u, state.saveSettings);
    EXPECT_EQ(kMsgCorrupted, LoadImage(&state, BuildBrokenLog(kBrokenLinkZero), "PERN.EVT", &fx));
    ASSERT_EQ(0, LoadImage(&state, BuildBaseLog(), "COPY.EVT", &fx));
    EXPECT_EQ(114u, state.sortOrder);
    EXPECT_EQ(0, state.conditions.warningType);
    EXPECT_EQ(kViewFiltered, state.viewMode);

    ViewConditions c = DefaultViewConditions();
    c.sortOrder = kOrderModule;
    EXPECT_EQ(kViewAllEvents, DecideViewMode(c));
    c.moduleIndex = 0x10000;   // no module in the low half, still a module filter
    EXPECT_EQ(kViewFiltered, DecideViewMode(c));
}

// Shift-JIS second bytes like ASCII: 表 ends in 0x5C ('\'), ケ is 0x83 'P', テ 0x83 'e'.
#define HYOU "\x95\x5c"
#define KE "\x83\x50"
#define NIHON "\x93\xfa\x96\x7b"

const AnsiCodePage &kSingle = SingleByteCodePage(), &kSjis = ShiftJisCodePage();

TEST(CommandLinePath, QuotesAreRemovedAndTwoHundredSixtyBytesAreRefused) {
    char out[kPathBufferSize];
    for (const char* line : {"\"C:\\A B\\PERN.EVT\"", "\"C:\\A B\\PERN.EVT"}) {
        EXPECT_EQ(0, TakeCommandLinePath(line, kSingle, out));
        EXPECT_STREQ("C:\\A B\\PERN.EVT", out) << line;
    }
    std::string line(259, 'A');
    EXPECT_EQ(0, TakeCommandLinePath(line.c_str(), kSingle, out));
    EXPECT_EQ(line, out);
    line += 'A';
    EXPECT_EQ(kMsgPathTooLong, TakeCommandLinePath(line.c_str(), kSingle, out));
    EXPECT_STREQ("", out);
}

// Save As's ".evt" and the help file's "HLP" (the bare name without an extension).
TEST(PathRules, ExtensionOfTheLastComponentIsFoundByCharacters) {
    const std::string longest(256, 'A'), longDot = longest + ".BC", fits(255, 'A'), fitsEvt = fits + ".evt";
    const struct { bool help; const char* in; const char* out; const AnsiCodePage& page; } cases[] = {
        {false, "C:\\MY.DIR\\LOG", "C:\\MY.DIR\\LOG.evt", kSingle},
        {false, "A.B", "A.B.evt", kSingle},   // shorter than five bytes: appended
        {false, "A.BCD", "A.evt", kSingle},
        {false, longest.c_str(), longest.c_str(), kSingle},   // no room for the extension
        {false, longDot.c_str(), longDot.c_str(), kSingle},        {false, fits.c_str(), fitsEvt.c_str(), kSingle},
        // 表's second byte is 0x5C: walked by bytes, LOG.表 had no extension.
        {false, "C:\\LOGS\\LOG." HYOU, "C:\\LOGS\\LOG.evt", kSjis},
        {false, "C:\\LOGS\\LOG." HYOU, "C:\\LOGS\\LOG." HYOU ".evt", kSingle},
        {true, "C:\\X\\DARVEX.EXE2", "C:\\X\\DARVEX.HLP", kSingle},
        {true, "C:\\APP.DIR\\PROG", "DARVEX.HLP", kSingle},
        {true, "C:\\" HYOU "\\PROG." HYOU, "C:\\" HYOU "\\PROG.HLP", kSjis},
    };
    for (const auto& c : cases) {
        char out[kPathBufferSize];
        snprintf(out, sizeof out, "%s", c.in);
        if (c.help) DeriveHelpFilePath(out, "DARVEX", c.page);
        else SaveAsPathFromChoice(c.in, c.page, out);
        EXPECT_STREQ(c.out, out) << c.in;
    }
}

TEST(SourcePath, LiveSourceIsFoundAnywhereInThePathUpperCasedByCharacters) {
    const struct { const char* path; int source; const char* upper; const AnsiCodePage& page; } cases[] = {
        {"c:\\logs\\old_pern.evt.bak", 0, "C:\\LOGS\\OLD_PERN.EVT.BAK", kSingle},
        {"C:\\TOLVA.EVT\\PERN.EVT", 0, "C:\\TOLVA.EVT\\PERN.EVT", kSingle},
        {"c:\\" HYOU "\\" NIHON "\\old_tolva.evt.bak", 1, "C:\\" HYOU "\\" NIHON "\\OLD_TOLVA.EVT.BAK", kSjis},
        // ケ followed by ERN.EVT holds the bytes "PERN.EVT" from its second byte on.
        {"c:\\\x83\x65\\" KE "ern.evt", -1, "C:\\\x83\x65\\" KE "ERN.EVT", kSjis},
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

// A Save As copy's sink: at most 100 bytes a call (the header goes whole); fails, or writes nothing, at a call.
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

TEST_F(LogCopyTest, CopyIsTheHeaderAndAreaAsLoadedAFailedWriteStopsAndAnEmptyLogsIsItsHeader) {
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
    LogImage empty;   // the previous log's area is still held; an empty log's copy must not use it
    InitLogImage(&empty, 1, 4096);
    SetOldestOffset(&empty, 200);
    ASSERT_EQ(0, LoadImage(&state, empty, "C:\\LOGS\\TOLVA.EVT", &fx));
    MemorySink header;
    ASSERT_EQ(1, WriteLogCopy(state, header.Sink()));
    EXPECT_EQ(std::vector<uint8_t>(empty.bytes.begin(), empty.bytes.begin() + 88), header.bytes);
}

}  // namespace
