// darvex-cli list, show, check and stats in-process: rows against the core's,
// filters, the event print's texts, the broken-log catalogue, counts, messages.
#include <sys/stat.h>

#include "cli/cli_options.h"
#include "dialogs/printing.h"
#include "cli_test_support.h"

namespace {

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
        std::vector<std::string> expected = {" Type    Date      Time      Component    Module    Computer "};
        for (uint32_t i = 0; i < state.table.loadedCount; ++i) expected.push_back(Row(*state.table.displayOrder[i]));
        const CliResult r = Cli({"list", path, "--order", o.first});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(Lines(r.out), expected) << o.first;
    }
}

TEST_F(GeneratedLog, FilterOptionsKeepTheMatchingRowsAndReadTwoDigitYears) {
    // Component 1 with module index 2 (module code 1); 99 is 1999, 03 is 2003.
    const std::vector<std::string> expected =
        Expected(kTypeError | kTypeInformation, 1, 1, "1999/06/01 00:00:00", "2003/01/01 12:00:00");
    ASSERT_GT(expected.size(), 3u);
    const CliResult r = Cli({"list", path, "--no-header", "--types=error,information", "--component", "HALDOR/PERN",
                             "--module", "2", "--from", "99/06/01 00:00:00", "--through", "03/01/01 12:00:00"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), expected);
    EXPECT_EQ(Cli({"list", path, "--no-header", "--types", "information,error", "--component", "1", "--module", "2",
                   "--from", "1999/06/01 00:00:00", "--through=2003/01/01 12:00:00"}).out,
              r.out);
    // Unknown sources are component 5 and module index 8, by number or name.
    EXPECT_EQ(Lines(Cli({"list", path, "--no-header", "--component", "unknown", "--module", "8"}).out),
              Expected(7, 5, 7, "", "9"));
    // The two HALDOR/PERN modules cannot be told apart by name.
    EXPECT_EQ(Cli({"list", path, "--module", "haldor/pern"}).status, kExitUsage);
    char stamp[kStampSize];
    ASSERT_EQ(ParseStampArgument("90/1/2 3:04:05", stamp), 1);
    EXPECT_EQ(std::string(stamp, kStampSize), "1990/01/0203:04:05");
    for (const char* bad : {"1999/13/01 00:00:00", "99/01/01", "199/01/01 00:00:00", "99/01/01 24:00:00",
                            "99/01/01 00:00:00x", "99-01-01 00:00:00"}) {
        EXPECT_EQ(ParseStampArgument(bad, stamp), 0) << bad;
    }
    // The Filter dialog's refusal of a start after the end.
    const CliResult refused = Cli({"list", path, "--from", "03/01/01 00:00:00", "--through", "99/01/01 00:00:00"});
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
    // Saved: errors only, oldest first. A live log's name: the load takes
    // the conditions, which count only with --saved.
    LogImage image = SyntheticLogImage(events, 4);
    ViewConditions c = DefaultViewConditions();
    c.warningType = c.informationType = 0;
    c.sortOrder = kOrderOldestFirst;
    c.conditionsSaved = 1;
    SetConditions(&image, c);
    const std::string path = WriteLog(image, "PERN.EVT");
    const EventEntry* e = state.table.entries;
    EXPECT_EQ(Lines(Cli({"list", "--no-header", path}).out),
              (std::vector<std::string>{Row(e[0]), Row(e[1]), Row(e[2]), Row(e[3])}));
    EXPECT_EQ(Lines(Cli({"list", path, "--no-header", "--saved"}).out), (std::vector<std::string>{Row(e[3]), Row(e[0])}));
    EXPECT_EQ(Lines(Cli({"list", path, "--no-header", "--saved", "--order", "newest", "--types", "warning,error"}).out),
              (std::vector<std::string>{Row(e[0]), Row(e[1]), Row(e[3])}));
}

