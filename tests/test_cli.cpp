// darvex-cli in-process: list, find, stats, show, check, export, follow and the failures.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/cli_export.h"
#include "cli/cli_find.h"
#include "cli/cli_follow.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run.h"
#include "cli/cli_stream.h"
#include "cli/text_out.h"
#include "dialogs/printing.h"
#include "cli_test_support.h"
#include "test_support.h"
#include "tools/chain_append.h"

#define DARVEX_TEST_STRING2(x) #x
#define DARVEX_TEST_STRING(x) DARVEX_TEST_STRING2(x)

namespace {

// Names that carry the process (tests run side by side), removed when it ends.
std::string TempPath(const char* name) {
    static struct Named {
        std::vector<std::string> paths;
        ~Named() { for (const std::string& p : paths) std::remove(p.c_str()); }
    } named;
    named.paths.push_back(::testing::TempDir() + "darvex_cli_" + std::to_string(getpid()) + "_" + name);
    return named.paths.back();
}

std::string WriteLog(const LogImage& image, const char* name) {
    const std::string path = TempPath(name);
    EXPECT_EQ(WriteLogImage(image, path.c_str()), 1);
    return path;
}

std::string Row(const EventEntry& e) {
    char line[kPrintLineSize];
    FormatListRow(e, line, sizeof line);
    return line;
}

// A live log with saved conditions (errors only, oldest first) for --saved.
struct ListedLog : StateTest {
    std::string path;
    void SetUp() override {
        StateTest::SetUp();
        const SyntheticEvent events[] = {
            {kTypeInformation, 0, "2004/01/0100:00:00", "service started"}, {kTypeError, 1, "2003/01/0112:00:00", "disk ERROR"},
            {kTypeWarning, 1, "2002/06/0100:00:00", "Error count high"}, {kTypeInformation, 1, "2000/01/0100:00:00", "f"},
            {kTypeError, 9, "1999/07/0100:00:00", "eRRoR: timeout"}, {kTypeError, 1, "1999/06/0100:00:00", "all fine"},
            {kTypeError, 1, "1999/05/3123:59:59", "g"}, {kTypeWarning, 4, "1998/01/0100:00:00", "h"}};
        BuildSyntheticTable(&state, events, 8);
        LogImage image = SyntheticLogImage(events, 8);
        ViewConditions c = DefaultViewConditions();
        c.warningType = c.informationType = 0;
        c.sortOrder = kOrderOldestFirst;
        c.conditionsSaved = 1;
        SetConditions(&image, c);
        path = WriteLog(image, "PERN.EVT");
    }
    std::string Run(const char* command, std::vector<std::string> options, int status = 0) {
        options.insert(options.begin(), {command, path});
        const CliResult r = Cli(options);
        EXPECT_EQ(r.status, status) << r.err;
        return r.out;
    }
    std::string List(std::vector<std::string> options) { return options.push_back("--no-header"), Run("list", options); }
    std::string Rows(std::initializer_list<int> indexes, bool hits = false) const {
        std::string text;
        for (int i : indexes) text += (hits ? std::to_string(i) + "\t" : "") + Row(state.table.entries[i]) + "\n";
        return text;
    }
};

TEST_F(ListedLog, ListPrintsTheRowsItsOrderFilterOptionsAndSavedConditionsKeep) {
    EXPECT_EQ(Cli({"list", path}).out, " Type    Date      Time      Component    Module    Computer \n" + Rows({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(List({"--order", "module", "--module", "All", "--component", "all"}), Rows({7, 0, 1, 2, 3, 5, 6, 4}));
    // 99 is 1999 and 03 is 2003; module 1 is the second HALDOR/PERN, as stats and export number it.
    EXPECT_EQ(List({"--types=ERROR,information", "--component", "haldor/pern", "--module", "1", "--from",
                    "99/06/01 00:00:00", "--through=2003/01/01 12:00:00"}), Rows({1, 3, 5}));
    EXPECT_EQ(List({"--saved"}), Rows({6, 5, 4, 1}));
    EXPECT_EQ(List({"--saved", "--order", "newest", "--types", "warning", "--types", "Error"}), Rows({1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(Cli({"list", path, "--module", "haldor/pern"}).status, kExitUsage);   // two modules of that name
    char stamp[kStampSize];
    ASSERT_EQ(ParseStampArgument("90/1/2 3:04:05", stamp), 1);
    EXPECT_EQ(std::string(stamp, kStampSize), "1990/01/0203:04:05");
    for (const char* bad : {"99/01/01", "199/01/01 00:00:00", "99/01/01 00:00:00x"}) {
        EXPECT_EQ(ParseStampArgument(bad, stamp), 0) << bad;
    }
    // Dates that do not exist; 2000 and 2024 are leap years, 1900, 2099 and 1999 are not.
    for (const char* none : {"1999/13/01 0:0:0", "24/02/30 0:0:0", "99/2/29 0:0:0", "1900/02/29 0:0:0", "2099/2/29 0:0:0",
                             "24/04/31 0:0:0", "24/01/00 0:0:0", "24/01/01 24:0:0", "24/01/01 0:60:0", "24/1/1 0:0:60"}) {
        EXPECT_EQ(ParseStampArgument(none, stamp), 2) << none;
    }
    for (const char* leap : {"00/02/29 23:59:59", "2024/2/29 0:0:0"}) EXPECT_EQ(ParseStampArgument(leap, stamp), 1) << leap;
    const CliResult noDay = Cli({"list", path, "--through", "24/02/30 00:00:00"});
    EXPECT_EQ(noDay.status, kExitUsage);
    EXPECT_EQ(noDay.err.rfind("darvex-cli: --through names no such date or time: 24/02/30 00:00:00\n", 0), 0u);
    // The Filter dialog's refusal of a start after the end.
    const CliResult refused = Cli({"list", path, "--from", "03/01/01 00:00:00", "--through", "99/01/01 00:00:00"});
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_NE(refused.err.find("darvex-cli: If date / time of the commencement"), std::string::npos);
}

// The Find dialog's search over the printed list; row indexes are the whole list's.
TEST_F(ListedLog, FindStartsTheSearchWhereTheOptionsSayAndTakesItsCriteria) {
    EXPECT_EQ(Run("find", {"--text", "error"}), Rows({1}, true));   // no selection: down from row 0
    EXPECT_EQ(Run("find", {"--text", "error", "--from-row", "4"}, kExitNoMatch), "");
    EXPECT_EQ(Run("find", {"--text", "error", "--from-row", "4", "--wrap"}), Rows({1}, true));
    const CliResult none = Cli({"find", path, "--text", "error", "--up"});   // told on standard error
    EXPECT_EQ(none.out + "|" + none.err, "|darvex-cli: no event matched up to the top of the list\n");
    EXPECT_EQ(Run("find", {"--text", "errors", "--wrap"}, kExitNoMatch), "");
    EXPECT_EQ(Run("find", {"--all", "--find-types", "warning,error", "--text", "error"}), Rows({1, 2, 4}, true));
    // The filter options choose find's rows as show's: the row find prints is the event show prints.
    const std::string hit = Run("find", {"--text", "timeout", "--types", "error", "--order", "oldest"});
    EXPECT_NE(Run("show", {hit.substr(0, 1), "--types", "error", "--order", "oldest"}).find("eRRoR: timeout"), std::string::npos);
    EXPECT_EQ(Run("find", {"--order", "oldest", "--text", "error"}), "3\t" + Row(state.table.entries[4]) + "\n");
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"find", path, "--from-row", "8"}, {"find", path, "--all", "--up"}, {"list", path, "--text", "x"},
             {"find", path, "--text", std::string(256, 'x')}, {"list", path, "--order", "oldest", "--order=module"}}) {
        EXPECT_EQ(Cli(bad).status, kExitUsage) << bad[2];
    }
}

// ア (0x83 0x41) typed as UTF-8; ヂ (0x83 0x61) and ャA (0x83 0x83 0x41) hold its bytes across characters.
TEST_F(StateTest, FindTakesTheTextInUtf8OrRawInTheLogsCodePage) {
    const SyntheticEvent events[] = {{kTypeInformation, 0, "2003/04/0506:07:59", "\x83\x61"},
                                     {kTypeInformation, 0, "2003/04/0506:07:58", "\x83\x83\x41"},
                                     {kTypeInformation, 0, "2003/04/0506:07:57", "\x83\x41\x83\x58"}};
    BuildSyntheticTable(&state, events, 3);
    const std::string path = WriteLog(SyntheticLogImage(events, 3), "japanese-find.evt");
    const std::string hit = "2\t" + Row(state.table.entries[2]) + "\n";
    EXPECT_EQ(Cli({"find", path, "--all", "--text", u8"ア"}).out, hit);
    EXPECT_EQ(Cli({"find", path, "--text", "\x83\x41", "--raw", "--codepage", "932"}).out, hit);
    const std::string all = Cli({"find", path, "--all", "--raw", "--codepage", "1252", "--text", "\x83\x41"}).out;
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 3);
    EXPECT_EQ(Cli({"find", path, "--text", u8"\u20ac", "--codepage", "932"}).status, kExitUsage);
    // Find takes 255 bytes of the code page, not of the UTF-8 typed: 127 ア fit, 128 do not.
    std::string a127;
    for (int i = 0; i < 127; ++i) a127 += u8"ア";
    EXPECT_EQ(Cli({"find", path, "--text", a127, "--codepage", "932"}).status, kExitNoMatch);
    EXPECT_EQ(Cli({"find", path, "--text", a127 + u8"ア", "--codepage", "932"}).err,
              "darvex-cli: --text is longer than Find takes (255 bytes in code page 932)\n");
}

TEST_F(ListedLog, StatsCountsTypesComponentsAndModules) {
    const std::string out = Cli({"stats", path}).out;   // module 2 is the second HALDOR/PERN
    EXPECT_EQ(out.rfind("Computer: TESTPC\nEvents: 8\nFirst event: 1998/01/01 00:00:00\nLast event: 2004/01/01 00:00:00\n"
                        "Type:\n  Error                4\n  Warning              2\n", 0), 0u) << out;
    EXPECT_NE(out.find("\n  5 unknown            1\nModule:\n  0 HALDOR/PERN        1\n  1 HALDOR/PERN        5\n"), std::string::npos);
}

// One event with the description given and 20 data bytes, the last a lead byte.
std::string WriteShownEvent(const char* description, const char* name) {
    static const uint8_t data[20] = {0x41, 0x42, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0x83};
    const SyntheticEvent event = {kTypeWarning, 6, "1998/07/0605:04:03", description, data, sizeof data};
    return WriteLog(SyntheticLogImage(&event, 1), name);
}

// The layout is the printing's own; show converts its texts to UTF-8.
TEST(CliShow, PrintsTheDescriptionAndTheDumpInUtf8OrTheLogsCodePage) {
    const std::string path = WriteShownEvent("\x83\x65\x83\x58\x83\x67\x1b[2J\r\n\x8d\x73", "japanese.evt");
    const CliResult r = Cli({"show", path, "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    // Control bytes show escaped, the dump's LF and CR too, but CR LF breaks the description's
    // line; a lone lead byte is "." under 932.
    for (const char* text : {"\n      \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\\x1B[2J\n      \xE8\xA1\x8C\n",
                             "      0008: 06 07 08 09 0A 0B 0C 0D      \\x06\\x07\\x08\\x09\\x0A\\x0B\\x0C\\x0D\n",
                             "      0010: 0E 0F 10 83                  \\x0E\\x0F\\x10.\n"}) {
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
    }
    const std::string raw = Cli({"show", path, "0", "--raw", "--dump", "word"}).out;
    EXPECT_NE(raw.find("\n      0010: 83100F0E\n"), std::string::npos);
    // Under 1252 the same bytes are Latin letters, and the last data byte is a character.
    EXPECT_NE(Cli({"show", path, "0", "--codepage", "1252"}).out.find("\\x0E\\x0F\\x10\xC6\x92\n"), std::string::npos);
    EXPECT_EQ(Cli({"show", path, "1"}).status, kExitUsage);
    // 0xE9 is a lead byte whose second byte here is not a Shift-JIS one: alone, it makes the log 1252;
    // beside three Shift-JIS texts it is a stray, its bytes U+FFFD.
    EXPECT_NE(Cli({"show", WriteShownEvent("caf\xE9!", "latin.evt"), "0"}).out.find("\n      caf\xC3\xA9!\n"),
              std::string::npos);
    const SyntheticEvent mixed[] = {{kTypeWarning, 6, "1998/07/0605:04:03", "caf\xE9!"}, {kTypeWarning, 6, "1998/07/0605:04:02", "\x8d\x73"},
                                    {kTypeWarning, 6, "1998/07/0605:04:01", "\x8d\x73"}, {kTypeWarning, 6, "1998/07/0605:04:00", "\x8d\x73"}};
    const std::string mixedPath = WriteLog(SyntheticLogImage(mixed, 4), "mixed.evt");
    const CliResult m = Cli({"show", mixedPath, "0"});
    EXPECT_NE(m.out.find("\n      caf\xEF\xBF\xBD!\n"), std::string::npos) << m.out;
    EXPECT_EQ(m.err, "darvex-cli: " + mixedPath + ": texts read as code page 932 (guessed; 1 text is not valid in it)\n");
}

TEST(CliCheck, EveryCatalogueLogIsJudgedAsTheLoaderJudgesIt) {
    // The fault of each refused log, in catalogue order.
    const char* const faults[] = {
        "header shorter", "unknown magic", "unknown magic", "past the end of the file", "count too large",
        "count too large", "out of the record area", "link 0", "crossing the end", "crossing the end",
        "crossing the end", "zero byte", "comes back", "comes back", "comes back", "out of the record area",
        "record area not starting at 88", "past the end of the file"};
    for (int v = 0; v < kBrokenLogCount; ++v) {
        const BrokenLogInfo& info = kBrokenLogInfo[v];
        const CliResult check = Cli({"check", WriteLog(BuildBrokenLog(info.variant), info.name)});
        const bool loads = info.expectedMessage == kExpectLoads, noLog = !loads && v < 3;   // no log's header
        const std::string& told = noLog ? check.err : check.out;
        EXPECT_EQ(check.status, loads ? kExitOk : noLog ? kExitCorrupted : kExitBroken) << info.name << check.out;
        EXPECT_EQ(told.rfind(loads ? "well formed: " + std::to_string(info.expectedEvents) + " events\n"
                                   : noLog ? "darvex-cli: " : "broken at file offset ", 0), 0u) << info.name << told;
        EXPECT_NE(told.find(loads ? "" : faults[v]), std::string::npos) << info.name << told;
    }
    // Where: the oldest record's link of 0; the oldest record taken again by the fifth step.
    EXPECT_EQ(Cli({"check", TempPath("link-zero")}).out, "broken at file offset 88: link 0 (record 0 of 3, counted from the oldest)\n");
    EXPECT_EQ(Cli({"check", TempPath("chain-revisits")}).out,
              "broken at file offset 88: chain comes back to a record: shorter than the record count "
              "(record 3 of 4, counted from the oldest)\n");
    EXPECT_EQ(Cli({"check", TempPath("oldest-below-area")}).out.rfind("broken at file offset 40: ", 0), 0u);
    EXPECT_EQ(Cli({"check", TempPath("area-start-not-88")}).out.rfind("broken at file offset 30: ", 0), 0u);
    // A report that cannot be written is an output error, whatever the log.
    for (std::vector<std::string> args : {std::vector<std::string>{"check", TempPath("link-zero")},
                                          {"check", TempPath("full-wrapped")}, {"list", TempPath("full-wrapped")},
                                          {"export", TempPath("full-wrapped"), "--format", "json"}}) {
        EXPECT_EQ(Cli(args, fopen("/dev/full", "w")).status, kExitWriteFailed) << args[0] << args[1];
    }
}

// Each load failure has its message and status; nothing goes to the output.
TEST(CliMessages, FailuresGoToStandardErrorWithTheirStatus) {
    struct Load { std::string path; int status; const char* message; };
    std::vector<Load> loads = {
        {TempPath("no-such-file"), kExitOpenFailed, "Failed to open the event log file. (No such file or directory)"},
        {WriteLog(BuildBrokenLog(kBrokenAreaBeyondFile), "beyond"), kExitReadFailed, "Failed to read the event log file."},
        {WriteLog(BuildBrokenLog(kBrokenLinkZero), "zero"), kExitCorrupted, "Event log file is corrupted."}};
    if (geteuid() != 0) {   // root reads a file of mode 000 all the same
        loads.push_back({WriteLog(BuildBaseLog(), "locked.evt"), kExitOpenFailed, "Access to the event log file is rejected. (Permission denied)"});
        chmod(loads.back().path.c_str(), 0);
    }
    for (const auto& l : loads) {
        const CliResult r = Cli({"stats", l.path});
        EXPECT_EQ(r.status, l.status) << l.path;
        EXPECT_EQ(r.err, "darvex-cli: " + l.path + ": " + l.message + "\n");
        EXPECT_EQ(r.out, "");
    }
    // The same fault, the same status in every command: no file, and an empty file (no log).
    const std::string empty = TempPath("empty");
    fclose(fopen(empty.c_str(), "wb"));
    for (const std::string& file : {loads[0].path, empty}) {
        for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
                 {"list"}, {"check"}, {"stats"}, {"find"}, {"follow"}, {"export", "--format", "csv"}}) {
            args.insert(args.begin() + 1, file);
            EXPECT_EQ(Cli(args).status, file == empty ? kExitCorrupted : kExitOpenFailed) << args[0] << file;
        }
    }
    // A reader that leaves ends the command quietly, even a follower that has nothing to write.
    const std::string log = WriteLog(BuildBaseLog(), "left.evt");
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{{"list", log}, {"follow", log, "--lines", "0"}}) {
        EXPECT_EXIT({
            int ends[2];
            signal(SIGPIPE, SIG_IGN);
            alarm(1);
            if (pipe(ends) == 0) close(ends[0]);
            const CliResult r = Cli(args, fdopen(ends[1], "w"));
            fputs(r.err.c_str(), stderr);
            _exit(r.status);   // the parent's files stay
        }, ::testing::ExitedWithCode(0), "^$") << args[0];
    }
    EXPECT_EQ(Cli({"list", "x.evt", "--bogus"}).err, "darvex-cli: unknown option: --bogus\nTry 'darvex-cli --help'.\n");
    EXPECT_EQ(Cli({"stats", "--", "-x"}).status, kExitOpenFailed);   // a file named -x
    EXPECT_EQ(Cli({"list", "-V"}).out, "darvex-cli " DARVEX_TEST_STRING(DARVEX_VERSION) "\n");
    EXPECT_EQ(Cli({"export", "-h"}).out.rfind("Usage: darvex-cli export ", 0), 0u);
    EXPECT_EQ(Cli({"list", "x.evt", "--module", "1", "--module", "2"}).err,
              "darvex-cli: given twice: --module\nTry 'darvex-cli --help'.\n");
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"check", "x.evt", "--order", "newest"}, {"frobnicate"}, {}, {"follow", "x.evt", "--interval=0"},
             {"stats", "-x"}, {"list", "x.evt", "--module", "8"}}) {
        EXPECT_EQ(Cli(args).status, kExitUsage) << args.size();
    }
}

