// The program's text output: whole lines gathered into blocks, ASCII written
// as it is, and the other bytes converted from the writer's code page (or
// left as stored with --raw).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "logfile/event_table.h"

constexpr size_t kOutputBlockSize = 65536;

struct CliOutput {
    FILE* file;
    int codePage;                // 932 or 1252; 0 until the first byte above 0x7F needs one
    bool raw;                    // bytes as stored
    const EventTable* table;     // the log the code page is decided from
    size_t used;
    bool failed;
    char block[kOutputBlockSize];
};

void InitOutput(CliOutput* out, FILE* file, int codePage, bool raw, const EventTable* table);

// Appends text that ends on a character boundary.
void PutText(CliOutput* out, const char* text, size_t length);
void PutText(CliOutput* out, const char* text);
void PutLine(CliOutput* out, const char* text);   // the text and a line end
// Writes the gathered block. Returns 1 when everything written so far got out.
int FlushOutput(CliOutput* out);

// The code page the output converts from, deciding it from the log when
// --codepage did not give it.
int OutputCodePage(CliOutput* out);

// 1 when the bytes above 0x7F form Shift-JIS characters: a lead byte
// 0x81..0x9F or 0xE0..0xFC with a second byte 0x40..0x7E or 0x80..0xFC, or a
// half-width katakana 0xA1..0xDF.
int IsShiftJisText(const uint8_t* text, size_t length);
// 932 when every description of the table is Shift-JIS text, else 1252.
int DecideCodePage(const EventTable& table);
