// export: every listed event with all its fields as CSV, JSON or NDJSON, in
// UTF-8, written row by row through the output's blocks.
#pragma once

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_stream.h"

// The writer of one event's fields, shared by export and follow's NDJSON.
struct EventWriter {
    CliOutput* out;
    int format;                 // kFormatCsv, kFormatJson or kFormatNdjson
    bool noData;                // CSV: no data field
    int field;                  // the next field of the current event
    char utf8[3 * 65536];       // a text converted; a UTF-8 character takes at most 3 bytes for one byte
};

// One event: a CSV row, or a JSON object, without its line end. The texts
// are converted to UTF-8 from the output's code page, so out must be raw.
void PutEventFields(EventWriter* writer, const EventEntry& e);

// The listed rows of the chosen order and filter in options.format. Returns
// an exit status.
int ExportEvents(const CliOptions& options, const LogRows& rows, CliOutput* out, FILE* err);