// Export: the ESC or tab, CR, LF and quote each quote a CSV field; 表示's 0x5C is no backslash; ｱ is
// half-width. The last event: unnamed type, unknown module, much data.
struct ExportTest : ::testing::Test {
    uint8_t data[300];
    std::string path, hex;   // the 300 bytes, as export writes them
    const std::string header = "type,typeName,time,component,componentName,module,moduleName,computer,description,data\r\n";
    const std::string csv = "4,Information,1999-12-31T23:59:59,1,HALDOR/PERN,0,HALDOR/PERN,TESTPC,";
    const std::string json = R"({"type":4,"typeName":"Information","time":"1999-12-31T23:59:59","component":1,)"
                             R"("componentName":"HALDOR/PERN","module":0,"moduleName":"HALDOR/PERN","computer":"TESTPC",)";
    std::vector<std::string> objects;
    LogImage image;
    void SetUp() override {
        static const uint8_t small[] = {0x00, 0x22, 0x2C, 0x5C, 0x7F, 0x80, 0xFF, 0x0A};
        for (int i = 0; i < 300; ++i) data[i] = uint8_t(i * 7);
        for (uint8_t b : data) hex += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
        const SyntheticEvent events[] = {
            {kTypeInformation, 0, "1999/12/3123:59:59", "a\x1b b\tc", small, sizeof small},
            {kTypeInformation, 0, "1999/12/3123:59:59", "\x95\x5c\x8e\xa6 \\ \x01\x1f\r\xb1"},
            {kTypeInformation, 0, "1999/12/3123:59:59", "x\ny"},
            {kTypeInformation, 0, "1999/12/3123:59:59", "say, \"x\" \"\""},
            {3, 9, "1999/12/3123:59:57", nullptr, data, sizeof data}};
        image = SyntheticLogImage(events, 5);
        path = WriteLog(image, "export.evt");
        objects = {json + R"("description":"a\u001b b\tc","data":"00222c5c7f80ff0a"})",
                   json + R"("description":"表示 \\ \u0001\u001f\rｱ","data":""})",
                   json + R"("description":"x\ny","data":""})", json + R"("description":"say, \"x\" \"\"","data":""})",
                   R"({"type":3,"typeName":"","time":"1999-12-31T23:59:57","component":5,"componentName":"unknown",)"
                   R"("module":7,"moduleName":"unknown","computer":"TESTPC","description":"","data":")" + hex + "\"}"};
    }
};

