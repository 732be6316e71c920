// darvex-cli find: the Find dialog's search over the rows list prints, and its
// options; the search's own rules are the Find tests'.
#include "cli/cli_find.h"
#include "cli_test_support.h"

namespace {

// The events in list order (row 0 the newest), one second apart.
std::string WriteEvents(std::vector<SyntheticEvent> events, const char* name) {
    std::vector<std::string> stamps;
    stamps.reserve(events.size());
    for (size_t i = 0; i < events.size(); ++i) {
        stamps.push_back("2003/04/0506:07:" + std::to_string(59 - i));
        events[i].stamp = stamps.back().c_str();
    }
    return WriteLog(SyntheticLogImage(events.data(), uint32_t(events.size())), name);
}

struct FindLog : ::testing::Test {
    std::string path;
    std::vector<std::string> rows;   // as list prints them
    void SetUp() override {
        path = WriteEvents({{kTypeInformation, 0, nullptr, "service started"},
                            {kTypeError, 6, nullptr, "disk ERROR on drive C"},
                            {kTypeWarning, 2, nullptr, "Error count high"},
                            {kTypeInformation, 1, nullptr, "backup done"},
                            {kTypeError, 3, nullptr, "eRRoR: timeout"},
                            {kTypeInformation, 5, nullptr, "all fine"}},
                           "find.evt");
        rows = Lines(Cli({"list", path, "--no-header"}).out);
        ASSERT_EQ(rows.size(), 6u);
    }
    // What find prints for the arguments after "find FILE", and its status.
    std::string Find(std::vector<std::string> args, int status = 0) {
        args.insert(args.begin(), {"find", path});
        const CliResult r = Cli(args);
        EXPECT_EQ(r.status, status) << r.err;
        return r.out;
    }
    std::string Hits(std::initializer_list<int> indexes) {
        std::string text;
        for (int i : indexes) text += std::to_string(i) + "\t" + rows[size_t(i)] + "\n";
        return text;
    }
};

// The search stops at the end of the list unless the wrap is accepted; the
// criteria choose matches, and the row indexes stay those of the whole list.
TEST_F(FindLog, OptionsStartTheSearchAndChooseItsCriteria) {
    EXPECT_EQ(Find({"--text", "error"}), Hits({1}));   // no selection: down from row 0
    EXPECT_EQ(Find({"--text", "ERROR", "--from-row", "1"}), Hits({2}));
    EXPECT_EQ(Find({"--text", "error", "--from-row", "2", "--up"}), Hits({1}));
    EXPECT_EQ(Find({"--from-row", "3"}), Hits({4}));   // no text: the next row
    EXPECT_EQ(Find({"--text", "error", "--from-row", "4"}, kExitNoMatch), "no event matched down to the end of the list\n");
    EXPECT_EQ(Find({"--text", "error", "--from-row", "4", "--wrap"}), Hits({1}));
    EXPECT_EQ(Find({"--text", "error", "--up"}, kExitNoMatch), "no event matched up to the top of the list\n");
    EXPECT_EQ(Find({"--text", "error", "--up", "--wrap"}), Hits({4}));
    EXPECT_EQ(Find({"--text", "errors", "--wrap"}, kExitNoMatch), "no event matched\n");
    EXPECT_EQ(Find({"--all", "--text", "error"}), Hits({1, 2, 4}));
    EXPECT_EQ(Find({"--all", "--text", "nothing"}, kExitNoMatch), "no event matched\n");
    EXPECT_EQ(Find({"--all", "--types", "warning,information", "--text", "error"}), Hits({2}));
    EXPECT_EQ(Find({"--all", "--component", "3"}), Hits({5}));
    EXPECT_EQ(Find({"--all", "--module", "2"}), Hits({3}));   // module code 1
    EXPECT_EQ(Find({"--order", "oldest", "--text", "error"}), "1\t" + rows[4] + "\n");
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"find", path, "--from-row", "6"}, {"find", path, "--all", "--up"}, {"list", path, "--text", "x"}}) {
        EXPECT_EQ(Cli(bad).status, kExitUsage) << bad[2];
    }
}

// ア (0x83 0x41) typed as UTF-8 is found as the log's code page holds it; ヂ
// (0x83 0x61) and ャA (0x83 0x83 0x41) hold its bytes only across characters.
TEST(CliFind, TextIsTypedInUtf8OrRawInTheLogsCodePage) {
    const std::string path = WriteEvents({{kTypeInformation, 0, nullptr, "\x83\x61"},
                                          {kTypeInformation, 0, nullptr, "\x83\x83\x41"},
                                          {kTypeInformation, 0, nullptr, "\x83\x41\x83\x58"}},
                                         "japanese-find.evt");
    const std::string hit = "2\t" + Lines(Cli({"list", path, "--no-header"}).out).at(2) + "\n";
    EXPECT_EQ(Cli({"find", path, "--all", "--text", u8"ア"}).out, hit);
    EXPECT_EQ(Cli({"find", path, "--text", "\x83\x41", "--raw", "--codepage", "932"}).out, hit);
    EXPECT_EQ(Lines(Cli({"find", path, "--all", "--raw", "--codepage", "1252", "--text", "\x83\x41"}).out).size(), 3u);
    EXPECT_EQ(Cli({"find", path, "--text", u8"\u20ac", "--codepage", "932"}).status, kExitUsage);
}

}  // namespace
