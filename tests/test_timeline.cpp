// darvex-cli over several logs: a generated fleet merged into one timeline,
// against each log read alone and sorted by stamp here.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "cli/cli_run.h"
#include "cli/cli_stream.h"
#include "cli_test_support.h"
#include "test_support.h"

namespace {

// A generated fleet of 7 logs over 3 machines, one of them refused as corrupted.
struct FleetTest : ::testing::Test {
    static std::string dir;
    static std::vector<std::string> files;   // as a folder lists them: by their paths' bytes
    static int Generate(const std::string& to, int seed) {
        return system(("'" DARVEX_EVTGEN "' --quiet --logs 7 --machines 3 --events-per-log 300 --seed " +
                       std::to_string(seed) + " --fleet '" + to + "'").c_str());
    }
    static void SetUpTestSuite() {
        dir = ::testing::TempDir() + "darvex_timeline_" + std::to_string(getpid());
        ASSERT_EQ(Generate(dir, 3), 0);
        for (const auto& f : std::filesystem::recursive_directory_iterator(dir)) {
            if (f.is_regular_file()) files.push_back(f.path().string());
        }
        std::sort(files.begin(), files.end());
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

    // Each log alone, each line behind its path, then a stable sort by the
    // stamp that stamp() reads: the greatest first, or with oldest the least.
    template <typename Stamp>
    std::vector<std::string> Reference(std::vector<std::string> args, bool oldest, Stamp stamp) {
        std::vector<std::string> all;
        for (const std::string& file : files) {
            std::vector<std::string> one = args;
            one.insert(one.begin() + 1, file);
            const CliResult r = Cli(one);
            if (r.status != 0) continue;
            for (const std::string& line : Lines(r.out)) all.push_back(Sourced(file, line));
        }
        std::stable_sort(all.begin(), all.end(), [&](const std::string& a, const std::string& b) {
            return oldest ? stamp(a) < stamp(b) : stamp(a) > stamp(b);
        });
        return all;
    }
    // The source as the merge writes it: the line format's first field, or
    // export's "source" after "computer".
    static std::string Sourced(const std::string& file, const std::string& line) {
        if (line[0] != '{') return file + "\t" + line;
        std::string copy = line;
        const size_t at = copy.find(",\"description\":");
        copy.insert(at, ",\"source\":\"" + file + "\"");
        return copy;
    }
    static std::string LineStamp(const std::string& line) { return line.substr(line.find('\t') + 1, 19); }
    static std::string JsonStamp(const std::string& line) { return line.substr(line.find("\"time\":\"") + 8, 19); }
};
std::string FleetTest::dir;
std::vector<std::string> FleetTest::files;

// The fleet itself: logs in folders and beside them, one corrupted, two or
// more wrapped, two readable ones a machine, Shift-JIS texts on MACHINE03
// alone; a stretch of time all logs share and stamps in several logs, so that
// the merge has to interleave and keep ties stable. The same seed gives the
// same bytes, another other ones.
TEST_F(FleetTest, TheGeneratedLogsOverlapInTime) {
    std::vector<std::string> names;
    std::map<std::string, int> perMachine, stampLogs;
    std::string latestFirst, earliestLast = "~";
    int refused = 0, wrapped = 0;
    for (const std::string& file : files) {
        names.push_back(file.substr(dir.size() + 1));
        const CliResult r = Cli({"list", file, "--format", "line"});
        if (r.status != 0) {
            EXPECT_EQ(r.status, kExitCorrupted) << file;
            ++refused;
            continue;
        }
        std::set<std::string> stamps;
        for (const std::string& line : Lines(r.out)) stamps.insert(line.substr(0, 19));
        for (const std::string& stamp : stamps) ++stampLogs[stamp];
        std::istringstream fields(r.out);
        std::string computer;
        for (int i = 0; i < 5; ++i) std::getline(fields, computer, '\t');   // the first row's fifth field
        ++perMachine[computer];
        EXPECT_EQ(std::any_of(r.out.begin(), r.out.end(), [](char c) { return c & 0x80; }), computer == "MACHINE03") << file;
        EXPECT_EQ(stamps.begin()->substr(0, 10), "2024-05-13") << file;
        latestFirst = std::max(latestFirst, *stamps.begin());
        earliestLast = std::min(earliestLast, *stamps.rbegin());
        uint8_t header[kRecordAreaStart];
        std::ifstream(file, std::ios::binary).read(reinterpret_cast<char*>(header), sizeof header);
        wrapped += GetU32(header + kOffsetOldestOffset) != kRecordAreaStart;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MACHINE01/BORAXLIN.EVT", "MACHINE01/PERN.EVT", "MACHINE01/TOLVA.EVT",
                                               "MACHINE02_BORAXLIN.EVT", "MACHINE02_TOLVA.EVT",
                                               "MACHINE03/BORAXLIN.evt", "MACHINE03/KESTRAM.evt"}));
    EXPECT_EQ(refused, 1);
    EXPECT_GE(wrapped, 2);
    EXPECT_EQ(perMachine, (std::map<std::string, int>{{"MACHINE01", 2}, {"MACHINE02", 2}, {"MACHINE03", 2}}));
    EXPECT_LT(latestFirst, earliestLast);
    EXPECT_GT(std::count_if(stampLogs.begin(), stampLogs.end(), [](const auto& s) { return s.second >= 2; }), 50);
    const auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (int seed : {3, 6}) {
        const std::string again = dir + "_seed" + std::to_string(seed);
        ASSERT_EQ(Generate(again, seed), 0);
        int same = 0;
        for (const std::string& file : files) same += bytes(file) == bytes(again + file.substr(dir.size()));
        EXPECT_EQ(same, seed == 3 ? 7 : 1) << seed;
        std::filesystem::remove_all(again);
    }
}

