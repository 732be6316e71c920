#include "tests/win32/program_e2e_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/win32/remote_window_win32.h"
#include "tools/log_writer.h"

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string folder = std::string(dir) + "darvex_e2e_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name;
}

std::string JapaneseFolder() {
    std::string folder = TempPath("");
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

void WriteTextLog(const std::string& path, const std::vector<std::string>& texts) {
    LogImage image;
    InitLogImage(&image, 0, 4096);
    uint32_t offset = kRecordAreaStart;
    for (const std::string& text : texts) {
        RecordSpec r;
        r.timeStamp = MakeRecordTime(2022, 5, 6, 7, 8, uint16_t(&text - &texts[0]));
        r.text = text.c_str();
        r.link = RecordSpecSize(r);
        offset = PlaceRecord(&image, offset, r);
    }
    SetRecordCount(&image, uint32_t(texts.size()));
    SetOldestOffset(&image, kRecordAreaStart);
    ASSERT_EQ(WriteLogImage(image, path.c_str()), 1) << path;
}

std::string Ansi(const char* utf8) {
    wchar_t wide[512];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string Upper(std::string s) {
    CharUpperA(&s[0]);
    return s;
}

std::string Title(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

Program::Program(const std::string& arguments) {
    std::string path = DARVEX_EXE_PATH;
    if (path[0] == '/') path = "Z:" + path;   // the host's root under Wine
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::string line = "\"" + path + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
}

Program::~Program() {
    if (!started) return;
    if (main != nullptr && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForExit(), 0u);
    }
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

bool Program::Up(bool loaded) {
    if (!started || (main = Window("DARVEX")) == nullptr) return false;
    list = GetDlgItem(main, IDC_EVENT_LIST);
    status = GetDlgItem(main, IDC_STATUS_BAR);
    return !loaded || WaitUntil([this] { return Title(main).size() > 7; }, 20000);   // past "DARVEX "
}

HWND Program::Window(const char* className, HWND except, DWORD timeoutMs) const {
    return WaitForProcessWindow(pi.dwProcessId, className, timeoutMs, 50, except);
}

std::string Program::Status(int part) const {
    char text[512];
    RemoteStatusText(pi.hProcess, status, part, text, sizeof text);
    return text;
}

LRESULT Program::Rows() const { return SendMessageA(list, LB_GETCOUNT, 0, 0); }

DWORD Program::WaitForExit(DWORD timeoutMs) {
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

std::string Program::AnswerBox(int button, HWND except, std::string* caption) const {
    HWND box = Window("#32770", except);
    if (box == nullptr) return "<no box>";
    if (caption != nullptr) *caption = Title(box);
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);   // the box's static text
    SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    return text;
}

std::string Program::ChooseInOpenDialog(const std::string& path) const {
    PostMessageA(main, WM_COMMAND, IDM_FILE_OPEN, 0);
    HWND dialog = Window("#32770");
    if (dialog == nullptr) return "<no dialog>";
    // The file name box: cmb13 in the Explorer-style dialog, edt1 in the classic one.
    HWND name = GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480);
    SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
    const std::string title = Title(dialog);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return title;
}
