// darvex-cli list, show, check and stats in-process: rows against the core's,
// filters, the event print, the broken-log catalogue, counts, messages.
#include <sys/stat.h>
#include <unistd.h>

#include "cli/cli_options.h"
#include "dialogs/printing.h"
#include "cli_test_support.h"

namespace {

std::string ListHeader() {
    const PrintTexts& t = g_printTexts;
    const char* titles[] = {t.type, t.date, t.time, t.component, t.module, t.computer};
    char line[kPrintLineSize];
    FormatStrings(line, sizeof line, t.listHeader, titles, 6);
    return line;
}

std::string Row(const EventEntry& e) {
    char line[kPrintLineSize];
    FormatListRow(e, line, sizeof line);
    return line;
}

// 1995 to 2005: both centuries of two-digit years, every type, component and module.
struct GeneratedLog : StateTest {
    LogImage image;
    GenResult result = {};
    std::string path;
    void SetUp() override {
        StateTest::SetUp();
        GenOptions o;
        o.eventCount = 300;
        o.firstYear = 1995;
        o.lastYear = 2005;
        o.unknownModulesPerMillion = 20000;
        o.japanesePercent = 0;
        o.wrapped = true;
        ASSERT_EQ(GenerateLogImage(o, &image, &result), 1);
        path = WriteLog(image, "generated.evt");
        ASSERT_EQ(LoadImage(&state, image, "generated.evt", &fx), 0);
    }
    // The rows the filter must keep, newest first, tested field by field.
    std::vector<std::string> Expected(uint16_t types, uint16_t component, uint32_t moduleCode, const char* from,
                                      const char* through) {
        std::vector<std::string> rows;
        for (uint32_t i = 0; i < state.table.loadedCount; ++i) {
            const EventEntry& e = *state.table.fileOrder[i];
            const std::string stamp = std::string(e.date) + " " + e.time;
            if ((e.type & types) && e.component == component && e.module == moduleCode && stamp >= from &&
                stamp <= through) {
                rows.push_back(Row(e));
            }
        }
        return rows;
    }
};

TEST_F(GeneratedLog, ListPrintsTheCoreRowsInEachOrder) {
    for (const auto& o : {std::make_pair("newest", kOrderNewestFirst), std::make_pair("oldest", kOrderOldestFirst),
                          std::make_pair("module", kOrderModule)}) {
        OrderEvents(&state.table, o.second);
        std::vector<std::string> expected = {ListHeader()};
        for (uint32_t i = 0; i < state.table.loadedCount; ++i) expected.push_back(Row(*state.table.displayOrder[i]));
        CliResult r = Cli({"list", path, "--order", o.first});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(Lines(r.out), expected) << o.first;
    }
}

TEST_F(GeneratedLog, FilterOptionsKeepTheMatchingRowsAndReadTwoDigitYears) {
    // Component 1 with module index 2 (module code 1); 99 is 1999, 03 is 2003.
    std::vector<std::string> expected =
        Expected(kTypeError | kTypeInformation, 1, 1, "1999/06/01 00:00:00", "2003/01/01 12:00:00");
    ASSERT_GT(expected.size(), 3u);
    CliResult r = Cli({"list", path, "--no-header", "--types=error,information", "--component", "HALDOR/PERN",
                       "--module", "2", "--from", "99/06/01 00:00:00", "--through", "03/01/01 12:00:00"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), expected);
    CliResult full = Cli({"list", path, "--no-header", "--types", "information,error", "--component", "1",
                          "--module", "2", "--from", "1999/06/01 00:00:00", "--through=2003/01/01 12:00:00"});
    EXPECT_EQ(full.out, r.out);

    // Unknown sources are component 5 and module index 8 by number or name.
    CliResult unknown = Cli({"list", path, "--no-header", "--component", "unknown", "--module", "8"});
    EXPECT_EQ(Lines(unknown.out), Expected(7, 5, 7, "", "9"));
    // The two HALDOR/PERN modules cannot be told apart by name.
    EXPECT_EQ(Cli({"list", path, "--module", "haldor/pern"}).status, kExitUsage);

    char stamp[kStampSize];
    ASSERT_EQ(ParseStampArgument("89/12/31 23:59:59", stamp), 1);
    EXPECT_EQ(std::string(stamp, kStampSize), "2089/12/3123:59:59");
    ASSERT_EQ(ParseStampArgument("90/1/2 3:04:05", stamp), 1);
    EXPECT_EQ(std::string(stamp, kStampSize), "1990/01/0203:04:05");
    for (const char* bad : {"1999/13/01 00:00:00", "99/01/01", "199/01/01 00:00:00", "99/01/01 24:00:00",
                            "99/01/01 00:00:00x", "99-01-01 00:00:00"}) {
        EXPECT_EQ(ParseStampArgument(bad, stamp), 0) << bad;
    }
    // The Filter dialog's refusal of a start after the end.
    CliResult refused = Cli({"list", path, "--from", "03/01/01 00:00:00", "--through", "99/01/01 00:00:00"});
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_NE(refused.err.find("darvex-cli: If date / time of the commencement"), std::string::npos);
}

TEST_F(StateTest, SavedAppliesTheHeadersConditionsAndOrder) {
    const SyntheticEvent events[] = {
        {kTypeError, 0, "2001/01/01 00:00:04", "d"},
        {kTypeWarning, 2, "2001/01/01 00:00:03", "c"},
        {3, 0, "2001/01/01 00:00:02", "b"},   // a type no filter choice selects
        {kTypeError, 0, "2001/01/01 00:00:01", "a"},
    };
    BuildSyntheticTable(&state, events, 4);
    // The same events with conditions saved: errors only, oldest first.
    LogImage image = SyntheticLogImage(events, 4);
    ViewConditions c = DefaultViewConditions();
    c.warningType = 0;
    c.informationType = 0;
    c.sortOrder = kOrderOldestFirst;
    c.conditionsSaved = 1;
    SetConditions(&image, c);
    // A live log's name: the load takes its conditions, which count only with --saved.
    const std::string path = WriteLog(image, "PERN.EVT");
    const EventEntry* e = state.table.entries;

    EXPECT_EQ(Lines(Cli({"list", "--no-header", path}).out),   // newest first unless told
              (std::vector<std::string>{Row(e[0]), Row(e[1]), Row(e[2]), Row(e[3])}));
    EXPECT_EQ(Lines(Cli({"list", path, "--no-header", "--saved"}).out),
              (std::vector<std::string>{Row(e[3]), Row(e[0])}));
    EXPECT_EQ(Lines(Cli({"list", path, "--no-header", "--saved", "--order", "newest", "--types", "warning,error"}).out),
              (std::vector<std::string>{Row(e[0]), Row(e[1]), Row(e[3])}));
}

// One event with a Japanese description of two lines and 20 data bytes.
struct ShownEvent : ::testing::Test {
    std::string Write(const char* description, const char* name) {
        static const uint8_t data[20] = {0x41, 0x42, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0x83};
        RecordSpec r;
        r.timeStamp = MakeRecordTime(1998, 7, 6, 5, 4, 3);
        r.moduleCode = 6;
        r.type = kTypeWarning;
        r.text = description;
        r.data = data;
        r.dataByteCount = sizeof data;
        LogImage image;
        InitLogImage(&image, 0, kRecordAreaStart + RecordSpecSize(r));
        PlaceRecord(&image, kRecordAreaStart, r);
        SetRecordCount(&image, 1);
        SetOldestOffset(&image, kRecordAreaStart);
        return WriteLog(image, name);
    }
};

TEST_F(ShownEvent, ShowPrintsTheFieldsTheDescriptionAndTheDumpInUtf8OrTheLogsCodePage) {
    const std::string path = Write("\x83\x65\x83\x58\x83\x67\r\n\x8d\x73", "japanese.evt");
    CliResult r = Cli({"show", path, "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    // The dump's character column holds a LF and a CR of the data: compare the text.
    EXPECT_EQ(r.out,
              "Date           :  98/07/06\n"
              "Time           :  05:04:03\n"
              "Computer       :  TESTPC\n"
              "\n"
              "Component      :  Setup Tool      \n"
              "Module         :  HALKESTR\n"
              "Type           :  Warnin\n"
              "\n"
              "\n"
              "Description    :  \n"
              "\n"
              "      \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\n"
              "      \xE8\xA1\x8C\n"
              "\n"
              "Data            :\n"
              "\n"
              "      0000: 41 42 00 01 02 03 04 05      AB.\x01\x02\x03\x04\x05\n"
              "      0008: 06 07 08 09 0A 0B 0C 0D      \x06\x07\x08\t\n\x0B\x0C\r\n"
              // The lead byte 0x83 has no second byte on its line: "." under 932.
              "      0010: 0E 0F 10 83                  \x0E\x0F\x10.\n");

    CliResult raw = Cli({"show", path, "0", "--raw", "--dump", "word"});
    EXPECT_NE(raw.out.find("\n      \x83\x65\x83\x58\x83\x67\n      \x8d\x73\n"), std::string::npos);
    EXPECT_NE(raw.out.find("\n      0000: 01004241 05040302 09080706 0D0C0B0A\n      0010: 83100F0E\n"),
              std::string::npos);
    // Under 1252 the same bytes are Latin letters, and the last data byte is a character.
    CliResult latin = Cli({"show", path, "0", "--codepage", "1252"});
    EXPECT_NE(latin.out.find("      \xC6\x92" "e\xC6\x92X\xC6\x92g\n"), std::string::npos);
    EXPECT_NE(latin.out.find("\x0E\x0F\x10\xC6\x92\n"), std::string::npos);

    EXPECT_EQ(Cli({"show", path, "1"}).status, kExitUsage);
    EXPECT_EQ(Cli({"show", path}).status, kExitUsage);

    // 0xE9 is a lead byte whose second byte here is not a Shift-JIS one: the log is read as 1252.
    EXPECT_NE(Cli({"show", Write("caf\xE9!", "latin.evt"), "0"}).out.find("\n      caf\xC3\xA9!\n"), std::string::npos);
    // An empty description prints one line of blanks.
    CliResult empty = Cli({"show", Write("", "empty.evt"), "0"});
    EXPECT_NE(empty.out.find("Description    :  \n\n      \n\nData"), std::string::npos);
}

TEST(CliCheck, EveryCatalogueLogIsJudgedAsTheLoaderJudgesIt) {
    // The fault each refused log is to be reported with.
    const struct {
        BrokenLog variant;
        const char* fault;
    } kinds[] = {
        {kBrokenShortHeader, "header shorter"}, {kBrokenUnknownMagic, "unknown magic"},
        {kBrokenPernMagicNoSpace, "unknown magic"}, {kBrokenAreaBeyondFile, "past the end of the file"},
        {kBrokenCountExceedsArea, "count too large"}, {kBrokenCountHuge, "count too large"},
        {kBrokenChainLeavesArea, "out of the record area"}, {kBrokenLinkZero, "link 0"},
        {kBrokenFixedPartCrossesEnd, "crossing the end"}, {kBrokenDescriptionCrossesEnd, "crossing the end"},
        {kBrokenDataCrossesEnd, "crossing the end"}, {kBrokenDescriptionNoZero, "zero byte"},
        {kBrokenChainRevisits, "comes back"}, {kBrokenWrapsToItself, "comes back"},
        {kBrokenRevisitAfterStepsBack, "comes back"}, {kBrokenOldestBelowArea, "out of the record area"},
        {kBrokenAreaStartNot88, ""}, {kBrokenAreaEndBelow88, "past the end of the file"},
    };
    for (int v = 0; v < kBrokenLogCount; ++v) {
        const BrokenLogInfo& info = kBrokenLogInfo[v];
        const std::string path = WriteLog(BuildBrokenLog(info.variant), info.name);
        CliResult check = Cli({"check", path});
        CliResult list = Cli({"list", path});
        if (info.expectedMessage == kExpectLoads) {
            EXPECT_EQ(check.status, kExitOk) << info.name << check.out;
            EXPECT_EQ(check.out, "well formed: " + std::to_string(info.expectedEvents) + " events\n");
            EXPECT_EQ(list.status, kExitOk) << info.name;
            continue;
        }
        EXPECT_EQ(check.status, kExitBroken) << info.name << check.out;
        EXPECT_EQ(check.out.rfind("broken at file offset ", 0), 0u) << info.name;
        for (const auto& k : kinds) {
            if (k.variant == info.variant) {
                EXPECT_NE(check.out.find(k.fault), std::string::npos) << info.name << check.out;
            }
        }
        // The load's own message and status for the same file.
        const bool read = info.expectedMessage == kExpectReadFailed;
        EXPECT_EQ(list.status, read ? kExitReadFailed : kExitCorrupted) << info.name;
        EXPECT_EQ(list.err, read ? "darvex-cli: Failed to read the event log file.\n"
                                 : "darvex-cli: Event log file is corrupted.\n");
        EXPECT_EQ(list.out, "");
    }
    // Where: the middle record's link of 0; the oldest record taken again by the fifth step.
    EXPECT_EQ(Cli({"check", TempPath("link-zero")}).out,
              "broken at file offset 88: link 0 (record 0 of 3, counted from the oldest)\n");
    EXPECT_EQ(Cli({"check", TempPath("chain-revisits")}).out,
              "broken at file offset 88: chain comes back to a record: shorter than the record count "
              "(record 3 of 4, counted from the oldest)\n");
}

TEST_F(GeneratedLog, StatsCountsAgreeWithTheGenerator) {
    CliResult r = Cli({"stats", path});
    ASSERT_EQ(r.status, 0);
    auto count = [&](const std::string& label) {
        const size_t at = r.out.find("  " + label + " ");
        if (at == std::string::npos) return -1L;
        return atol(r.out.c_str() + r.out.find_first_not_of(' ', at + 2 + label.size()));
    };
    const char* const types[] = {"Error", "Warning", "Information"};
    for (int t = 0; t < 3; ++t) EXPECT_EQ(count(types[t]), long(result.typeCounts[t])) << types[t];
    const size_t modules = r.out.find("Module:\n");
    ASSERT_NE(modules, std::string::npos);
    const std::vector<std::string> lines = Lines(r.out.substr(modules));
    ASSERT_EQ(lines.size(), 9u);
    for (int m = 0; m < 8; ++m) {
        EXPECT_EQ(atol(lines[size_t(m + 1)].c_str() + lines[size_t(m + 1)].rfind(' ')), long(result.moduleCounts[m]));
    }
    EXPECT_EQ(count("1 HALDOR/PERN"), long(result.moduleCounts[0] + result.moduleCounts[1]));
    EXPECT_EQ(count("5 unknown"), long(result.moduleCounts[7]));
    EXPECT_NE(r.out.find("Events: 300\n"), std::string::npos);
    char oldest[kStampSize], newest[kStampSize];
    EntryStamp(*state.table.fileOrder[state.table.loadedCount - 1], oldest);
    EntryStamp(*state.table.fileOrder[0], newest);
    EXPECT_NE(r.out.find("First event: " + std::string(oldest, 10) + " " + std::string(oldest + 10, 8) + "\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Last event: " + std::string(newest, 10) + " " + std::string(newest + 10, 8) + "\n"),
              std::string::npos);
}

TEST(CliMessages, FailuresGoToStandardErrorWithTheirStatus) {
    CliResult missing = Cli({"list", TempPath("no-such-file")});
    EXPECT_EQ(missing.status, kExitOpenFailed);
    EXPECT_EQ(missing.err, "darvex-cli: Failed to open the event log file.\n");
    EXPECT_EQ(missing.out, "");
    if (geteuid() != 0) {   // root reads a file of mode 000 all the same
        const std::string locked = WriteLog(BuildBaseLog(), "locked.evt");
        chmod(locked.c_str(), 0);
        CliResult denied = Cli({"stats", locked});
        EXPECT_EQ(denied.status, kExitOpenFailed);
        EXPECT_EQ(denied.err, "darvex-cli: Access to the event log file is rejected.\n");
    }
    CliResult unknown = Cli({"list", "x.evt", "--bogus"});
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_EQ(unknown.err, "darvex-cli: unknown option: --bogus\nTry 'darvex-cli --help'.\n");
    EXPECT_EQ(Cli({"check", "x.evt", "--order", "newest"}).status, kExitUsage);
    EXPECT_EQ(Cli({"list", "x.evt", "--order", "sideways"}).status, kExitUsage);
    EXPECT_EQ(Cli({"frobnicate"}).status, kExitUsage);
    EXPECT_EQ(Cli({}).status, kExitUsage);

    EXPECT_EQ(Cli({"show", "--help"}).out.rfind("Usage: darvex-cli show", 0), 0u);
    CliResult version = Cli({"--version"});
    EXPECT_EQ(version.out, "darvex-cli " + std::string(DARVEX_VERSION_TEXT) + "\n");
}

}  // namespace
