#include "cli/cli_sqlite.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "eventlist/filter.h"

// ---------------------------------------------------------------------------
// The digest: four lanes over 32-byte stripes, then the tail and the length.

namespace {

constexpr uint64_t kP1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kP3 = 0x165667B19E3779F9ull;
constexpr uint64_t kP4 = 0x85EBCA77C2B2AE63ull;

inline uint64_t Rotl(uint64_t v, int n) { return (v << n) | (v >> (64 - n)); }
inline uint64_t Load64(const uint8_t* p) {
    return uint64_t(GetU32(p)) | (uint64_t(GetU32(p + 4)) << 32);
}
inline uint64_t Round(uint64_t lane, uint64_t word) { return Rotl(lane + word * kP2, 31) * kP1; }

void Stripe(LogDigestState* d, const uint8_t* p) {
    for (int i = 0; i < 4; ++i) d->lane[i] = Round(d->lane[i], Load64(p + 8 * i));
}

}  // namespace

void LogDigestInit(LogDigestState* d) {
    memset(d, 0, sizeof *d);
    d->lane[0] = kP1 + kP2;
    d->lane[1] = kP2;
    d->lane[2] = 0;
    d->lane[3] = 0 - kP1;
}

void LogDigestUpdate(LogDigestState* d, const uint8_t* bytes, size_t n) {
    d->total += n;
    if (d->pendingBytes != 0) {
        const size_t take = n < 32 - d->pendingBytes ? n : 32 - d->pendingBytes;
        memcpy(d->pending + d->pendingBytes, bytes, take);
        d->pendingBytes += uint32_t(take);
        bytes += take;
        n -= take;
        if (d->pendingBytes < 32) return;
        Stripe(d, d->pending);
        d->pendingBytes = 0;
    }
    for (; n >= 32; bytes += 32, n -= 32) Stripe(d, bytes);
    memcpy(d->pending, bytes, n);
    d->pendingBytes = uint32_t(n);
}

