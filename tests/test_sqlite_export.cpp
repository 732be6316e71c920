// export --format sqlite and the SQLite writer under it, read back with the sqlite3 command.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_export_sqlite.h"
#include "cli/cli_run.h"
#include "cli/cli_sqlite.h"
#include "cli/cli_stream.h"
#include "eventlist/filter.h"
#include "cli_test_support.h"
#include "test_support.h"

#define DARVEX_TEST_STRING2(x) #x
#define DARVEX_TEST_STRING(x) DARVEX_TEST_STRING2(x)

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/darvex_sqlite_XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() { EXPECT_EQ(system(("rm -rf '" + path + "'").c_str()), 0); }
    std::string operator/(const char* name) const { return path + "/" + name; }
};

// The sqlite3 command's answer to a script, rows on lines and columns split by '|'.
std::string Sql(const std::string& db, const std::string& script) {
    const std::string file = db + ".sql";
    std::ofstream(file) << script << ";\n";
    FILE* p = popen(("sqlite3 -batch '" + db + "' < '" + file + "'").c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; p != nullptr && (n = fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    EXPECT_TRUE(p != nullptr && pclose(p) == 0) << script;
    std::remove(file.c_str());
    return out;
}

// The files in a folder (not its folders), sorted.
std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& f : std::filesystem::directory_iterator(dir)) {
        if (f.is_regular_file()) out.push_back(f.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// A generated log: mostly Shift-JIS descriptions, data of every size.
std::string Generate(const TempDir& dir, const char* name, const char* more = "") {
    const std::string path = dir / name;
    EXPECT_EQ(system((std::string(DARVEX_EVTGEN) + " --out '" + path + "' --events 700 --japanese 60 --wrapped " +
                      "--data-large-rate 20000 --quiet " + more)
                         .c_str()),
              0);
    return path;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

const std::string kSample = DARVEX_TEST_STRING(DARVEX_SOURCE_DIR) "/samples/PERN.EVT";

struct Ev {
    const char* time;
    uint16_t type;
    const char* description;
    std::vector<uint8_t> data;
};

// Writes one log's events through the API as the export does.
void AddLog(SqliteExport* e, const char* path, const char* computer, uint64_t digest, const std::vector<Ev>& events,
            size_t failAfter = SIZE_MAX) {
    LogImage image;
    InitLogImage(&image, 1, 200);
    SetComputerName(&image, computer);
    const LogHeader h = ImageHeader(image);
    int64_t id = 0;
    ASSERT_EQ(SqliteBeginSource(e, {path, computer, strlen(computer), &h, 200, digest}, &id), kSqliteOk);
    for (size_t i = 0; i < events.size() && i < failAfter; ++i) {
        const Ev& v = events[i];
        SqliteEvent ev = {88 + i * 40, v.type, TypeName(v.type), v.time, 2, "HALDOR/TOLVA          ", 3, "HALDOR/TOLVA",
                          3, computer, strlen(computer), v.description, strlen(v.description), v.data.data(),
                          uint32_t(v.data.size())};
        ASSERT_EQ(SqliteAddEvent(e, id, ev), kSqliteOk);
    }
    if (failAfter == SIZE_MAX) {
        ASSERT_EQ(SqliteEndSource(e), kSqliteOk);
    }
}

const std::vector<Ev> kAlpha = {{"2024-05-13T10:00:00", 1, "disk full", {0x00, 0xFF, 0x41}},
                                {"2024-05-13T10:00:05", 4, "接続に失敗しました", {}},
                                {"2024-05-13T10:00:09", 2, "say \"hi\", 'twice'", {0x7F}}};
const std::vector<Ev> kBeta = {{"2024-05-13T10:00:05", 4, "started", {1, 2, 3, 4}},
                               {"2024-05-13T10:00:07", 1, "stopped", {}}};

std::string Make(const TempDir& dir, const char* name, const std::vector<std::pair<const char*, const std::vector<Ev>*>>& logs,
                 bool append = false) {
    const std::string db = dir / name;
    SqliteExport* e = nullptr;
    EXPECT_EQ(SqliteBegin(db.c_str(), append, &e, stderr), kSqliteOk);
    uint64_t digest = 1;
    for (const auto& log : logs) AddLog(e, (std::string(log.first) + ".EVT").c_str(), log.first, digest++, *log.second);
    EXPECT_EQ(SqliteFinish(e, true), kSqliteOk);
    return db;
}

}  // namespace

// Every field as export's CSV writes it (the description's UTF-8 by the
// same code-page guess, the data's bytes), the count, the counts per type,
// a window's events in time order, and the record offsets; for a mapped and
// a loaded log.
TEST(SqliteExportCommand, EventsReadBackAsCsvExportWritesThem) {
    TempDir dir;
    const std::string japanese = Generate(dir, "ja.evt");
    const struct {
        std::string log;
        bool mapped;
        const char* since;
        const char* until;
    } cases[] = {{kSample, true, "2021-03-01", "2022-06-30T12:00"},
                 {japanese, true, "2020-01-01", "2021-12-31"},
                 {japanese, false, "2020-01-01", "2021-12-31"}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log + (c.mapped ? " mapped" : " loaded"));
        g_cliMapsFiles = c.mapped;
        const std::string db = dir.path + "/" + std::to_string(++n) + ".sqlite";
        const CliResult r = Cli({"export", c.log, "--format", "sqlite", "-o", db});
        EXPECT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("darvex-cli: " + db + ": 1 log, "), std::string::npos) << r.err;
        const CliResult all = Cli({"export", c.log, "--format", "csv", "-r"});
        const CliResult window = Cli({"export", c.log, "--format", "csv", "-r", "--since", c.since, "--until", c.until});
        g_cliMapsFiles = true;
        WriteText(dir / "all.csv", all.out);
        WriteText(dir / "window.csv", window.out);
        const std::string same =
            "CAST(e.type AS TEXT) = c.type AND e.typeName = c.typeName AND e.time = c.time AND "
            "CAST(e.component AS TEXT) = c.component AND e.componentName = c.componentName AND "
            "CAST(e.module AS TEXT) = c.module AND e.moduleName = c.moduleName AND e.computer = c.computer AND "
            "e.description = c.description AND lower(hex(e.data)) = c.data AND typeof(e.data) = 'blob'";
        const std::string answer = Sql(
            db, ".import --csv '" + (dir / "all.csv") + "' csvall\n.import --csv '" + (dir / "window.csv") +
                    "' csvwindow\n"
                    "SELECT (SELECT count(*) FROM events) = (SELECT count(*) FROM csvall),"
                    " (SELECT group_concat(type || ':' || n) FROM (SELECT type, count(*) n FROM events GROUP BY type)) ="
                    " (SELECT group_concat(type || ':' || n) FROM (SELECT CAST(type AS INTEGER) type, count(*) n FROM csvall GROUP BY 1)),"
                    " (SELECT count(*) FROM csvwindow) > 20,"
                    " (SELECT count(*) FROM (SELECT row_number() OVER (ORDER BY id) r, * FROM events"
                    "  WHERE time BETWEEN '" + c.since + "' AND '" + std::string(c.until) + "~') e"
                    "  JOIN (SELECT rowid r, * FROM csvwindow) c USING (r) WHERE " + same + ") ="
                    " (SELECT count(*) FROM csvwindow),"
                    " (SELECT count(*) FROM csvall WHERE description GLOB '*[^ -~]*') > 0,"
                    " (SELECT offset FROM events ORDER BY id LIMIT 1) = (SELECT oldestOffset FROM sources),"
                    " (SELECT count(DISTINCT offset) FROM events) = (SELECT count(*) FROM events),"
                    " (SELECT events FROM sources) = (SELECT count(*) FROM events)");
        EXPECT_EQ(answer, "1|1|1|1|1|1|1|1\n");
    }
}

// A second export is refused without --append; --append skips a log the
// database holds and adds another; the row options choose the events.
TEST(SqliteExportCommand, AnExistingDatabaseTakesNewLogsOnlyWithAppend) {
    TempDir dir;
    const std::string db = dir / "fleet.sqlite";
    const std::string other = Generate(dir, "other.evt", "--seed 5 --computer KESTREL-07");
    ASSERT_EQ(Cli({"export", kSample, "--format", "sqlite", "--output", db, "--types", "error"}).status, kExitOk);
    const std::string before = Sql(db, "SELECT count(*), min(type), max(type) FROM events");
    EXPECT_EQ(before.substr(before.find('|')), "|1|1\n");

    const CliResult again = Cli({"export", kSample, "--format", "sqlite", "-o", db});
    EXPECT_EQ(again.status, kExitUsage);
    EXPECT_EQ(again.err, "darvex-cli: " + db + ": the database exists; give --append to add logs to it\n");
    const CliResult same = Cli({"export", kSample, "--format", "sqlite", "-o", db, "--append"});
    EXPECT_EQ(same.status, kExitOk);
    EXPECT_NE(same.err.find(": in " + db + " already (the same bytes); skipped\n"), std::string::npos) << same.err;
    EXPECT_EQ(Sql(db, "SELECT count(*), min(type), max(type) FROM events"), before);

    const CliResult added = Cli({"export", other, "--format", "sqlite", "-o", db, "--append"});
    EXPECT_EQ(added.status, kExitOk) << added.err;
    EXPECT_EQ(added.out, "");
    EXPECT_EQ(Sql(db, "SELECT group_concat(computer || ':' || events, ' ') FROM sources;"
                      "SELECT computer, count(*) FROM events GROUP BY computer ORDER BY computer"),
              "HALDOR-SRV01:" + before.substr(0, before.find('|')) + " KESTREL-07:700\n" + "HALDOR-SRV01|" +
                  before.substr(0, before.find('|')) + "\nKESTREL-07|700\n");
    EXPECT_EQ(Files(dir.path), (std::vector<std::string>{"fleet.sqlite", "other.evt"}));

    // The options that belong to the other formats, or to none without SQLite's.
    EXPECT_EQ(Cli({"export", kSample, "--format", "csv", "-o", db}).status, kExitUsage);
    EXPECT_EQ(Cli({"export", kSample, "--format", "sqlite"}).err, "darvex-cli: --format sqlite needs --output DB\nTry 'darvex-cli --help'.\n");
}

// A failure leaves no database under the name: an output folder that is
// missing, a log that is corrupted or cannot be read (alone: nothing is made;
// beside a good one: the good one is written and the status is the failure's).
TEST(SqliteExportCommand, AFailureLeavesNoDatabaseUnderTheName) {
    TempDir dir;
    const CliResult missing = Cli({"export", kSample, "--format", "sqlite", "-o", dir / "no/x.sqlite"});
    EXPECT_EQ(missing.status, kExitWriteFailed);
    EXPECT_NE(missing.err.find("no/x.sqlite: cannot make the temporary file beside it"), std::string::npos) << missing.err;

    const std::string broken = dir / "broken.evt";
    ASSERT_EQ(system((std::string(DARVEX_EVTGEN) + " --out '" + broken + "' --broken chain-leaves-area > /dev/null").c_str()), 0);
    const std::string db = dir / "x.sqlite";
    const CliResult corrupted = Cli({"export", broken, "--format", "sqlite", "-o", db});
    EXPECT_EQ(corrupted.status, kExitCorrupted);
    EXPECT_EQ(corrupted.err, "darvex-cli: " + broken + ": Event log file is corrupted.\n");
    EXPECT_EQ(Files(dir.path), std::vector<std::string>{"broken.evt"});

    CliOptions o = {};
    o.format = kFormatSqlite;
    o.last = UINT32_MAX;
    o.output = db.c_str();
    const std::string gone = dir / "gone.evt";
    const SqliteLogName logs[] = {{gone.c_str(), "gone.evt"}, {kSample.c_str(), "PERN.EVT"}, {broken.c_str(), "broken.evt"}};
    FILE* err = tmpfile();
    EXPECT_EQ(ExportSqliteLogs(o, logs, 3, err), kExitOpenFailed);
    const std::string messages = ReadBack(err);
    EXPECT_NE(messages.find("gone.evt: Failed to open"), std::string::npos) << messages;
    EXPECT_NE(messages.find("broken.evt: Event log file is corrupted."), std::string::npos) << messages;
    EXPECT_NE(messages.find(": 1 log, 400 events written"), std::string::npos) << messages;
    EXPECT_EQ(Sql(db, "SELECT path, events FROM sources"), "PERN.EVT|400\n");

    // Appending only a failure leaves the database as it was, and no temporary file.
    o.append = true;
    err = tmpfile();
    EXPECT_EQ(ExportSqliteLogs(o, logs + 2, 1, err), kExitCorrupted);
    fclose(err);
    EXPECT_EQ(Sql(db, "SELECT count(*) FROM sources"), "1\n");
    EXPECT_EQ(Files(dir.path), (std::vector<std::string>{"broken.evt", "x.sqlite"}));
}

TEST(SqliteExport, EventsAndSourcesReadBack) {
    TempDir dir;
    const std::string db = Make(dir, "all.sqlite", {{"ALPHA", &kAlpha}, {"BETA", &kBeta}});
    EXPECT_EQ(Files(dir.path), std::vector<std::string>{"all.sqlite"});
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st;
    ASSERT_EQ(stat(db.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);   // not the temporary file's 0600
    EXPECT_EQ(Sql(db, "SELECT computer, count(*) FROM events GROUP BY computer ORDER BY computer"), "ALPHA|3\nBETA|2\n");
    // A time window across both logs, in time order, the sources' paths joined.
    EXPECT_EQ(Sql(db, "SELECT e.time, s.path, e.typeName, e.offset FROM events e JOIN sources s ON s.id = e.source"
                      " WHERE time BETWEEN '2024-05-13T10:00:05' AND '2024-05-13T10:00:08' ORDER BY time, e.id"),
              "2024-05-13T10:00:05|ALPHA.EVT|Information|128\n2024-05-13T10:00:05|BETA.EVT|Information|88\n"
              "2024-05-13T10:00:07|BETA.EVT|Error|128\n");
    EXPECT_EQ(Sql(db, "SELECT description, length(description) FROM events WHERE id <= 3 ORDER BY id"),
              "disk full|9\n接続に失敗しました|9\nsay \"hi\", 'twice'|17\n");
    EXPECT_EQ(Sql(db, "SELECT path, computer, component, componentName, magic, size, digest, recordAreaEnd, events"
                      " FROM sources ORDER BY id"),
              "ALPHA.EVT|ALPHA|2|HALDOR/TOLVA|TOLVA.EVT V1.0 |200|0000000000000001|200|3\n"
              "BETA.EVT|BETA|2|HALDOR/TOLVA|TOLVA.EVT V1.0 |200|0000000000000002|200|2\n");
    EXPECT_EQ(Sql(db, "SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'events_%' ORDER BY name"),
              "events_computer\nevents_time\nevents_type\n");
    EXPECT_NE(Sql(db, "EXPLAIN QUERY PLAN SELECT * FROM events WHERE time > 'x'").find("events_time"), std::string::npos);
}

TEST(SqliteExport, AnExistingDatabaseIsRefusedUnlessAppending) {
    TempDir dir;
    const std::string db = Make(dir, "one.sqlite", {{"ALPHA", &kAlpha}});
    SqliteExport* e = nullptr;
    FILE* err = tmpfile();
    EXPECT_EQ(SqliteBegin(db.c_str(), false, &e, err), kSqliteExists);
    EXPECT_EQ(e, nullptr);
    // Appending: the digest of the log already in with another size is another log (the same
    // log, and another digest, the command tests find), and a new one goes in.
    chmod(db.c_str(), 0640);
    ASSERT_EQ(SqliteBegin(db.c_str(), true, &e, err), kSqliteOk);
    bool present = true;
    ASSERT_EQ(SqliteHasSource(e, 1, 201, &present), kSqliteOk);
    EXPECT_FALSE(present);
    AddLog(e, "BETA.EVT", "BETA", 2, kBeta);
    EXPECT_EQ(SqliteFinish(e, true), kSqliteOk);
    EXPECT_EQ(Sql(db, "SELECT path, events FROM sources ORDER BY id"), "ALPHA.EVT|3\nBETA.EVT|2\n");
    struct stat st;
    ASSERT_EQ(stat(db.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);          // as it was before the append
    // A file that is no database of ours is not appended to.
    const std::string other = dir / "other.sqlite";
    Sql(other, "CREATE TABLE t(x)");
    EXPECT_EQ(SqliteBegin(other.c_str(), true, &e, err), kSqliteFailed);
    std::ofstream(dir / "text.sqlite") << "not a database at all, but long enough to be read as a header........";
    EXPECT_EQ(SqliteBegin((dir / "text.sqlite").c_str(), true, &e, err), kSqliteFailed);
    const std::string messages = ReadBack(err);
    EXPECT_NE(messages.find(other + ": not a database of exported events"), std::string::npos) << messages;
    EXPECT_NE(messages.find("text.sqlite: "), std::string::npos) << messages;
    EXPECT_EQ(Files(dir.path), (std::vector<std::string>{"one.sqlite", "other.sqlite", "text.sqlite"}));
}

TEST(SqliteExport, AFailureLeavesNoFileAndTheOldDatabaseAsItWas) {
    TempDir dir;
    // Given up in the middle of a log: neither the name nor a temporary file remains.
    SqliteExport* e = nullptr;
    ASSERT_EQ(SqliteBegin((dir / "new.sqlite").c_str(), false, &e, stderr), kSqliteOk);
    AddLog(e, "ALPHA.EVT", "ALPHA", 1, kAlpha);
    AddLog(e, "BETA.EVT", "BETA", 2, kBeta, 1);
    EXPECT_EQ(SqliteFinish(e, false), kSqliteFailed);
    EXPECT_EQ(Files(dir.path), std::vector<std::string>{});
    // Finishing with a log begun and not ended is a failure too.
    ASSERT_EQ(SqliteBegin((dir / "new.sqlite").c_str(), false, &e, stderr), kSqliteOk);
    AddLog(e, "BETA.EVT", "BETA", 2, kBeta, 1);
    EXPECT_EQ(SqliteFinish(e, true), kSqliteFailed);
    EXPECT_EQ(Files(dir.path), std::vector<std::string>{});
    // An append given up keeps the database as it was.
    const std::string db = Make(dir, "old.sqlite", {{"ALPHA", &kAlpha}});
    const std::string before = Bytes(db);
    ASSERT_EQ(SqliteBegin(db.c_str(), true, &e, stderr), kSqliteOk);
    AddLog(e, "BETA.EVT", "BETA", 2, kBeta);
    EXPECT_EQ(SqliteFinish(e, false), kSqliteFailed);
    EXPECT_TRUE(Bytes(db) == before);
    EXPECT_EQ(Files(dir.path), std::vector<std::string>{"old.sqlite"});
    // A file taken for a folder, or a folder that cannot be written (unless run as root).
    EXPECT_EQ(SqliteBegin((db + "/x.sqlite").c_str(), false, &e, stderr), kSqliteFailed);
    const std::string locked = dir / "locked";
    mkdir(locked.c_str(), 0555);
    if (geteuid() != 0) {
        EXPECT_EQ(SqliteBegin((locked + "/x.sqlite").c_str(), false, &e, stderr), kSqliteFailed);
    }
    EXPECT_EQ(e, nullptr);
    EXPECT_EQ(Files(dir.path), std::vector<std::string>{"old.sqlite"});
    chmod(locked.c_str(), 0755);
}

// A folder of logs from several machines: each readable log becomes a source,
// the broken one is named and left out, and the database ordered by time
// (then as written) holds the merged timeline oldest first, with the same
// counts per computer as stats.
TEST(SqliteExport, AFolderOfLogsHoldsTheMergedTimeline) {
    TempDir dir;
    const std::string fleet = dir / "fleet", db = dir / "fleet.sqlite";
    ASSERT_EQ(system(("'" DARVEX_EVTGEN "' --quiet --logs 7 --machines 3 --events-per-log 300 --fleet '" + fleet + "'").c_str()), 0);
    const CliResult r = Cli({"export", fleet, "--format", "sqlite", "-o", db});
    EXPECT_EQ(r.status, kExitCorrupted);
    EXPECT_NE(r.err.find("Event log file is corrupted."), std::string::npos) << r.err;
    EXPECT_EQ(Sql(db, "select count(*) from sources"), "6\n");
    std::string merged;
    for (const std::string& line : Lines(Cli({"list", fleet, "--format", "line", "-r"}).out)) {
        merged += line.substr(0, line.find('\t', line.find('\t') + 1)) + "\n";   // the path and the time
    }
    EXPECT_EQ(Sql(db, "select s.path || char(9) || e.time from events e join sources s on s.id = e.source"
                      " order by e.time, e.id"),
              merged);
    std::string perComputer;
    const std::string stats = Cli({"stats", fleet}).out;
    for (const std::string& line : Lines(stats.substr(stats.find("Computer:\n") + 10))) {
        std::istringstream fields(line);
        std::string name, count;
        fields >> name >> count;
        perComputer += name + "|" + count + "\n";
    }
    EXPECT_EQ(Sql(db, "select computer, count(*) from events group by computer order by computer"), perComputer);
}
