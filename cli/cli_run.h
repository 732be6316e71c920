// darvex-cli: the same logs from a terminal and from scripts, read exactly as
// the viewer loads them.
#pragma once

#include <cstdio>

struct LogOpener;

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

// The command line's arguments as the program takes them: argv itself, or on
// Windows the command line read as Unicode, each argument in UTF-8 (as a
// Linux terminal gives them); they live as long as the program.
char** CommandLineArguments(int* argc, char** argv);
// Opens a log file for reading ("rb") by a path as the command line gave it,
// however long; nullptr with errno set when it fails.
FILE* OpenLogFile(const char* path);
// 1 when path names a folder, else 0 (a file, or nothing).
int IsFolder(const char* path);
// Calls each(context, entryPath, isFolder) for every entry of the folder but
// . and .., entryPath being the folder's path, a separator and the name (in
// UTF-8). Returns 0, or kMsgAccessDenied / kMsgOpenFailed (errno set) when
// the folder cannot be read.
int ListFolder(const char* path, void (*each)(void* context, const char* entryPath, bool isFolder), void* context);
// The loader's opener over OpenLogFile; it opens path, not the viewer's
// shorter copy of it that the load is asked to open.
LogOpener CliLogOpener(const char* path);