// The merge equals a stable sort by stamp, newest and oldest first, for the
// line rows and for NDJSON; -n keeps the newest of the merged rows. The
// broken log is named on standard error, the others shown, and the status is 6.
TEST_F(FleetTest, TheMergeIsAStableSortOfEveryLogsEventsByStamp) {
    ASSERT_EQ(files.size(), 7u);
    for (bool oldest : {false, true}) {
        std::vector<std::string> line = {"list", "--format", "line", "--codepage", "932"};
        std::vector<std::string> ndjson = {"export", "--format", "ndjson", "--codepage", "932"};
        if (oldest) line.push_back("-r"), ndjson.push_back("-r");
        const std::vector<std::string> lines = Reference(line, oldest, LineStamp);
        EXPECT_EQ(lines.size(), 6u * 300);
        line.insert(line.begin() + 1, dir);
        const CliResult merged = Cli(line);
        EXPECT_EQ(merged.status, kExitCorrupted);
        EXPECT_EQ(Lines(merged.out), lines);
        EXPECT_NE(merged.err.find(dir + "/MACHINE01/TOLVA.EVT: Event log file is corrupted."), std::string::npos) << merged.err;
        ndjson.insert(ndjson.begin() + 1, dir);
        const CliResult json = Cli(ndjson);
        EXPECT_EQ(json.status, kExitCorrupted);
        ndjson.erase(ndjson.begin() + 1);
        EXPECT_EQ(Lines(json.out), Reference(ndjson, oldest, JsonStamp));
    }
    // -n: the newest 250 of the merge, in either order.
    const std::vector<std::string> newest = Reference({"list", "--format", "line"}, false, LineStamp);
    std::multiset<std::string> newest250(newest.begin(), newest.begin() + 250);
    std::vector<std::string> oldest250;
    for (const std::string& line : Reference({"list", "--format", "line", "-r"}, true, LineStamp)) {
        if (newest250.count(line)) oldest250.push_back(line), newest250.erase(newest250.find(line));
    }
    for (bool mapped : {true, false}) {   // the logs mapped, or loaded into tables
        g_cliMapsFiles = mapped;
        const CliResult last = Cli({"list", dir, "--format", "line", "-n", "250"});
        EXPECT_EQ(Lines(last.out), std::vector<std::string>(newest.begin(), newest.begin() + 250)) << mapped;
        EXPECT_EQ(Lines(Cli({"list", dir, "--format", "line", "-n", "250", "-r"}).out), oldest250) << mapped;
    }
    g_cliMapsFiles = true;
    // No log readable: nothing on standard output, the first failure's status.
    const CliResult none = Cli({"list", files[2], dir + "/missing.evt"});
    EXPECT_EQ(none.status, kExitCorrupted);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("missing.evt: Failed to open"), std::string::npos);
}