TEST_F(ExportTest, EachFormatQuotesOrEscapesTheTextsAndOrderAndFilterChooseTheEvents) {
    EXPECT_EQ(Cli({"export", path, "--format", "csv"}).out, header + csv + "\"a\x1b b\tc\",00222c5c7f80ff0a\r\n" + csv + "\"表示 \\ \x01\x1f\rｱ\",\r\n" + csv +
                         "\"x\ny\",\r\n" + csv + "\"say, \"\"x\"\" \"\"\"\"\",\r\n" +
                         "3,,1999-12-31T23:59:57,5,unknown,7,unknown,TESTPC,," + hex + "\r\n");
    std::string lines, array;
    for (const std::string& o : objects) {
        lines += o + "\n";
        array += (array.empty() ? "[\n" : ",\n") + o;
    }
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson"}).out, lines);
    EXPECT_EQ(Cli({"export", path, "--format=json"}).out, array + "\n]\n");
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson", "--order", "oldest", "--types", "information"}).out,
              objects[3] + "\n" + objects[2] + "\n" + objects[1] + "\n" + objects[0] + "\n");
    // Nothing listed is an empty array and a bare CSV header.
    EXPECT_EQ(Cli({"export", path, "--format", "json", "--types", "warning"}).out, "[]\n");
    EXPECT_EQ(Cli({"export", path, "--format", "csv", "--module", "3"}).out, header);
    // -n keeps the newest rows, in the order chosen.
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson", "-n", "2"}).out, objects[0] + "\n" + objects[1] + "\n");
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson", "-r", "-n=2"}).out, objects[1] + "\n" + objects[0] + "\n");
    // list's line: tab-separated fields, the description's first line, control bytes escaped.
    const std::string line = "1999-12-31T23:59:59\tInformation\tHALDOR/PERN\tHALDOR/PERN\tTESTPC\t";
    EXPECT_EQ(Cli({"list", path, "--format", "line", "-r", "-n", "3"}).out,
              line + "x\n" + line + "表示 \\ \\x01\\x1F\n" + line + "a\\x1B b\\x09c\n");
    EXPECT_EQ(Cli({"list", path, "--format", "line", "-n", "0"}).out, "");
    EXPECT_EQ(Cli({"list", path, "-r", "--order", "oldest"}).status, kExitUsage);
    EXPECT_EQ(Cli({"export", path, "--format", "csv", "--no-data", "--bom", "--types", "information", "--order",
                   "oldest"}).out,
              "\xEF\xBB\xBF" + header.substr(0, header.size() - 7) + "\r\n" + csv + "\"say, \"\"x\"\" \"\"\"\"\"\r\n" +
                  csv + "\"x\ny\"\r\n" + csv + "\"表示 \\ \x01\x1f\rｱ\"\r\n" + csv + "\"a\x1b b\tc\"\r\n");
    // The format must be asked for; the stored bytes (--raw) cannot be.
    EXPECT_EQ(Cli({"export", path, "--format", "csv", "--raw"}).status, kExitUsage);
    EXPECT_EQ(Cli({"export", path}).status, kExitUsage);
    EXPECT_EQ(Cli({"export", path, "--bom", "--format", "json"}).status, kExitUsage);
    EXPECT_EQ(Cli({"follow", path, "--format", "ndjson", "--raw"}).status, kExitUsage);
}

