// The program's text output: whole lines gathered into blocks, ASCII written
// as it is, and the other bytes converted from the writer's code page (or
// left as stored with --raw).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "logfile/event_table.h"

constexpr size_t kOutputBlockSize = 65536;

// The log's texts counted for its code page.
struct CodePageVotes {
    uint32_t shiftJis;      // Shift-JIS text with a double-byte character
    uint32_t notShiftJis;   // bytes that are no Shift-JIS text
    uint32_t otherHigh;     // other texts with bytes above 0x7F (half-width katakana alone, or Latin letters)
};

// Where the block's lines of a log begin.
struct OutputMark {
    uint32_t at, log;
};
constexpr uint32_t kOutputMarks = 1024;

struct CliOutput {
    FILE* file;
    int codePage;                // 932 or 1252; 0 until the first byte above 0x7F needs one
    bool raw;                    // bytes as stored (control characters are still escaped)
    const EventTable* table;     // the log whose texts choose the code page, or none
    void (*countTexts)(const void* source, CodePageVotes* votes);   // or the counter of another source's texts
    const void* textSource;
    bool tableCounted;           // its texts are in votes
    CodePageVotes votes;
    FILE* notes;                 // where a guessed code page is told, or none
    const char* logName;
    size_t used;
    bool failed;                 // a write failed: nothing more is written
    bool readerLeft;             // it failed because the reader has gone, which is no error
    // Several logs, each read in its own code page: the log of the lines put
    // now, and where in the block the lines of another log begin.
    int (*logCodePage)(const void* source, uint32_t log, FILE* notes);   // or null: the one code page above
    const void* logSource;
    uint32_t log;
    uint32_t blockLog;           // the log of the block's first lines
    uint32_t markCount;
    OutputMark marks[kOutputMarks];
    char block[kOutputBlockSize];
};

// Also keeps a write to a pipe whose reader has gone from ending the process.
void InitOutput(CliOutput* out, FILE* file, int codePage, bool raw, const EventTable* table, FILE* notes = nullptr,
                const char* logName = nullptr);

// The code page is guessed from the texts that count(source, votes) counts,
// in place of a table's.
void SetTextSource(CliOutput* out, void (*count)(const void* source, CodePageVotes* votes), const void* source);

// Each log read in its own code page, codePage(source, log, notes) (which
// tells a guess on notes): the lines put after SelectLog(out, log) are
// converted from the log's, and OutputCodePage answers the log's.
void SetLogCodePages(CliOutput* out, int (*codePage)(const void* source, uint32_t log, FILE* notes), const void* source);
void MarkLog(CliOutput* out, uint32_t log);
// The lines put from now on (whole lines) are texts of the log.
inline void SelectLog(CliOutput* out, uint32_t log) {
    if (out->logCodePage && log != out->log) MarkLog(out, log);
}
// The log's code page: its own when the logs have theirs, else the output's.
int LogCodePage(CliOutput* out, uint32_t log);

// Appends text that ends on a character boundary.
void PutText(CliOutput* out, const char* text, size_t length);
void PutText(CliOutput* out, const char* text);
void PutLine(CliOutput* out, const char* text);   // the text and a line end
// Room for n bytes (at most kOutputBlockSize) at the end of the block, which is
// written first when it lacks the room: the caller writes there and hands the
// end of what it wrote to OutputUsed. Whole lines go there, as with PutText.
char* OutputRoom(CliOutput* out, size_t n);
inline void OutputUsed(CliOutput* out, const char* end) { out->used = size_t(end - out->block); }
// Appends a text of the log with its control characters (below 0x20, and
// 0x7F) as \xHH, so that no byte of the log reaches the terminal as a
// command. No byte of a double-byte character is one of them.
void PutEscaped(CliOutput* out, const char* text, size_t length);
// An event's stamp as yyyy-mm-ddThh:mm:ss (the log says nothing of a zone).
constexpr size_t kIsoTimeSize = 19;
void FormatIsoTime(const EventEntry& e, char time[kIsoTimeSize]);
// Writes the gathered block. Returns 1 when everything written so far got
// out, or the reader has gone (the rest goes nowhere: the command may stop).
int FlushOutput(CliOutput* out);

// A load's failure on err: the program's message behind the file's name, and
// the reason given, or for an open the system's reason (errno as the failed
// open left it). Returns the message's exit status.
int ReportFileFailure(int messageId, const char* path, FILE* err, const char* reason = nullptr);

// The code page the output converts from. Unless --codepage gave it, it is
// chosen from the votes (the table's texts, or those counted by the caller)
// when first asked for, and told on notes: 932 when the Shift-JIS texts with
// a double-byte character are more than twice those that are not Shift-JIS,
// else 1252. While no text has a byte above 0x7F it is 1252 and not kept.
// With SetLogCodePages, the selected log's.
int OutputCodePage(CliOutput* out);
// The code page the votes choose (0 when no text has a byte above 0x7F),
// told on notes when there is one and notes is not null, as OutputCodePage tells it.
int GuessCodePage(const CodePageVotes& votes, FILE* notes, const char* logName);

// Counts a text (a description or a computer name) for the code page.
void CountText(CodePageVotes* votes, const char* text, size_t length);
// The length of text's first bytes up to length that are neither zero nor above 0x7F.
size_t PlainPrefix(const char* text, size_t length);
// True when no byte of the text is above 0x7F.
bool AllAscii(const char* text, size_t length);
// 932 or 1252 by the rule above; 0 when no text has a byte above 0x7F.
int ChooseCodePage(const CodePageVotes& votes);
