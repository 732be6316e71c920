// darvex-cli: the same logs from a terminal and from scripts, read exactly as
// the viewer loads them.
#pragma once

#include <cstdio>

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitBroken = 1;        // check: the log is not well formed
constexpr int kExitUsage = 2;
constexpr int kExitOpenFailed = 3;    // 206, 207
constexpr int kExitReadFailed = 4;    // 208
constexpr int kExitNoMemory = 5;      // 209
constexpr int kExitCorrupted = 6;     // 214
constexpr int kExitWriteFailed = 7;

// The whole program: the text goes to out, the messages to err; returns the
// exit status.
int RunCli(int argc, char** argv, FILE* out, FILE* err);

// The viewer's text of a load's message id (206 to 209, 214).
const char* LoadMessageText(int messageId);
// The exit status of a load's message id.
int ExitStatusOf(int messageId);
// Writes the message text to err, behind the program's name; returns the exit status.
int ReportLoadFailure(int messageId, FILE* err);