uint64_t LogDigestFinal(const LogDigestState* d) {
    uint64_t h = Rotl(d->lane[0], 1) + Rotl(d->lane[1], 7) + Rotl(d->lane[2], 12) + Rotl(d->lane[3], 18);
    for (uint64_t lane : d->lane) h = (h ^ Round(0, lane)) * kP1 + kP4;
    h += d->total;
    const uint8_t* p = d->pending;
    uint32_t n = d->pendingBytes;
    for (; n >= 8; p += 8, n -= 8) h = Rotl(h ^ Round(0, Load64(p)), 27) * kP1 + kP4;
    for (; n > 0; ++p, --n) h = Rotl(h ^ (*p * kP3), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    return h ^ (h >> 32);
}

uint64_t LogDigest(const uint8_t* bytes, size_t n) {
    LogDigestState d;
    LogDigestInit(&d);
    LogDigestUpdate(&d, bytes, n);
    return LogDigestFinal(&d);
}

void FormatLogDigest(uint64_t digest, char text[17]) {
    static const char kHex[] = "0123456789abcdef";
    for (int i = 15; i >= 0; --i, digest >>= 4) text[i] = kHex[digest & 15];
    text[16] = 0;
}

// ---------------------------------------------------------------------------
// The database

namespace {

constexpr int kApplicationId = 0x44525658;
constexpr int kSchemaVersion = 1;

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS sources(id INTEGER PRIMARY KEY, path TEXT, computer TEXT,"
    " component INTEGER, componentName TEXT, magic TEXT, size INTEGER, digest TEXT,"
    " recordAreaStart INTEGER, maxLogSize INTEGER, recordAreaEnd INTEGER, recordCount INTEGER,"
    " oldestOffset INTEGER, writerOffset INTEGER, fromIsStamp INTEGER, throughIsStamp INTEGER,"
    " errorType INTEGER, warningType INTEGER, informationType INTEGER, componentIndex INTEGER,"
    " moduleIndex INTEGER, sortOrder INTEGER, conditionsSaved INTEGER, events INTEGER);"
    "CREATE UNIQUE INDEX IF NOT EXISTS sources_identity ON sources(digest, size);"
    "CREATE TABLE IF NOT EXISTS events(id INTEGER PRIMARY KEY, source INTEGER REFERENCES sources(id),"
    " offset INTEGER, type INTEGER, typeName TEXT, time TEXT, component INTEGER, componentName TEXT,"
    " module INTEGER, moduleName TEXT, moduleCode INTEGER, computer TEXT, description TEXT, data BLOB);";

const char kIndexes[] =
    "CREATE INDEX IF NOT EXISTS events_time ON events(time);"
    "CREATE INDEX IF NOT EXISTS events_type ON events(type);"
    "CREATE INDEX IF NOT EXISTS events_computer ON events(computer);";

const char kInsertSource[] =
    "INSERT INTO sources(path, computer, component, componentName, magic, size, digest,"
    " recordAreaStart, maxLogSize, recordAreaEnd, recordCount, oldestOffset, writerOffset,"
    " fromIsStamp, throughIsStamp, errorType, warningType, informationType, componentIndex,"
    " moduleIndex, sortOrder, conditionsSaved, events)"
    " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,0)";

const char kInsertEvent[] =
    "INSERT INTO events(source, offset, type, typeName, time, component, componentName, module,"
    " moduleName, moduleCode, computer, description, data) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)";

}  // namespace

struct SqliteExport {
    FILE* err;
    sqlite3* db;
    sqlite3_stmt* insertEvent;
    sqlite3_stmt* insertSource;
    sqlite3_stmt* findSource;
    sqlite3_stmt* countSource;
    int64_t sourceId;           // of the open transaction, 0 when none
    int64_t sourceEvents;
    bool append;
    unsigned mode;              // of the existing database when appending
    char* dbPath;
    char* tempPath;
};

namespace {

int Fail(SqliteExport* e, const char* what) {
    fprintf(e->err, "darvex-cli: %s: %s: %s\n", e->dbPath, what, e->db ? sqlite3_errmsg(e->db) : "out of memory");
    return kSqliteFailed;
}

int FailErrno(SqliteExport* e, const char* what, const char* path) {
    fprintf(e->err, "darvex-cli: %s: %s: %s\n", path, what, strerror(errno));
    return kSqliteFailed;
}

int Exec(SqliteExport* e, const char* sql, const char* what) {
    return sqlite3_exec(e->db, sql, nullptr, nullptr, nullptr) == SQLITE_OK ? kSqliteOk : Fail(e, what);
}

// The single integer a pragma or query gives, or -1.
int64_t QueryInteger(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    int64_t value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW) {
        value = sqlite3_column_int64(s, 0);
    }
    sqlite3_finalize(s);
    return value;
}

size_t Trimmed(const char* text) {
    if (text == nullptr) return 0;
    size_t n = strlen(text);
    while (n > 0 && text[n - 1] == ' ') --n;
    return n;
}

inline void BindText(sqlite3_stmt* s, int column, const char* text, size_t length) {
    sqlite3_bind_text(s, column, text ? text : "", int(length), SQLITE_STATIC);
}

// Copies the existing database into the temporary one, page for page.
int CopyExisting(SqliteExport* e) {
    sqlite3* source = nullptr;
    if (sqlite3_open_v2(e->dbPath, &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        fprintf(e->err, "darvex-cli: %s: cannot open the database: %s\n", e->dbPath,
                source ? sqlite3_errmsg(source) : "out of memory");
        sqlite3_close(source);
        return kSqliteFailed;
    }
    const int64_t id = QueryInteger(source, "PRAGMA application_id");
    const int64_t tables = QueryInteger(source, "SELECT count(*) FROM sqlite_master");
    if (id != kApplicationId && !(id == 0 && tables == 0)) {
        fprintf(e->err, "darvex-cli: %s: %s\n", e->dbPath,
                id < 0 ? "not an SQLite database" : "not a database of exported events");
        sqlite3_close(source);
        return kSqliteFailed;
    }
    sqlite3_backup* b = sqlite3_backup_init(e->db, "main", source, "main");
    int rc = SQLITE_ERROR;
    if (b != nullptr) {
        sqlite3_backup_step(b, -1);
        rc = sqlite3_backup_finish(b);
    }
    sqlite3_close(source);
    return rc == SQLITE_OK ? kSqliteOk : Fail(e, "cannot copy the database");
}

int Prepare(SqliteExport* e, const char* sql, sqlite3_stmt** s) {
    return sqlite3_prepare_v3(e->db, sql, -1, SQLITE_PREPARE_PERSISTENT, s, nullptr) == SQLITE_OK
               ? kSqliteOk : Fail(e, "cannot prepare a statement");
}

int OpenTemp(SqliteExport* e) {
    const size_t n = strlen(e->dbPath);
    e->tempPath = static_cast<char*>(malloc(n + sizeof ".tmp-XXXXXX"));
    if (e->tempPath == nullptr) return FailErrno(e, "cannot make the temporary file", e->dbPath);
    memcpy(e->tempPath, e->dbPath, n);
    memcpy(e->tempPath + n, ".tmp-XXXXXX", sizeof ".tmp-XXXXXX");
    const int fd = mkstemp(e->tempPath);
    if (fd < 0) {
        const int saved = errno;
        free(e->tempPath);
        e->tempPath = nullptr;
        errno = saved;
        return FailErrno(e, "cannot make the temporary file beside it", e->dbPath);
    }
    // The database gets the permissions a new file gets, or keeps its own.
    const mode_t mask = umask(0);
    umask(mask);
    const int modeSet = fchmod(fd, e->append ? mode_t(e->mode) : (0666 & ~mask));
    close(fd);
    if (modeSet != 0) return FailErrno(e, "cannot set the permissions", e->tempPath);
    // An empty file is an empty database.
    if (sqlite3_open_v2(e->tempPath, &e->db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        return Fail(e, "cannot open the temporary database");
    }
    if (e->append) {
        if (int rc = CopyExisting(e)) return rc;
    } else if (int rc = Exec(e, "PRAGMA page_size=16384", "cannot set the page size")) {
        return rc;
    }
    // The temporary file is renamed only when complete: no journal, no syncs.
    if (int rc = Exec(e, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE;"
                         " PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY", "cannot set up the database")) {
        return rc;
    }
    char versions[96];
    snprintf(versions, sizeof versions, "PRAGMA application_id=%d; PRAGMA user_version=%d", kApplicationId,
             kSchemaVersion);
    if (int rc = Exec(e, kSchema, "cannot create the tables")) return rc;
    if (int rc = Exec(e, versions, "cannot mark the database")) return rc;
    if (int rc = Prepare(e, kInsertEvent, &e->insertEvent)) return rc;
    if (int rc = Prepare(e, kInsertSource, &e->insertSource)) return rc;
    if (int rc = Prepare(e, "SELECT 1 FROM sources WHERE digest=? AND size=?", &e->findSource)) return rc;
    return Prepare(e, "UPDATE sources SET events=? WHERE id=?", &e->countSource);
}

void CloseDatabase(SqliteExport* e) {
    sqlite3_finalize(e->insertEvent);
    sqlite3_finalize(e->insertSource);
    sqlite3_finalize(e->findSource);
    sqlite3_finalize(e->countSource);
    e->insertEvent = e->insertSource = e->findSource = e->countSource = nullptr;
    if (e->db != nullptr) sqlite3_close(e->db);
    e->db = nullptr;
}

void FreeExport(SqliteExport* e) {
    free(e->dbPath);
    free(e->tempPath);
    free(e);
}

// Flushes the temporary file to the disk before it takes the name.
int SyncFile(SqliteExport* e) {
    const int fd = open(e->tempPath, O_RDWR);
    if (fd < 0 || fsync(fd) != 0) {
        if (fd >= 0) close(fd);
        return FailErrno(e, "cannot write the database", e->tempPath);
    }
    close(fd);
    return kSqliteOk;
}

// Gives the temporary file its name. A new database must not take the place
// of one made meanwhile: link refuses an existing name, rename does not.
int Publish(SqliteExport* e) {
    if (!e->append) {
        if (link(e->tempPath, e->dbPath) == 0) {
            unlink(e->tempPath);
            return kSqliteOk;
        }
        if (errno == EEXIST) {
            fprintf(e->err, "darvex-cli: %s: the database exists (made meanwhile); nothing written\n", e->dbPath);
            return kSqliteExists;
        }
        // File systems without hard links: fall through to rename.
    }
    if (rename(e->tempPath, e->dbPath) != 0) return FailErrno(e, "cannot rename the database into place", e->dbPath);
    return kSqliteOk;
}

}  // namespace

int SqliteBegin(const char* dbPath, bool append, SqliteExport** out, FILE* err) {
    *out = nullptr;
    struct stat st;
    const bool exists = stat(dbPath, &st) == 0;
    if (exists && !append) {
        fprintf(err, "darvex-cli: %s: the database exists; give --append to add logs to it\n", dbPath);
        return kSqliteExists;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        fprintf(err, "darvex-cli: %s: not a file\n", dbPath);
        return kSqliteFailed;
    }
    SqliteExport* e = static_cast<SqliteExport*>(calloc(1, sizeof(SqliteExport)));
    if (e == nullptr || (e->dbPath = strdup(dbPath)) == nullptr) {
        free(e);
        fprintf(err, "darvex-cli: Area for execution is not enough.\n");
        return kSqliteFailed;
    }
    e->err = err;
    e->append = exists;
    e->mode = exists ? unsigned(st.st_mode & 07777) : 0;
    if (int rc = OpenTemp(e)) {
        SqliteFinish(e, false);
        return rc;
    }
    *out = e;
    return kSqliteOk;
}

int SqliteHasSource(SqliteExport* e, uint64_t digest, uint64_t size, bool* present) {
    char text[17];
    FormatLogDigest(digest, text);
    sqlite3_stmt* s = e->findSource;
    sqlite3_bind_text(s, 1, text, 16, SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 2, int64_t(size));
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Fail(e, "cannot look up a log");
    *present = rc == SQLITE_ROW;
    return kSqliteOk;
}

int SqliteBeginSource(SqliteExport* e, const SqliteSource& src, int64_t* sourceId) {
    if (int rc = Exec(e, "BEGIN", "cannot begin a transaction")) return rc;
    const LogHeader& h = *src.header;
    int component = 5;
    for (int i = 0; i < kLogSourceCount; ++i) {
        if (memcmp(h.magic, kLogSources[i].magic, kMagicSize) == 0) component = i + 1;
    }
    const char* componentName = ComponentName(uint16_t(component));
    char digest[17];
    FormatLogDigest(src.digest, digest);
    const void* nul = memchr(h.magic, 0, kMagicSize);
    const size_t magicLength = nul ? size_t(static_cast<const uint8_t*>(nul) - h.magic) : kMagicSize;

    sqlite3_stmt* s = e->insertSource;
    BindText(s, 1, src.path, strlen(src.path));
    BindText(s, 2, src.computer, src.computerLength);
    sqlite3_bind_int(s, 3, component);
    BindText(s, 4, componentName, Trimmed(componentName));
    sqlite3_bind_text(s, 5, reinterpret_cast<const char*>(h.magic), int(magicLength), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 6, int64_t(src.size));
    sqlite3_bind_text(s, 7, digest, 16, SQLITE_TRANSIENT);
    const int64_t fields[] = {h.recordAreaStart, h.maxLogSize, h.recordAreaEnd, h.recordCount,
                              h.oldestOffset, h.writerOffset, h.conditions.fromIsStamp,
                              h.conditions.throughIsStamp, h.conditions.errorType, h.conditions.warningType,
                              h.conditions.informationType, h.conditions.componentIndex,
                              h.conditions.moduleIndex, h.conditions.sortOrder, h.conditions.conditionsSaved};
    for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) sqlite3_bind_int64(s, int(8 + i), fields[i]);
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (rc != SQLITE_DONE) {
        Fail(e, src.path);
        sqlite3_exec(e->db, "ROLLBACK", nullptr, nullptr, nullptr);
        return kSqliteFailed;
    }
    *sourceId = e->sourceId = sqlite3_last_insert_rowid(e->db);
    e->sourceEvents = 0;
    return kSqliteOk;
}

int SqliteAddEvent(SqliteExport* e, int64_t sourceId, const SqliteEvent& v) {
    static const uint8_t kNoData = 0;
    sqlite3_stmt* s = e->insertEvent;
    sqlite3_bind_int64(s, 1, sourceId);
    sqlite3_bind_int64(s, 2, int64_t(v.offset));
    sqlite3_bind_int(s, 3, v.type);
    BindText(s, 4, v.typeName, Trimmed(v.typeName));
    BindText(s, 5, v.time, kSqliteTimeSize);
    sqlite3_bind_int(s, 6, v.component);
    BindText(s, 7, v.componentName, Trimmed(v.componentName));
    sqlite3_bind_int(s, 8, v.module);
    BindText(s, 9, v.moduleName, Trimmed(v.moduleName));
    sqlite3_bind_int64(s, 10, v.moduleCode);
    BindText(s, 11, v.computer, v.computerLength);
    BindText(s, 12, v.description, v.descriptionLength);
    sqlite3_bind_blob(s, 13, v.dataLength ? v.data : &kNoData, int(v.dataLength), SQLITE_STATIC);
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return Fail(e, "cannot add an event");
    ++e->sourceEvents;
    return kSqliteOk;
}

int SqliteEndSource(SqliteExport* e) {
    sqlite3_stmt* s = e->countSource;
    sqlite3_bind_int64(s, 1, e->sourceEvents);
    sqlite3_bind_int64(s, 2, e->sourceId);
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return Fail(e, "cannot count the events");
    e->sourceId = 0;
    return Exec(e, "COMMIT", "cannot commit");
}

const char* SqliteTempPath(const SqliteExport* e) { return e->tempPath; }

int SqliteFinish(SqliteExport* e, bool ok) {
    if (e == nullptr) return kSqliteFailed;
    int rc = ok ? kSqliteOk : kSqliteFailed;
    if (ok && e->sourceId != 0) {
        fprintf(e->err, "darvex-cli: %s: a log was begun and not ended\n", e->dbPath);
        rc = kSqliteFailed;
    }
    if (rc == kSqliteOk) rc = Exec(e, kIndexes, "cannot make the indexes");
    CloseDatabase(e);
    if (rc == kSqliteOk) rc = SyncFile(e);
    if (rc == kSqliteOk) rc = Publish(e);
    if (rc != kSqliteOk && e->tempPath != nullptr) unlink(e->tempPath);
    FreeExport(e);
    return rc;
}
