// export: every listed event with all its fields as CSV, JSON or NDJSON, in
// UTF-8, written row by row through the output's blocks.
#pragma once

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_stream.h"
#include "cli/cli_timeline.h"

// The writer of one event's fields, shared by export and follow's NDJSON.
struct EventWriter {
    CliOutput* out;
    int format;                 // kFormatCsv, kFormatJson or kFormatNdjson
    bool noData;                // CSV: no data field
    int field;                  // the next field of the current event
    const char* source;         // several logs: the event's log (UTF-8), written after the computer; else null
    size_t sourceLength;
    char utf8[3 * 65536];       // a text converted; a UTF-8 character takes at most 3 bytes for one byte
};

// Code page 932 or 1252 into UTF-8 by a table of ConvertToUtf8's own
// answers for each byte above 0x7F and each pair of bytes that starts with
// one: a pair that converts otherwise than its two bytes one by one is one
// character. The texts come out as ConvertToUtf8 gives them, without its
// cost for each text. Each entry is its length and its bytes; 0xFF: longer
// than a character, left to ConvertToUtf8.
struct Utf8Table {
    int codePage;
    uint8_t single[128][4];
    uint8_t pair[128][256][4];   // length 0: no character of two bytes
};
void MakeUtf8Table(Utf8Table* table, int codePage);
// The text converted into to (room for three bytes a byte); SIZE_MAX when the
// table cannot tell it.
size_t TableToUtf8(const Utf8Table& table, const char* bytes, size_t length, char* to);

// One event: a CSV row, or a JSON object, without its line end. The texts
// are converted to UTF-8 from the output's code page, so out must be raw.
// It writes no source (and sets none).
void PutEventFields(EventWriter* writer, const EventEntry& e);

// The listed rows of the chosen order and filter in options.format. Returns
// an exit status.
int ExportEvents(const CliOptions& options, const Timeline& timeline, CliOutput* out, FILE* err);
