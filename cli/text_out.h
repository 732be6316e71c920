// The platform's half of the output: description bytes in the writer's code
// page become the terminal's text (UTF-8 on Linux, the console's code page or
// the console itself on Windows).
#pragma once

#include <cstddef>
#include <cstdio>

// Writes bytes of code page 932 or 1252, which end on a character boundary,
// converted. A byte sequence the code page does not define comes out as
// U+FFFD (the console's own replacement where it has no such character).
// Returns 1 on success, 0 when the output failed.
int WriteConverted(FILE* out, int codePage, const char* bytes, size_t length);

// A text typed on the command line (UTF-8: Windows reads it as Unicode) in
// code page 932 or 1252, zero-terminated. Returns its
// length, or -1 when a character has no place in the code page or in size.
int ConvertTypedText(int codePage, const char* text, char* converted, size_t size);
// The same bytes as UTF-8 into to (room at least three bytes for each byte;
// length at most 65535, a description's most), whatever the terminal is.
// Returns the length written.
size_t ConvertToUtf8(int codePage, const char* bytes, size_t length, char* to, size_t room);

// Bytes written to out reach the file unchanged: a Windows text stream would
// make each LF a CR LF, and a CSV's CR LF a CR CR LF.
void SetBinaryOutput(FILE* out);

// Right after a write to an output failed: 1 when it failed because the
// reader has gone (a pipe closed at its other end), which is no error.
int ReaderLeft();
// 1 when out is a pipe whose reader has gone, found without writing to it.
int ReaderGone(FILE* out);
// What is left in out's buffer and whatever comes after goes to the null
// device: a reader that has gone is not written to again, and no flush fails.
void DiscardOutput(FILE* out);
// A write to a pipe whose reader has gone fails (and is seen by ReaderLeft)
// instead of ending the process.
void KeepOnBrokenPipe();
