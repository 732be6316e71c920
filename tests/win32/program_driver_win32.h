// Driving DARVEX.EXE from another process, as a user would: starting it,
// waiting for its windows, reading its title, status bar and list, pressing
// buttons and keys, answering its boxes.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/remote_window_win32.h"
#include "tools/log_writer.h"


inline std::string Env(const char* name) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

// A buffer of the text's length is not always enough: an ANSI view's text
// comes through a conversion that wants room to spare.
inline std::wstring WideText(HWND window) {
    std::wstring text(0x20000, L'\0');
    text.resize(size_t(SendMessageW(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(&text[0]))));
    return text;
}

// Text between code pages: to UTF-16, and back to bytes.
inline std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], int(wide.size()))));
    return wide;
}
inline std::string Narrow(const std::wstring& wide, UINT codePage) {
    std::string out(wide.size() * 3 + 1, '\0');
    out.resize(size_t(WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), &out[0], int(out.size()),
                                          nullptr, nullptr)));
    return out;
}
inline std::string Ansi(const char* utf8) { return Narrow(Wide(utf8), CP_ACP); }   // in the program's ANSI code page

// The descendants of a window whose class names start with prefix, in any
// case ("": all of them), in the order the system lists them.
inline BOOL CALLBACK TakeChild(HWND child, LPARAM l) {
    auto& f = *reinterpret_cast<std::pair<std::string, std::vector<HWND>>*>(l);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (Upper(name).compare(0, f.first.size(), f.first) == 0) f.second.push_back(child);
    return TRUE;
}
inline std::vector<HWND> Children(HWND parent, const char* prefix = "") {
    std::pair<std::string, std::vector<HWND>> found(Upper(prefix), {});
    if (parent != nullptr) EnumChildWindows(parent, TakeChild, LPARAM(&found));
    return found.second;
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {   // empty when unreadable
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr) || got != bytes.size())) {
        bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}


// ctest runs each test in a process of its own, and Wine reuses process ids:
// each process makes a new folder and removes it, with all it holds, at exit.
struct TestFolder {
    std::string path;
    TestFolder() {
        char dir[MAX_PATH], name[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        GetTempFileNameA(dir, "dvx", 0, name);   // a unique name, taken by an empty file
        DeleteFileA(name);
        path = name;
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TestFolder() {
        std::string from = path + '\0';   // a list of one path, ended by two zeros
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&op);
    }
};
inline std::string TempPath(const char* name) {
    static TestFolder folder;
    return folder.path + "\\" + name;
}

inline std::string JapaneseFolder() {   // temp\...\日本\テスト\表\, made folder by folder
    std::string folder = TempPath("");
    for (const char* part : {u8"日本", u8"テスト", u8"表"}) {
        folder += Ansi(part);
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\";
    }
    return folder;
}

inline void WriteLog(const std::string& path, uint32_t events) {
    GenOptions options;
    options.eventCount = events;
    GenResult result;
    ASSERT_EQ(GenerateLog(options, path.c_str(), &result), 1) << path;
}

// One event per text, oldest first, so the list shows the last text in row 0.
inline void WriteTextLog(const std::string& path, const std::vector<std::string>& texts) {
    std::vector<RecordSpec> records(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        records[i].timeStamp = MakeRecordTime(2022, 5, 6, 7, 8, uint16_t(i));
        records[i].text = texts[i].c_str();
    }
    ASSERT_EQ(WriteRecordsLog(path.c_str(), records.data(), int(records.size())), 1) << path;
}

// A started DARVEX.EXE; at the end of the test it is closed with WM_CLOSE
// and must exit with 0.
struct Program {
    PROCESS_INFORMATION pi = {};
    bool started = false;
    HWND main = nullptr, list = nullptr, status = nullptr;

