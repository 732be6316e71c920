// The commands over a loaded log. Each returns an exit status.
#pragma once

#include <cstdio>

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_stream.h"

// One row, format 41, and the line end.
void PutListRow(CliOutput* out, const EventEntry& e);
// The rows of the chosen order and filter, one line each, format 41.
int ListRows(const CliOptions& options, const LogRows& rows, CliOutput* out);
// One listed row as the viewer prints an event, with the whole description.
int ShowEvent(const CliOptions& options, const LogRows& rows, CliOutput* out, FILE* err);
// Counts by type, component and module, and the first and last stamps.
int ShowStats(const LogRows& rows, CliOutput* out);
// The chain check of the file; its report goes to out.
int CheckFile(const char* path, FILE* out, FILE* err);
