#include "tests/win32/program_e2e_support.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/win32/remote_window_win32.h"
#include "tools/log_writer.h"

#ifndef DARVEX_EXE_PATH
#error "DARVEX_EXE_PATH must name the program under test"
#endif

// The build passes a host path; under Wine the host's root is drive Z:.
std::string ProgramPath() {
    std::string path = DARVEX_EXE_PATH;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string TempLog(const char* name, uint32_t events) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string folder = std::string(dir) + "darvex_e2e_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\" + name;
    if (events > 0) {
        GenOptions options;
        options.eventCount = events;
        GenResult result;
        EXPECT_EQ(GenerateLog(options, path.c_str(), &result), 1);
    }
    return path;
}

HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs) {
    return WaitForProcessWindow(processId, className, timeoutMs);
}

std::string Title(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Waits until the title differs from the bare program title, i.e. the load ran.
std::string WaitForTitleWith(HWND window, const std::string& prefix, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    std::string title;
    do {
        title = Title(window);
        if (title.size() > prefix.size() && title.compare(0, prefix.size(), prefix) == 0) return title;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return title;
}

std::string RemoteStatusText(HANDLE process, HWND statusBar, int part) {
    char text[512];
    ::RemoteStatusText(process, statusBar, part, text, sizeof text);
    return text;
}

std::string Upper(std::string s) {
    CharUpperA(&s[0]);
    return s;
}

// Presses a button of the program's message box and returns the box's text.
std::string AnswerBox(DWORD processId, int button, std::string* caption) {
    HWND box = WaitForWindow(processId, "#32770");
    if (box == nullptr) return "<no box>";
    if (caption != nullptr) *caption = Title(box);
    char text[512] = "";
    // The text is the box's static control with id 0xFFFF.
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    return text;
}

// Opens File Open, types the path into the file name box and presses OK;
// returns the dialog's title, or "<no dialog>".
std::string ChooseInOpenDialog(const Program& program, HWND main, const std::string& path) {
    PostMessageA(main, WM_COMMAND, IDM_FILE_OPEN, 0);
    HWND dialog = WaitForWindow(program.pi.dwProcessId, "#32770");
    if (dialog == nullptr) return "<no dialog>";
    // The file name box: cmb13 in the Explorer-style dialog, edt1 in the classic one.
    HWND name = GetDlgItem(dialog, 0x47C);
    if (name == nullptr) name = GetDlgItem(dialog, 0x480);
    if (name == nullptr) return "<no file name box>";
    const std::string title = Title(dialog);
    SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return title;
}


// A UTF-8 text of this file in the program's ANSI code page.
std::string Ansi(const char* utf8) {
    wchar_t wide[512];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text, nullptr, nullptr);
    return text;
}

// temp\darvex_ja_<pid>\日本\テスト\表, made folder by folder.
std::string JapaneseFolder() {
    std::string folder = TempLog("", 0);
    for (const char* part : {u8"日本", u8"テスト", u8"表"}) {
        folder += Ansi(part);
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\";
    }
    return folder;
}

void WriteLog(const std::string& path, uint32_t events) {
    GenOptions options;
    options.eventCount = events;
    GenResult result;
    ASSERT_EQ(GenerateLog(options, path.c_str(), &result), 1) << path;
}



Program::Program(const std::string& arguments) {
    std::string line = "\"" + ProgramPath() + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
}

Program::~Program() {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

DWORD Program::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return DWORD(-1);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}