    explicit Program(const std::string& arguments, const char* exe = DARVEX_EXE_PATH) {
        std::string line = "\"" + HostPath(exe) + "\" " + arguments;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    }
    ~Program() {
        if (!started) return;
        if (main != nullptr && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
            PostMessageA(main, WM_CLOSE, 0, 0);
            EXPECT_EQ(WaitForExit(), 0u);
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits for the main window and, with loaded, for a title past "DARVEX ".
    bool Up(bool loaded = true) {
        if (!started || (main = Window("DARVEX")) == nullptr) return false;
        list = GetDlgItem(main, IDC_EVENT_LIST);
        status = GetDlgItem(main, IDC_STATUS_BAR);
        return !loaded || WaitUntil([this] { return Title(main).size() > 7; }, 20000);
    }
    HWND Window(const char* className, HWND except = nullptr, DWORD timeoutMs = 20000) const {
        return WaitForProcessWindow(pi.dwProcessId, className, timeoutMs, 50, except);
    }
    std::string Status() const {   // the three parts of the status bar, joined by "|"
        std::string parts;
        for (int part = 0; part < 3; ++part) {
            char text[512];
            RemoteStatusText(pi.hProcess, status, part, text, sizeof text);
            parts += (part ? "|" : "") + std::string(text);
        }
        return parts;
    }
    LRESULT Rows() const { return SendMessageA(list, LB_GETCOUNT, 0, 0); }
    DWORD WaitForExit() {   // -1 while still running
        DWORD code = DWORD(-1);
        if (WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    // Presses a button of a message box other than except; the box's text.
    std::string AnswerBox(int button, HWND except = nullptr, std::string* caption = nullptr) const {
        HWND box = Window("#32770", except);
        if (box == nullptr) return "<no box>";
        if (caption != nullptr) *caption = Title(box);
        char text[512] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);   // the box's static text
        SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        // A box that is ending is still a window of its class for a moment:
        // the next look for a window must not find it.
        WaitUntil([&] { return !IsWindow(box); }, 5000);
        return text;
    }
    // Types the path into the file dialog that is up (other than except) and
    // presses OK, or Cancel with an empty path; the dialog's title.
    std::string AnswerFileDialog(const std::string& path, HWND except = nullptr) const {
        HWND dialog = Window("#32770", except);
        if (dialog == nullptr) return "<no dialog>";
        const std::string title = Title(dialog);
        if (path.empty()) {
            SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            return title;
        }
        // The file name box: cmb13 in the Explorer-style dialog, edt1 in the classic one.
        HWND name = GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480);
        SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(dialog); }, 5000);
        return title;
    }
    // Posts a command of the menus and waits for the dialog or box it opens.
    HWND Open(UINT command) const {
        PostMessageA(main, WM_COMMAND, command, 0);
        return Window("#32770");
    }
    std::string ChooseInOpenDialog(const std::string& path) const {
        PostMessageA(main, WM_COMMAND, IDM_FILE_OPEN, 0);
        return AnswerFileDialog(path);
    }
};

// WM_GETTEXT is carried across processes; GetWindowText would not ask a
// rich edit view of another process for its text.
inline std::string ItemText(HWND dialog, int id) {
    std::vector<char> text(0x60000);
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    return text.data();
}
// Returns once the program has done all it was asked: it answers a sent
// message after its work, or from inside a box it shows. False when it hung.
inline bool Settle(const Program& p) {
    DWORD_PTR unused = 0;
    return SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &unused) != 0;
}
inline LRESULT Selection(const Program& p) { return SendMessageA(p.list, LB_GETCURSEL, 0, 0); }
// Opens Find, types text and presses Find Next; the selected row once the
// dialog has closed, or -1 when it stays open.
inline LRESULT FindFromDialog(const Program& p, const std::string& text) {
    HWND dialog = p.Open(IDM_VIEW_FIND);
    if (dialog == nullptr) return -2;
    SendMessageA(GetDlgItem(dialog, IDC_FIND_DESCRIPTION), WM_SETTEXT, 0, LPARAM(text.c_str()));
    PostMessageA(GetDlgItem(dialog, IDC_FIND_NEXT), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }) ? Selection(p) : -1;
}
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// A real press of the left button, through the system's input queue.
inline void RealClick(int x, int y) {
    SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// Sends a key to the window that holds the program's keyboard focus. When a
// test program running beside it has the foreground, the program has no
// focus window; the key then goes to the control that had the focus.
inline void PressKey(const Program& p, WPARAM key, HWND focused) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(p.pi.dwThreadId, &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : focused;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Clicks a button of the dialog that asks a question and answers the box:
// returns the question's text.
inline std::string ClickAndAnswer(const Program& p, HWND dialog, int buttonId, int answer) {
    PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
    if (p.Window("#32770", dialog) == nullptr) return "<no box>";
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the dialog takes input while the box is up";
    const std::string text = p.AnswerBox(answer, dialog);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != 0; }));
    return text;
}

// The face of a rich edit view's default format, read through the program's memory.
inline std::string ViewFaceName(const Program& p, HWND view) {
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_FACE;
    void* remote = VirtualAllocEx(p.pi.hProcess, nullptr, sizeof cf, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr) return "<no memory>";
    WriteProcessMemory(p.pi.hProcess, remote, &cf, sizeof cf, nullptr);
    SendMessageA(view, EM_GETCHARFORMAT, SCF_DEFAULT, LPARAM(remote));
    ReadProcessMemory(p.pi.hProcess, remote, &cf, sizeof cf, nullptr);
    VirtualFreeEx(p.pi.hProcess, remote, 0, MEM_RELEASE);
    return cf.szFaceName;
}

// Sets a filter in the Filter dialog: from a stamp (yy mm dd hh mm ss) and the
// types to keep; look sees the dialog before OK.
inline void Filter(const Program& p, const char* const from[6], bool warning, bool information,
                   const std::function<void(HWND)>& look = nullptr) {
    HWND filter = p.Open(IDM_VIEW_FILTER);
    ASSERT_NE(filter, nullptr);
    if (look) look(filter);
    if (from != nullptr) {
        Click(filter, IDC_FILTER_FROM_STAMP);
        for (int i = 0; i < 6; ++i) SetWindowTextA(GetDlgItem(filter, IDC_FILTER_FROM_YEAR + i), from[i]);
    }
    if (!warning) Click(filter, IDC_FILTER_WARNING);
    if (!information) Click(filter, IDC_FILTER_INFORMATION);
    Click(filter, IDC_FILTER_OK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(filter) && IsWindowEnabled(p.main); }));
}
