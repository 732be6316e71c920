// export --format sqlite: the listed events of one or more logs written into
// an SQLite database through cli_sqlite.h (native builds only).
#pragma once

#include <cstddef>
#include <cstdio>

#include "cli/cli_options.h"

// A log to write: the path it opens by, and the name messages give it.
struct SqliteLogName {
    const char* path;
    const char* shownName;
};

// Writes each log as its own source, in its own transaction, with the rows
// the options choose (oldest first unless --order is given) into
// options.output; --append adds to an existing database and skips a log it
// holds already. A log that cannot be opened or read is reported and left
// out, the others are written; when none is written after such a failure, no
// database is made. A failure of the database leaves options.output as it
// was. Prints a summary on err. Returns the first failure's exit status.
int ExportSqliteLogs(const CliOptions& options, const SqliteLogName* logs, size_t count, FILE* err);

// The command line's one log.
int ExportSqlite(const CliOptions& options, FILE* err);