// One event with the description given and 20 data bytes, the last a lead byte.
std::string WriteShownEvent(const char* description, const char* name) {
    static const uint8_t data[20] = {0x41, 0x42, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0x83};
    const SyntheticEvent event = {kTypeWarning, 6, "1998/07/0605:04:03", description, data, sizeof data};
    return WriteLog(SyntheticLogImage(&event, 1), name);
}

// The print's layout is the printing's own; show converts its texts to UTF-8.
TEST(CliShow, PrintsTheDescriptionAndTheDumpInUtf8OrTheLogsCodePage) {
    const std::string path = WriteShownEvent("\x83\x65\x83\x58\x83\x67\r\n\x8d\x73", "japanese.evt");
    const CliResult r = Cli({"show", path, "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Date           :  98/07/06\nTime           :  05:04:03\n", 0), 0u) << r.out;
    const char* const shown[] = {
        "\nDescription    :  \n\n      \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\n      \xE8\xA1\x8C\n\nData            :\n\n",
        // The character column holds a LF and a CR of the data; the lead byte
        // 0x83 has no second byte on its line: "." under 932.
        "      0008: 06 07 08 09 0A 0B 0C 0D      \x06\x07\x08\t\n\x0B\x0C\r\n",
        "      0010: 0E 0F 10 83                  \x0E\x0F\x10.\n"};
    for (const char* text : shown) EXPECT_NE(r.out.find(text), std::string::npos) << text;
    const std::string raw = Cli({"show", path, "0", "--raw", "--dump", "word"}).out;
    EXPECT_NE(raw.find("\n      \x83\x65\x83\x58\x83\x67\n      \x8d\x73\n"), std::string::npos);
    EXPECT_NE(raw.find("\n      0000: 01004241 05040302 09080706 0D0C0B0A\n      0010: 83100F0E\n"), std::string::npos);
    // Under 1252 the same bytes are Latin letters, and the last data byte is a character.
    const std::string latin = Cli({"show", path, "0", "--codepage", "1252"}).out;
    EXPECT_NE(latin.find("      \xC6\x92" "e\xC6\x92X\xC6\x92g\n"), std::string::npos);
    EXPECT_NE(latin.find("\x0E\x0F\x10\xC6\x92\n"), std::string::npos);
    EXPECT_EQ(Cli({"show", path, "1"}).status, kExitUsage);
    EXPECT_EQ(Cli({"show", path}).status, kExitUsage);
    // 0xE9 is a lead byte whose second byte here is not a Shift-JIS one: the log is read as 1252.
    EXPECT_NE(Cli({"show", WriteShownEvent("caf\xE9!", "latin.evt"), "0"}).out.find("\n      caf\xC3\xA9!\n"),
              std::string::npos);
}

TEST(CliCheck, EveryCatalogueLogIsJudgedAsTheLoaderJudgesIt) {
    // The fault each refused log is reported with, in catalogue order.
    const char* const faults[] = {
        "header shorter", "unknown magic", "unknown magic", "past the end of the file", "count too large",
        "count too large", "out of the record area", "link 0", "crossing the end", "crossing the end",
        "crossing the end", "zero byte", "comes back", "comes back", "comes back", "out of the record area",
        "", "past the end of the file"};
    for (int v = 0; v < kBrokenLogCount; ++v) {
        const BrokenLogInfo& info = kBrokenLogInfo[v];
        const CliResult check = Cli({"check", WriteLog(BuildBrokenLog(info.variant), info.name)});
        if (info.expectedMessage == kExpectLoads) {
            EXPECT_EQ(check.status, kExitOk) << info.name << check.out;
            EXPECT_EQ(check.out, "well formed: " + std::to_string(info.expectedEvents) + " events\n");
        } else {
            EXPECT_EQ(check.status, kExitBroken) << info.name << check.out;
            EXPECT_EQ(check.out.rfind("broken at file offset ", 0), 0u) << info.name;
            EXPECT_NE(check.out.find(faults[v]), std::string::npos) << info.name << check.out;
        }
    }
    // Where: the middle record's link of 0; the oldest record taken again by the fifth step.
    EXPECT_EQ(Cli({"check", TempPath("link-zero")}).out,
              "broken at file offset 88: link 0 (record 0 of 3, counted from the oldest)\n");
    EXPECT_EQ(Cli({"check", TempPath("chain-revisits")}).out,
              "broken at file offset 88: chain comes back to a record: shorter than the record count "
              "(record 3 of 4, counted from the oldest)\n");
}

