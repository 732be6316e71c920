// darvex-cli.exe and DARVEX.EXE on the same generated log: the program
// lists the rows the window shows, its find picks the row that the Find
// dialog selects from the window's first selection, and its show prints the
// event the Event Detail dialog shows for that row.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/win32/program_driver_win32.h"

namespace {

// darvex-cli.exe's standard output (text mode: lines end in CR LF) and its exit code.
std::string RunCliExe(const std::string& arguments, DWORD* code) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return "<no pipe>";
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string line = "\"" + HostPath(DARVEX_CLI_EXE_PATH) + "\" " + arguments;
    PROCESS_INFORMATION pi = {};
    const BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    CloseHandle(write);   // the pipe ends when the child's copy closes
    std::string out = started ? "" : "<not started>";
    char buffer[4096];
    for (DWORD got = 0; started && ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0;) out.append(buffer, got);
    CloseHandle(read);
    if (started) {
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    return out;
}

// The value of a printed line "Label    :  value", without its line end and trailing blanks.
std::string PrintedValue(const std::string& printed, const char* label) {
    const size_t at = printed.find(std::string(label) + " "), start = printed.find(":  ", at) + 3;
    std::string value = at == std::string::npos ? "" : printed.substr(start, printed.find('\n', start) - start);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    return value;
}

}  // namespace

TEST(ProgramAndCli, TheCliListsTheWindowsRowsAndFindsTheRowTheFindDialogSelects) {
    const std::string log = TempPath("CLIFIND.EVT");
    WriteLog(log, 400);
    DWORD code = DWORD(-1);
    const std::string rows = RunCliExe("list --no-header \"" + log + "\"", &code);
    EXPECT_EQ(code, 0u);
    const long count = long(std::count(rows.begin(), rows.end(), '\n'));
    // The window starts with row 0 selected; find starts after it as well.
    // Upper case: the generator writes "License check failed ...".
    const std::string hit = RunCliExe("find \"" + log + "\" --text LICENSE --from-row 0", &code);
    EXPECT_EQ(code, 0u) << hit;
    const long row = atol(hit.c_str());
    EXPECT_GT(row, 1) << hit;

    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    EXPECT_EQ(p.Rows(), count);
    EXPECT_EQ(p.Status(), "Total number of Event" + std::to_string(count) + "|Write Prohibit|");
    EXPECT_EQ(Selection(p), 0);
    EXPECT_EQ(FindFromDialog(p, "license"), row);

    // The printed fields are cut to the printout's widths: each starts the dialog's.
    const std::string shown = RunCliExe("show \"" + log + "\" " + std::to_string(row), &code);
    PostMessageA(p.list, WM_KEYDOWN, VK_RETURN, 1);
    HWND detail = p.Window("#32770");
    ASSERT_NE(detail, nullptr);
    const struct {
        const char* label;
        int id;
    } fields[] = {{"Date", IDC_DETAIL_DATE},         {"Time", IDC_DETAIL_TIME},     {"Computer", IDC_DETAIL_COMPUTER},
                  {"Component", IDC_DETAIL_COMPONENT}, {"Module", IDC_DETAIL_MODULE}, {"Type", IDC_DETAIL_TYPE}};
    for (const auto& f : fields) {
        const std::string value = PrintedValue(shown, f.label);
        EXPECT_FALSE(value.empty()) << f.label;
        EXPECT_EQ(ItemText(detail, f.id).rfind(value, 0), 0u) << f.label << ": " << value;
    }
    EXPECT_NE(shown.find("      " + ItemText(detail, IDC_DETAIL_DESCRIPTION) + "\r\n"), std::string::npos) << shown;
    PressKey(p, VK_ESCAPE, GetDlgItem(detail, IDC_DETAIL_DESCRIPTION));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(detail); }));
}
