// darvex-cli.exe and DARVEX.EXE on the same generated log: the program lists
// the rows the window shows, and its find picks the row that the Find dialog
// selects from the window's first selection.
#include <algorithm>
#include <cstdlib>

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
}
