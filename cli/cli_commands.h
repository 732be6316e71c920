// The commands over a loaded log. Each returns an exit status.
#pragma once

#include <cstdio>

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_stream.h"
#include "cli/cli_timeline.h"

// One row, format 41, and the line end.
void PutListRow(CliOutput* out, const EventEntry& e);
// One event as list --format line writes it: time, type, component, module,
// computer and the description's first line, tab-separated, and the line end;
// with a source (several logs read), the log's path before them.
void PutLineRow(CliOutput* out, const EventEntry& e, const char* source = nullptr, size_t sourceLength = 0);
// The rows of the chosen order and filter, one line each, format 41.
int ListRows(const CliOptions& options, const Timeline& timeline, CliOutput* out);
// One listed row as the viewer prints an event, with the whole description.
int ShowEvent(const CliOptions& options, const Timeline& timeline, CliOutput* out, FILE* err);
// Counts by type, component and module, and the first and last stamps; of
// several logs, the counts by file and by computer too.
int ShowStats(const Timeline& timeline, CliOutput* out);
// The chain check of the file at path; its report goes to out, and its
// messages name the file as shown (- for standard input); with prefix, the
// report line begins with it and a colon.
int CheckFile(const char* path, const char* shown, FILE* out, FILE* err, const char* prefix = nullptr);
