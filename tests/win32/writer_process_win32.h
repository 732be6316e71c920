// EVTWRITER.EXE, a writing component's stand-in, run as a child process and
// driven through pipes: one command line in, one answer line out. The
// commands and their answers are listed in tools/evtwriter_win32.cpp.
//
// The writer holds its source's named mapping and mutex while it runs, and
// every process of the same Wine prefix shares those names: tests that start
// writers run one at a time (RESOURCE_LOCK desktop, which the program tests hold too).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct WriterProcess {
    PROCESS_INFORMATION process = {};
    HANDLE toWriter = nullptr;      // our end of its standard input
    HANDLE fromWriter = nullptr;    // our end of its standard output
    std::string received;           // bytes read past the last answer

    WriterProcess() = default;
    WriterProcess(const WriterProcess&) = delete;
    WriterProcess& operator=(const WriterProcess&) = delete;
    ~WriterProcess() { Stop(); }

    // Starts the writer of a source ("pern", "tolva", "boraxlin" or
    // "kestram") on the log at a Windows path; createAreaBytes > 0 first
    // creates a new empty log with a record area that large. Returns its
    // "ready count=C" line, or "" when it did not start (WaitForExit then
    // gives 1 for a file or named object it could not open, 2 for bad arguments).
    std::string Start(const char* source, const std::string& path, uint32_t createAreaBytes = 0);
    // Sends one command and returns its answer without the line end; "" when
    // none came within timeoutMs (or the writer has ended).
    std::string Command(const std::string& line, DWORD timeoutMs = 10000);
    // The writer's exit code once it has ended, STILL_ACTIVE after timeoutMs.
    DWORD WaitForExit(DWORD timeoutMs = 10000);
    // Sends quit and waits for the end; a writer that does not end is
    // terminated. Closes every handle; Start may be called again.
    void Stop();

    std::string ReadLine(DWORD timeoutMs);
};

// The number after "name=" in an answer ("count" in "appended 5 count=5 ..."),
// or UINT32_MAX when the answer has no such field.
uint32_t AnswerValue(const std::string& answer, const char* name);