// follow's step over a component's log of a small record area, appended to in memory.
struct Follow : ::testing::Test {
    LogImage image;
    FollowState state;
    uint32_t newest = 0;
    int appended = 0;
    bool lost = false;
    void SetUp() override { InitLogImage(&image, 0, kRecordAreaStart + 1500); }
    void Start(uint32_t lines) { ASSERT_EQ(InitFollowState(&state, lines), 1); }
    void TearDown() override { ReleaseFollowState(&state); }

    // Records "event N", a second apart, of 50 to 62 bytes, so that the wraps leave gaps of every size.
    void Append(int n) {
        for (const int last = appended + n; appended < last;) {
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
        const FollowStepResult r = FollowStep(&state, reader, Numbers(&printed, true));
        EXPECT_EQ(r.messageId, 0);
        lost = !printed.empty() && printed[0] == 0;
        if (lost) printed.erase(printed.begin());
        EXPECT_EQ(r.printed, printed.size());
        return printed;
    }
    // Each printed event's number; a loss report, when asked for, as 0.
    static FollowSink Numbers(std::vector<int>* printed, bool reportLoss) {
        return {printed,
                [](void* c, const uint8_t* record, const LogHeader&) {
                    const char* text = reinterpret_cast<const char*>(RecordDescription(record));
                    static_cast<std::vector<int>*>(c)->push_back(atoi(text + 6));
                },
                reportLoss ? +[](void* c) { static_cast<std::vector<int>*>(c)->push_back(0); } : nullptr};
    }
    // The first look over the mapped walk of the log.
    void FirstStep(const FollowSink& sink) {
        const MappedFile file = {image.bytes.data(), image.bytes.size(), nullptr};
        LogRows rows;
        ASSERT_EQ(WalkLog(file, &rows), 0);
        FollowFirstStep(&state, rows, sink);
        free(rows.positions);
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
    ReleaseFollowState(&state);   // --lines 0 over the wrapped log: only what is appended after the start
    Start(0);
    EXPECT_EQ(Step(), Range(1, 0));
    Append(3);
    EXPECT_EQ(Step(), Range(appended - 2, appended));
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
    EXPECT_FALSE(lost);
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

// The first look over the mapped walk prints what the record-by-record look
// prints, with and without a filter, and leaves the follower where it does.
TEST_F(Follow, FirstLookOverTheMappedWalkIsTheFirstStep) {
    Append(70);   // wrapped
    // A filter sees the fixed part only: the odd events are those of an odd second.
    const auto odd = [](void*, const uint8_t* r, const LogHeader&) { return int(GetU16(r + 16) % 2); };
    for (uint32_t lines : {0u, 3u, 1000u}) {
        for (bool filtered : {false, true}) {
            SCOPED_TRACE(std::to_string(lines) + (filtered ? " odd" : ""));
            Start(lines);
            if (filtered) state.accept = odd;
            const std::vector<int> expected = Step();
            const FollowState reference = state;
            state.started = false;
            std::vector<int> printed;
            FirstStep(Numbers(&printed, false));
            EXPECT_EQ(printed, expected);
            EXPECT_TRUE(state.started && state.lastOffset == reference.lastOffset && state.count == reference.count &&
                        state.oldest == reference.oldest &&
                        memcmp(state.lastIdentity, reference.lastIdentity, sizeof state.lastIdentity) == 0);
            ReleaseFollowState(&state);
        }
    }
    Start(2);
    std::vector<int> unseen;
    FirstStep(Numbers(&unseen, false));
    Append(4);
    EXPECT_EQ(Step(), Range(71, 74));
    EXPECT_FALSE(lost);
}

// follow's NDJSON is export's object, the code page read from the output.
TEST_F(ExportTest, FollowWritesExportsObjects) {
    const uint8_t* record = image.bytes.data() + kRecordAreaStart;   // the oldest: the last event
    for (int i = 0; i < 3; ++i) record += RecordLink(record);
    FILE* file = tmpfile();
    static CliOutput out;
    static EventWriter writer;
    InitOutput(&out, file, 932, true, nullptr);
    writer = EventWriter{};
    writer.out = &out;
    writer.format = kFormatNdjson;
    PutFollowedEvent(&out, &writer, record, ImageHeader(image));
    FlushOutput(&out);
    EXPECT_EQ(ReadBack(file), objects[1] + "\n");
    InitOutput(&out, file = tmpfile(), 932, true, nullptr);   // no writer: the list's row
    PutFollowedEvent(&out, nullptr, record, ImageHeader(image));
    FlushOutput(&out);
    EXPECT_NE(ReadBack(file).find("Inform  99/12/31"), std::string::npos);
}

// The mapped rows against the loaded table's rows (and find against the
// viewer's own search over them): every command, order and filter gives the
// same status, output and messages, on every catalogue log and on logs of
// every type, many modules, stamps out of order and texts of either code page.
TEST(CliStream, MappedRowsAreTheLoadedTablesRows) {
    std::vector<std::string> logs;
    for (int v = 0; v < kBrokenLogCount; ++v) {
        logs.push_back(WriteLog(BuildBrokenLog(kBrokenLogInfo[v].variant), kBrokenLogInfo[v].name));
    }
    const uint8_t data[] = {0x00, 0x1F, 0x22, 0x7F, 0x80, 0xFF};
    const SyntheticEvent events[] = {
        {kTypeInformation, 0, "2004/01/0100:00:00", "service \"started\", ok", data, 6},
        {kTypeError, 1, "2003/01/0112:00:00", "disk ERROR\r\nsecond line\ttab"},
        {0, 2, "2005/06/0100:00:00", "\x83\x65\x83\x58\x83\x67 error"}, {kTypeWarning, 3, "2002/06/0100:00:00", "Error count high"},
        {3, 4, "2000/01/0100:00:00", nullptr}, {kTypeError, 9, "1999/07/0100:00:00", "eRRoR: \x1b[2J timeout"},
        {kTypeError, 5, "1999/06/0100:00:00", "caf\xE9 all fine"}, {kTypeError, 6, "1999/05/3123:59:59", "\x8d\x73"},
        {kTypeWarning, 7, "1998/01/0100:00:00", "h\\"}, {kTypeInformation, 100, "1998/01/0100:00:00", "i,j"},
        {kTypeWarning, 4, "1997/12/3100:00:00", "\x8d\x73 k"}};
    const uint32_t n = sizeof events / sizeof events[0];
    LogImage image = SyntheticLogImage(events, n);
    ViewConditions c = DefaultViewConditions();
    c.informationType = 0;
    c.fromIsStamp = c.throughIsStamp = 1;
    c.sortOrder = kOrderModule;
    c.conditionsSaved = 1;
    SetConditions(&image, c);
    logs.push_back(WriteLog(image, "stream.evt"));
    logs.push_back(WriteLog(SyntheticLogImage(events + 1, 3), "stream932.evt"));
    const std::vector<std::vector<std::string>> commands = {
        {"list"}, {"list", "-r", "--format", "line"}, {"list", "--order", "module"},
        {"list", "--order", "module", "-n", "3", "--types", "error,warning"}, {"list", "--saved", "--no-header"},
        {"list", "--saved", "--order", "newest"}, {"list", "--from", "99/06/01 00:00:00", "-n", "2", "-r"},
        {"list", "--component", "1", "--raw"}, {"list", "--module", "0", "--codepage", "932"}, {"list", "-n", "0"},
        {"show", "0"}, {"show", "3", "--order", "module"}, {"show", "2", "--saved", "--dump", "word"}, {"show", "99"},
        {"find", "--text", "e", "--all", "--order", "module"}, {"find", "--up", "--wrap", "--text", "ERROR"},
        {"find", "--from-row", "1", "--find-types", "error"}, {"find", "--from-row", "1", "--up"},
        {"find", "--from-row", "2", "--wrap", "--text", "error"}, {"find", "--from-row", "50"}, {"find", "--text", "zz"},
        {"find", "--text", "e", "-r"}, {"find", "--text", "e", "--up"}, {"find", "--from-row", "3", "--up", "--wrap"},
        {"export", "--format", "csv"}, {"export", "--format", "json", "--order", "oldest"},
        {"export", "--format", "ndjson", "-n", "2", "--types", "warning", "--codepage", "1252"},
        {"export", "--format", "json", "--types", "information", "--component", "5"}, {"stats"}, {"check"}};
    for (const std::string& log : logs) {
        for (std::vector<std::string> args : commands) {
            args.insert(args.begin() + 1, log);
            g_cliMapsFiles = false;
            const CliResult loaded = Cli(args);
            g_cliMapsFiles = true;
            const CliResult mapped = Cli(args);
            std::string line;
            for (const std::string& a : args) line += a + " ";
            EXPECT_EQ(mapped.status, loaded.status) << line;
            EXPECT_EQ(mapped.out, loaded.out) << line;
            EXPECT_EQ(mapped.err, loaded.err) << line;
        }
    }
    // The mapped rows hold no table: one position per event.
    CliOptions o;
    std::string file = logs.back();
    char* argv[] = {const_cast<char*>("darvex-cli"), const_cast<char*>("list"), &file[0], nullptr};
    ASSERT_EQ(ParseOptions(3, argv, &o, stderr), 1);
    ViewerState state;
    InitViewerState(&state);
    MappedFile mapped;
    LogRows rows;
    ASSERT_EQ(OpenRows(o, &state, &mapped, &rows), 0);
    EXPECT_EQ(rows.loaded, nullptr);
    EXPECT_EQ(rows.count, 3u);
    EXPECT_EQ(state.table.entries, nullptr);
    ReleaseRows(&rows, &mapped);
    ReleaseViewerState(&state);
}

// The export's table converts as ConvertToUtf8 does, byte for byte, texts of
// random bytes (lead bytes, stray second bytes, a lead byte at the end) in
// either code page.
TEST(CliExport, TheTableConvertsAsTheConverterDoes) {
    Utf8Table* table = new Utf8Table;
    uint32_t seed = 1;
    for (int codePage : {932, 1252}) {
        MakeUtf8Table(table, codePage);
        int told = 0;
        for (int k = 0; k < 20000; ++k) {
            char text[24], byTable[80], byConverter[80];
            const size_t n = 1 + size_t(k) % sizeof text;
            for (size_t i = 0; i < n; ++i) {
                seed = seed * 1103515245u + 12345u;
                text[i] = char(seed >> 24 | (seed & 0x100 ? 0x80 : 0));   // mostly above 0x7F
            }
            const size_t got = TableToUtf8(*table, text, n, byTable);
            if (got == SIZE_MAX) continue;
            ++told;
            ASSERT_EQ(std::string(byTable, got), std::string(byConverter, ConvertToUtf8(codePage, text, n, byConverter, sizeof byConverter)))
                << codePage << " " << k;
        }
        EXPECT_GT(told, 19000) << codePage;
    }
    delete table;
}

}  // namespace

// --since, --until, follow's filters and file notices, FILE "-".
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>

namespace {

TEST(CliTime, SinceAndUntilTakeIsoTimesDatesAndTimesBeforeNow) {
    const char now[] = "2004/03/0100:00:30";   // a day after a leap day
    const struct { const char* text; bool until; const char* stamp; } cases[] = {
        {"2024-02-03T04:05:06", false, "2024/02/0304:05:06"}, {"2024-02-03 04:05:06", true, "2024/02/0304:05:06"},
        {"2024-02-03T04:05", false, "2024/02/0304:05:00"},    {"2024-02-03 04:05", true, "2024/02/0304:05:59"},
        {"2024-02-03", false, "2024/02/0300:00:00"},          {"2024-02-03", true, "2024/02/0323:59:59"},
        {"now", true, "2004/03/0100:00:30"},                   {"-45s", false, "2004/02/2923:59:45"},
        {"-30m", false, "2004/02/2923:30:30"},                 {"-1h", false, "2004/02/2923:00:30"},
        {"-2d", false, "2004/02/2800:00:30"},                  {"-366d", false, "2003/03/0100:00:30"},
        {"today", false, "2004/03/0100:00:00"},                {"today", true, "2004/03/0123:59:59"},
        {"yesterday", false, "2004/02/2900:00:00"},            {"yesterday", true, "2004/02/2923:59:59"},
    };
    for (const auto& c : cases) {
        char stamp[kStampSize + 1] = {};
        EXPECT_EQ(ParseTimeArgument(c.text, c.until, now, stamp), 1) << c.text;
        EXPECT_STREQ(stamp, c.stamp) << c.text << (c.until ? " as --until" : "");
    }
    char stamp[kStampSize];
    for (const char* noSuchTime : {"2023-02-29", "2024-13-01", "2024-04-31", "2024-01-01T24:00", "2024-01-01 10:60"}) {
        EXPECT_EQ(ParseTimeArgument(noSuchTime, false, now, stamp), 2) << noSuchTime;
    }
    for (const char* wrong : {"2024", "2024-02", "2024-2-03", "2024-02-03T", "2024-02-03T04", "2024-02-03T04:05:06Z",
                              "24-02-03", "-1w", "-h", "-1", "--1h", "today ", "Now", ""}) {
        EXPECT_EQ(ParseTimeArgument(wrong, false, now, stamp), 0) << wrong;
    }
    EXPECT_EQ(ParseTimeArgument("now", false, nullptr, stamp), 0);   // DARVEX_CLI_NOW itself is no relative time
}

TEST_F(ListedLog, SinceAndUntilSetTheBoundsOfFromAndThrough) {
    EXPECT_EQ(List({"--since", "1999-05-31T23:59", "--until", "2002-06-01"}), Rows({2, 3, 4, 5, 6}));
    EXPECT_EQ(List({"--until", "1999-05-31 23:59:58"}), Rows({7}));
    setenv("DARVEX_CLI_NOW", "2004-01-02T00:00:00", 1);
    EXPECT_EQ(List({"--since", "-1d"}), Rows({0}));
    EXPECT_EQ(List({"--since", "yesterday", "--until", "yesterday"}), Rows({0}));
    EXPECT_EQ(List({"--since", "-86399s"}), "");
    setenv("DARVEX_CLI_NOW", "yesterday", 1);
    const CliResult badNow = Cli({"list", path, "--since", "now"});
    unsetenv("DARVEX_CLI_NOW");
    EXPECT_EQ(badNow.status, kExitUsage);
    EXPECT_NE(badNow.err.find("DARVEX_CLI_NOW"), std::string::npos);
    // One bound, one option; no such date as --from refuses it.
    for (std::vector<std::string> twice : {std::vector<std::string>{"--since", "2000-01-01", "--from", "00/01/01 00:00:00"},
                                           {"--through", "00/01/01 00:00:00", "--until", "2000-01-01"},
                                           {"--until", "2000-01-01", "--until", "2000-01-02"}}) {
        twice.insert(twice.begin(), {"list", path});
        const CliResult r = Cli(twice);
        EXPECT_EQ(r.status, kExitUsage) << twice[2];
        EXPECT_TRUE(r.out.empty());
    }
    const CliResult noDay = Cli({"export", path, "--format", "csv", "--since", "2003-02-29"});
    EXPECT_EQ(noDay.status, kExitUsage);
    EXPECT_NE(noDay.err.find("names no such date"), std::string::npos);
    EXPECT_EQ(Cli({"find", path, "--until", "2003-02-28", "--since", "2003-03-01"}).status, kExitUsage);
}

// Only the events the filter passes: the first look's newest N of them, then the new ones.
TEST_F(Follow, PrintsOnlyTheEventsTheFilterPasses) {
    Append(12);
    Start(3);
    state.accept = [](void*, const uint8_t* record, const LogHeader& header) {
        EventEntry e = {};
        BuildEntry(record, header, &e);
        return (atoi(e.time + 3) * 60 + atoi(e.time + 6)) % 3 == 0 ? 1 : 0;   // event N is N seconds after 00:00
    };
    EXPECT_EQ(Step(), std::vector<int>({6, 9, 12}));
    Append(4);
    EXPECT_EQ(Step(), std::vector<int>({15}));
    Append(1);
    EXPECT_EQ(Step(), std::vector<int>());
    Append(60);   // round the area unseen: from the oldest, filtered too
    const std::vector<int> after = Step();
    EXPECT_TRUE(lost);
    ASSERT_FALSE(after.empty());
    for (int n : after) EXPECT_EQ(n % 3, 0) << n;
    EXPECT_EQ(after.back(), 75);   // of 17 + 60
    ReleaseFollowState(&state);
    Start(10);   // fewer passing than asked for: all of them
    state.accept = [](void*, const uint8_t*, const LogHeader&) { return 0; };
    EXPECT_EQ(Step(), std::vector<int>());
}

// darvex-cli follow in a child process, its output and messages on one pipe.
struct FollowedFile : ::testing::Test {
    std::string path = TempPath("followed.EVT");
    pid_t child = -1;
    int pipeEnd = -1;
    std::string seen;

    static LogImage Events(const char* name, int n, uint16_t type = kTypeError) {
        LogImage image;
        InitLogImage(&image, 0, kRecordAreaStart + 1500);
        uint32_t newest = 0;
        for (int i = 1; i <= n; ++i) {
            const std::string text = name + std::to_string(i);
            RecordSpec r;
            r.text = text.c_str();
            r.type = i % 2 ? type : uint16_t(kTypeInformation);
            r.timeStamp = RecordTimeAfter(MakeRecordTime(2024, 1, 1, 0, 0, 0), uint64_t(i));
            EXPECT_EQ(AppendRecord(image.bytes.data(), image.bytes.size(), &newest, r), 1);
        }
        return image;
    }
    void Follow(std::vector<std::string> options) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        options.insert(options.begin(), {"darvex-cli", "follow", path, "--interval", "10", "--format", "line"});
        if ((child = fork()) == 0) {
            close(fds[0]);
            FILE* out = fdopen(fds[1], "w");
            std::vector<char*> argv;
            for (std::string& a : options) argv.push_back(&a[0]);
            _exit(RunCli(int(argv.size()), argv.data(), out, out));
        }
        close(fds[1]);
        pipeEnd = fds[0];
    }
    // Waits for text (generously); what came before it is dropped.
    bool Await(const std::string& text) {
        for (int waited = 0; waited < 20000; waited += 20) {
            const size_t at = seen.find(text);
            if (at != std::string::npos) return seen.erase(0, at + text.size()), true;
            pollfd p = {pipeEnd, POLLIN, 0};
            char buffer[4096];
            ssize_t n = 0;
            if (poll(&p, 1, 20) == 1 && (n = read(pipeEnd, buffer, sizeof buffer)) > 0) seen.append(buffer, size_t(n));
            if (n < 0 || (p.revents & POLLHUP && n == 0)) return false;
        }
        return false;
    }
    void TearDown() override {
        if (child > 0) kill(child, SIGKILL), waitpid(child, nullptr, 0);
        if (pipeEnd >= 0) close(pipeEnd);
    }
};

TEST_F(FollowedFile, SaysWhenTheFileIsReplacedTruncatedOrDeletedAndFollowsTheNewOne) {
    ASSERT_EQ(WriteLogImage(Events("old ", 5), path.c_str()), 1);
    Follow({"--lines", "2", "--types", "error"});
    EXPECT_TRUE(Await("\tError\t"));   // the line format, errors only: the newest two of them
    EXPECT_TRUE(Await("old 3\n"));
    EXPECT_TRUE(Await("old 5\n"));
    // Renamed over: all of the new file's errors.
    const std::string next = path + ".next";
    ASSERT_EQ(WriteLogImage(Events("new ", 3), next.c_str()), 1);
    ASSERT_EQ(rename(next.c_str(), path.c_str()), 0);
    EXPECT_TRUE(Await("darvex-cli: " + path + ": file replaced; following the new file from its first event\n"));
    EXPECT_TRUE(Await("new 1\n"));
    EXPECT_TRUE(Await("new 3\n"));
    // Emptied, then written again in place.
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    EXPECT_TRUE(Await(path + ": file truncated; following it from its first event\n"));
    ASSERT_EQ(WriteLogImage(Events("again ", 1), path.c_str()), 1);
    EXPECT_TRUE(Await("again 1\n"));
    // Gone, then back.
    ASSERT_EQ(unlink(path.c_str()), 0);
    EXPECT_TRUE(Await(path + ": file deleted; waiting for it to come back\n"));
    ASSERT_EQ(WriteLogImage(Events("back ", 3), path.c_str()), 1);
    EXPECT_TRUE(Await(path + ": file appeared; following it from its first event\n"));
    EXPECT_TRUE(Await("back 1\n"));
    EXPECT_TRUE(Await("back 3\n"));
    EXPECT_EQ(seen.find("back 2"), std::string::npos);   // information: not passed
}

// FILE "-": the log from standard input, for every command but follow; named, a path
// longer than the viewer's 259 bytes opens in every command.
TEST_F(ListedLog, DashReadsTheLogFromStandardInputAndLongPathsOpen) {
    const std::string dir = TempPath(std::string(200, 'd').c_str()), longer = dir + "/" + std::string(100, 'p') + ".EVT";
    ASSERT_TRUE(mkdir(dir.c_str(), 0700) == 0 && rename(path.c_str(), longer.c_str()) == 0);
    path = longer;
    const auto fromStdin = [this](std::vector<std::string> args) {
        const int saved = dup(STDIN_FILENO), log = open(path.c_str(), O_RDONLY);
        dup2(log, STDIN_FILENO);
        close(log);
        const CliResult r = Cli(args);
        dup2(saved, STDIN_FILENO);
        close(saved);
        return r;
    };
    for (std::vector<std::string> args : {std::vector<std::string>{"list", "-", "--saved"},
                                          {"show", "-", "2", "--dump", "word"},
                                          {"export", "-", "--format", "json"},
                                          {"stats", "-"}, {"check", "-"}, {"find", "-", "--all", "--text", "error"}}) {
        const CliResult piped = fromStdin(args);
        args[1] = path;
        const CliResult named = Cli(args);
        EXPECT_EQ(piped.status, named.status) << args[0];
        EXPECT_EQ(piped.out, named.out) << args[0];
        EXPECT_GT(piped.out.size(), 20u) << args[0];
    }
    const CliResult follow = fromStdin({"follow", "-"});
    EXPECT_EQ(follow.status, kExitUsage);
    EXPECT_NE(follow.err.find("not standard input"), std::string::npos);
    std::remove(longer.c_str());
}

}  // namespace
