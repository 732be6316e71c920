// Writing events of one or many logs into an SQLite database (native builds).
//
// The database is written to a temporary file beside it ("DB.sqlite.tmp-XXXXXX")
// and renamed over the chosen name only when every log went in, so the name
// never holds a half-written database. Each log goes in in one transaction.
// A database that exists already is refused unless appending, which copies it
// into the temporary file first; the caller skips the logs it holds already
// (SqliteHasSource).
//
// Schema (application_id 0x44525658, user_version 1):
//
//   sources(id INTEGER PRIMARY KEY,
//           path TEXT,              the log's path as given
//           computer TEXT,          the header's computer name, UTF-8
//           component INTEGER,      1..4 from the magic, 5 for an unknown one
//           componentName TEXT,     its name (unknown for 5)
//           magic TEXT,             the header's magic up to its first zero byte
//           size INTEGER,           the file's size in bytes
//           digest TEXT,            LogDigest of the file's bytes, 16 lowercase hex digits
//           recordAreaStart, maxLogSize, recordAreaEnd, recordCount,
//           oldestOffset, writerOffset INTEGER,     the header's fields
//           fromIsStamp, throughIsStamp, errorType, warningType, informationType,
//           componentIndex, moduleIndex, sortOrder, conditionsSaved INTEGER,
//                                   the saved view conditions
//           events INTEGER)         the events written for it
//     a log is identified by (digest, size): UNIQUE index sources_identity
//
//   events(id INTEGER PRIMARY KEY,
//          source INTEGER REFERENCES sources(id),
//          offset INTEGER,          the record's file offset
//          type INTEGER, typeName TEXT,
//          time TEXT,               yyyy-mm-ddThh:mm:ss as stored, no zone
//          component INTEGER, componentName TEXT,
//          module INTEGER, moduleName TEXT,
//          moduleCode INTEGER,      the record's module code as stored
//          computer TEXT,
//          description TEXT,        UTF-8, '' for none
//          data BLOB)               the data bytes, an empty blob for none
//     indexes events_time, events_type, events_computer (made when finishing)
//
// Field names are those of export's JSON objects. Every function returns
// kSqliteOk or another kSqlite* value and writes what failed, with the path
// and SQLite's message, to the FILE* given to SqliteBegin. After a failure the
// only call left is SqliteFinish(e, false).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "logfile/log_format.h"

constexpr int kSqliteOk = 0;
constexpr int kSqliteFailed = 1;   // SQLite or the file system failed: the message says how
constexpr int kSqliteExists = 2;   // the database exists and appending was not asked for

// The identity of a log's bytes: a 64-bit hash, fed in pieces of any size.
struct LogDigestState {
    uint64_t lane[4];
    uint8_t pending[32];
    uint32_t pendingBytes;
    uint64_t total;
};
void LogDigestInit(LogDigestState* d);
void LogDigestUpdate(LogDigestState* d, const uint8_t* bytes, size_t n);
uint64_t LogDigestFinal(const LogDigestState* d);
uint64_t LogDigest(const uint8_t* bytes, size_t n);
// 16 lowercase hex digits and a zero byte.
void FormatLogDigest(uint64_t digest, char text[17]);

struct SqliteExport;

// Opens the temporary database beside dbPath. Without append an existing
// dbPath gives kSqliteExists; with append it must be a database this writer
// made. On success *out is for the calls below and SqliteFinish.
int SqliteBegin(const char* dbPath, bool append, SqliteExport** out, FILE* err);

// Whether a log of that digest and size is in the database already.
int SqliteHasSource(SqliteExport* e, uint64_t digest, uint64_t size, bool* present);

struct SqliteSource {
    const char* path;
    const char* computer;           // UTF-8
    size_t computerLength;
    const LogHeader* header;
    uint64_t size;
    uint64_t digest;
};

// Begins the log's transaction and adds its row; *sourceId is for its events.
int SqliteBeginSource(SqliteExport* e, const SqliteSource& source, int64_t* sourceId);

// One event; texts are UTF-8 with their lengths (names may carry trailing
// blanks, which are left out).
struct SqliteEvent {
    uint64_t offset;
    uint16_t type;
    const char* typeName;
    const char* time;               // kSqliteTimeSize characters
    uint16_t component;
    const char* componentName;
    uint16_t module;
    const char* moduleName;
    uint32_t moduleCode;
    const char* computer;
    size_t computerLength;
    const char* description;
    size_t descriptionLength;
    const uint8_t* data;
    uint32_t dataLength;
};
constexpr size_t kSqliteTimeSize = 19;

// Adds the event to the log begun last. No allocation per event.
int SqliteAddEvent(SqliteExport* e, int64_t sourceId, const SqliteEvent& event);

// Commits the log begun last.
int SqliteEndSource(SqliteExport* e);

// The temporary file the database is written to until SqliteFinish.
const char* SqliteTempPath(const SqliteExport* e);

// ok: makes the indexes, closes the database and renames it to dbPath.
// Not ok (or any step failing): closes and removes the temporary file, and
// dbPath is left as it was. Frees e either way; e may be null.
int SqliteFinish(SqliteExport* e, bool ok);
