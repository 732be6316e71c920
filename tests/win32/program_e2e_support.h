// Driving DARVEX.EXE from another process as a user would: starting it,
// waiting for its windows, reading its title and status bar, answering its
// boxes. Shared by the end-to-end test files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The program under test, with the host's root as drive Z:.
std::string ProgramPath();

// A path in a temp folder of this test process; with events > 0 a generated
// log of that many events is written there.
std::string TempLog(const char* name, uint32_t events);
void WriteLog(const std::string& path, uint32_t events);

HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs = 20000);
std::string Title(HWND window);
// Waits until the title is longer than prefix and starts with it (the load ran).
std::string WaitForTitleWith(HWND window, const std::string& prefix, DWORD timeoutMs = 20000);
std::string RemoteStatusText(HANDLE process, HWND statusBar, int part);
std::string Upper(std::string s);

// A started DARVEX.EXE, ended when the test is done with it.
struct Program {
    PROCESS_INFORMATION pi = {};
    bool started = false;

    explicit Program(const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The exit code, or -1 when the program is still running after timeoutMs.
    DWORD WaitForExit(DWORD timeoutMs = 15000);
};

// Presses a button of the program's message box and returns the box's text.
std::string AnswerBox(DWORD processId, int button, std::string* caption);

// Opens File Open, types the path into the file name box and presses OK;
// returns the dialog's title, or "<no dialog>".
std::string ChooseInOpenDialog(const Program& program, HWND main, const std::string& path);

// A UTF-8 text of a test source in the program's ANSI code page.
std::string Ansi(const char* utf8);
// temp\...\日本\テスト\表\, made folder by folder.
std::string JapaneseFolder();
