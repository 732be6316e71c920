// Driving DARVEX.EXE from another process as a user would. Shared by the
// end-to-end tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

std::string TempPath(const char* name);   // in a temp folder of this test process
std::string JapaneseFolder();             // temp\...\日本\テスト\表\, made folder by folder
void WriteLog(const std::string& path, uint32_t events);   // a generated log
// One event per text, oldest first, so the list shows the last text in row 0.
void WriteTextLog(const std::string& path, const std::vector<std::string>& texts);

std::string Ansi(const char* utf8);   // in the program's ANSI code page
std::string Upper(std::string s);
std::string Title(HWND window);
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// A started DARVEX.EXE; at the end of the test it is closed with WM_CLOSE
// and must exit with 0.
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
    DWORD WaitForExit(DWORD timeoutMs = 15000);   // -1 while still running
    // Presses a button of a message box other than except; the box's text.
    std::string AnswerBox(int button, HWND except = nullptr, std::string* caption = nullptr) const;
    // Types the path into File Open and presses OK; the dialog's title.
    std::string ChooseInOpenDialog(const std::string& path) const;
};