// A folder is its files one by one in sorted order; "-" with a list of paths
// (CR LF, blank lines) is the same paths given as arguments.
TEST_F(FleetTest, AFolderAndAListOnStandardInputAreTheirFiles) {
    std::vector<std::string> byFile = {"export", "--format", "csv"};
    byFile.insert(byFile.begin() + 1, files.begin(), files.end());
    const CliResult folder = Cli({"export", dir, "--format", "csv"});
    const CliResult given = Cli(byFile);
    EXPECT_EQ(folder.out, given.out);
    EXPECT_EQ(folder.status, given.status);
    EXPECT_EQ(Lines(folder.out)[0], "type,typeName,time,component,componentName,module,moduleName,computer,source,description,data\r");
    const std::string list = dir + ".list";
    FILE* f = fopen(list.c_str(), "wb");
    fprintf(f, "%s\r\n\n%s\n%s", files[5].c_str(), files[0].c_str(), files[3].c_str());
    fclose(f);
    const CliResult piped = Cli({"list", "-", "--format", "line"}, tmpfile(), list);
    const CliResult named = Cli({"list", files[5], files[0], files[3], "--format", "line"});
    std::remove(list.c_str());
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, named.out);
    EXPECT_GT(Lines(piped.out).size(), 800u);
}

// --dedupe: two copies of a log show each event once; stats count by file
// and by computer as much as in all; find's row is the row show shows.
TEST_F(FleetTest, DedupeStatsAndRows) {
    const std::string copy = dir + "_copy.evt";
    std::filesystem::copy_file(files[0], copy);
    const CliResult once = Cli({"list", files[0], "--format", "line"});
    const CliResult both = Cli({"list", files[0], copy, "--format", "line", "--dedupe"});
    const CliResult twice = Cli({"list", files[0], copy, "--format", "line"});
    std::filesystem::remove(copy);
    std::vector<std::string> expected;
    for (const std::string& line : Lines(once.out)) expected.push_back(files[0] + "\t" + line);
    EXPECT_EQ(Lines(both.out), expected);
    EXPECT_EQ(Lines(twice.out).size(), 2 * expected.size());

    const CliResult stats = Cli({"stats", dir});
    const std::vector<std::string> lines = Lines(stats.out);
    uint64_t total = 0, perComputer = 0, perFile = 0;
    const char* section = "";
    for (const std::string& line : lines) {
        if (line.rfind("Events: ", 0) == 0) total = std::stoull(line.substr(8));
        if (line == "File:" || line == "Computer:") section = line == "File:" ? "file" : "computer";
        else if (line.rfind("  ", 0) == 0 && *section) (section[0] == 'f' ? perFile : perComputer) += std::stoull(line.substr(line.rfind(' ')));
    }
    EXPECT_EQ(total, 6u * 300);
    EXPECT_EQ(perComputer, total);
    EXPECT_EQ(perFile, total);
    EXPECT_NE(stats.out.find("\n  MACHINE02            600\n"), std::string::npos) << stats.out;

    const CliResult found = Cli({"find", dir, "--all", "--find-types", "error", "-r"});
    const std::vector<std::string> rows = Lines(Cli({"list", dir, "--no-header", "-r"}).out);
    ASSERT_GT(Lines(found.out).size(), 5u);
    for (const std::string& match : Lines(found.out)) {
        const size_t row = std::stoul(match);
        EXPECT_EQ(match.substr(match.find('\t') + 1), rows[row]);
    }
    const std::string first = Lines(found.out)[3];
    const CliResult shown = Cli({"show", dir, first.substr(0, first.find('\t')), "-r"});
    EXPECT_EQ(shown.out.rfind("Source: " + dir + "/", 0), 0u) << shown.out;
    EXPECT_NE(shown.out.find(rows[std::stoul(first)].substr(8, 8)), std::string::npos);   // the row's date
}

}  // namespace
