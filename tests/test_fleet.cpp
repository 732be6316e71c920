// The logs' digest, and the SQLite writer read back with the sqlite3 command.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "cli/cli_sqlite.h"
#include "eventlist/filter.h"
#include "test_support.h"

namespace {

// A folder of its own for each test, removed with everything in it.
struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/darvex_fleet_XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() { EXPECT_EQ(system(("rm -rf '" + path + "'").c_str()), 0); }
    std::string operator/(const char* name) const { return path + "/" + name; }
};

std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; p != nullptr && (n = fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    EXPECT_TRUE(p != nullptr && pclose(p) == 0) << command;
    return out;
}

// The sqlite3 command's answer, rows on lines and columns split by '|'.
std::string Sql(const std::string& db, const std::string& query) {
    const std::string file = db + ".query";
    std::ofstream(file) << query << ";\n";
    std::string out = Shell("sqlite3 -batch '" + db + "' < '" + file + "'");
    std::remove(file.c_str());
    return out;
}

// The files below dir, as paths from it, sorted.
std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& f : std::filesystem::recursive_directory_iterator(dir)) {
        if (f.is_regular_file()) out.push_back(f.path().lexically_relative(dir).string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

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

TEST(LogDigest, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + (i >> 8));
    const uint64_t whole = LogDigest(bytes.data(), bytes.size());
    for (size_t piece : {1, 5, 31, 32, 33, 64, 999}) {
        LogDigestState d;
        LogDigestInit(&d);
        for (size_t at = 0; at < bytes.size(); at += piece) LogDigestUpdate(&d, bytes.data() + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(LogDigestFinal(&d), whole) << piece;
    }
    // One byte changed anywhere, or one more zero byte, gives another digest.
    std::set<uint64_t> seen = {whole, LogDigest(bytes.data(), 999), LogDigest(bytes.data(), 0)};
    bytes.push_back(0);
    seen.insert(LogDigest(bytes.data(), bytes.size()));
    for (size_t at : {0, 31, 32, 500, 999}) {
        bytes[at] ^= 1;
        seen.insert(LogDigest(bytes.data(), 1000));
        bytes[at] ^= 1;
    }
    EXPECT_EQ(seen.size(), 9u);
    char text[17];
    FormatLogDigest(0x0123456789abcdefull, text);
    EXPECT_STREQ(text, "0123456789abcdef");
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
    // Appending: the log already in (same digest and size) is found, a new one goes in.
    chmod(db.c_str(), 0640);
    ASSERT_EQ(SqliteBegin(db.c_str(), true, &e, err), kSqliteOk);
    bool present = false;
    ASSERT_EQ(SqliteHasSource(e, 1, 200, &present), kSqliteOk);
    EXPECT_TRUE(present);
    ASSERT_EQ(SqliteHasSource(e, 1, 201, &present), kSqliteOk);
    EXPECT_FALSE(present);
    ASSERT_EQ(SqliteHasSource(e, 2, 200, &present), kSqliteOk);
    EXPECT_FALSE(present);
    AddLog(e, "BETA.EVT", "BETA", 2, kBeta);
    EXPECT_EQ(SqliteFinish(e, true), kSqliteOk);
    EXPECT_EQ(Sql(db, "SELECT computer, count(*) FROM events GROUP BY computer ORDER BY computer"), "ALPHA|3\nBETA|2\n");
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
    rewind(err);
    char buffer[2048] = {};
    EXPECT_GT(fread(buffer, 1, sizeof buffer - 1, err), 0u);
    fclose(err);
    const std::string messages = buffer;
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
    const std::string before = Shell("cat '" + db + "' | od -c | md5sum");
    ASSERT_EQ(SqliteBegin(db.c_str(), true, &e, stderr), kSqliteOk);
    AddLog(e, "BETA.EVT", "BETA", 2, kBeta);
    EXPECT_EQ(SqliteFinish(e, false), kSqliteFailed);
    EXPECT_EQ(Shell("cat '" + db + "' | od -c | md5sum"), before);
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

}  // namespace
