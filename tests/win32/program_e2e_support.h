// Driving DARVEX.EXE from another process as a user would: starting it,
// waiting for its windows, reading its title and status bar, answering its
// boxes. Shared by the end-to-end test files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A path in a temp folder of this test process.
std::string TempPath(const char* name);
// temp\...\日本\テスト\表\, made folder by folder.
std::string JapaneseFolder();
// A generated log of that many events.
void WriteLog(const std::string& path, uint32_t events);
// A log of one event per text, oldest first, so the list shows the last text in row 0.
void WriteTextLog(const std::string& path, const std::vector<std::string>& texts);

// A UTF-8 text of a test source in the program's ANSI code page.
std::string Ansi(const char* utf8);
std::string Upper(std::string s);
std::string Title(HWND window);
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// A started DARVEX.EXE (the host's root is drive Z:). At the end of the test
// it is closed with WM_CLOSE and must exit with 0.
struct Program {
    PROCESS_INFORMATION pi = {};
    bool started = false;
    HWND main = nullptr, list = nullptr, status = nullptr;

    explicit Program(const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits for the main window and, with loaded, for a title that names a file.
    bool Up(bool loaded = true);
    HWND Window(const char* className, HWND except = nullptr, DWORD timeoutMs = 20000) const;
    std::string Status(int part) const;
    LRESULT Rows() const;
    // The exit code, or -1 when the program is still running after timeoutMs.
    DWORD WaitForExit(DWORD timeoutMs = 15000);
    // Presses a button of the program's message box (other than except) and
    // returns the box's text.
    std::string AnswerBox(int button, HWND except = nullptr, std::string* caption = nullptr) const;
    // Opens File Open, types the path into the file name box and presses OK;
    // returns the dialog's title.
    std::string ChooseInOpenDialog(const std::string& path) const;
};