TEST_F(GeneratedLog, StatsCountsAgreeWithTheGenerator) {
    const CliResult r = Cli({"stats", path});
    ASSERT_EQ(r.status, 0);
    auto count = [&](const std::string& label) {
        const size_t at = r.out.find("  " + label + " ");
        return at == std::string::npos ? -1L : atol(r.out.c_str() + r.out.find_first_not_of(' ', at + 2 + label.size()));
    };
    const char* const types[] = {"Error", "Warning", "Information"};
    for (int t = 0; t < 3; ++t) EXPECT_EQ(count(types[t]), long(result.typeCounts[t])) << types[t];
    const std::vector<std::string> modules = Lines(r.out.substr(r.out.find("Module:\n")));
    ASSERT_EQ(modules.size(), 9u);
    for (size_t m = 1; m < 9; ++m) EXPECT_EQ(atol(modules[m].c_str() + modules[m].rfind(' ')), long(result.moduleCounts[m - 1]));
    EXPECT_EQ(count("1 HALDOR/PERN"), long(result.moduleCounts[0] + result.moduleCounts[1]));
    EXPECT_EQ(count("5 unknown"), long(result.moduleCounts[7]));
    char oldest[kStampSize], newest[kStampSize];
    EntryStamp(*state.table.fileOrder[state.table.loadedCount - 1], oldest);
    EntryStamp(*state.table.fileOrder[0], newest);
    EXPECT_NE(r.out.find("Events: 300\nFirst event: " + std::string(oldest, 10) + " " + std::string(oldest + 10, 8) +
                         "\nLast event: " + std::string(newest, 10) + " " + std::string(newest + 10, 8) + "\n"),
              std::string::npos);
}

// Each load failure has its message and status; nothing goes to the output.
TEST(CliMessages, FailuresGoToStandardErrorWithTheirStatus) {
    struct Load {
        std::string path;
        int status;
        const char* message;
    };
    std::vector<Load> loads = {
        {TempPath("no-such-file"), kExitOpenFailed, "Failed to open the event log file."},
        {WriteLog(BuildBrokenLog(kBrokenAreaBeyondFile), "beyond"), kExitReadFailed, "Failed to read the event log file."},
        {WriteLog(BuildBrokenLog(kBrokenLinkZero), "zero"), kExitCorrupted, "Event log file is corrupted."}};
    if (geteuid() != 0) {   // root reads a file of mode 000 all the same
        loads.push_back({WriteLog(BuildBaseLog(), "locked.evt"), kExitOpenFailed, "Access to the event log file is rejected."});
        chmod(loads.back().path.c_str(), 0);
    }
    for (const auto& l : loads) {
        const CliResult r = Cli({"stats", l.path});
        EXPECT_EQ(r.status, l.status) << l.path;
        EXPECT_EQ(r.err, "darvex-cli: " + std::string(l.message) + "\n");
        EXPECT_EQ(r.out, "");
    }
    const CliResult unknown = Cli({"list", "x.evt", "--bogus"});
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_EQ(unknown.err, "darvex-cli: unknown option: --bogus\nTry 'darvex-cli --help'.\n");
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"check", "x.evt", "--order", "newest"}, {"list", "x.evt", "--order", "sideways"}, {"frobnicate"}, {}}) {
        EXPECT_EQ(Cli(args).status, kExitUsage) << args.size();
    }
    EXPECT_EQ(Cli({"show", "--help"}).out.rfind("Usage: darvex-cli show", 0), 0u);
    EXPECT_EQ(Cli({"--version"}).out, "darvex-cli " + std::string(DARVEX_VERSION_TEXT) + "\n");
}

}  // namespace
