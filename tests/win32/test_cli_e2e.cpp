// darvex-cli.exe lists the rows DARVEX.EXE shows on the same log, and its find
// picks the row the Find dialog selects from the window's first selection.
#include <algorithm>
#include <cstdlib>

#include "tests/win32/program_driver_win32.h"

namespace {

// darvex-cli.exe's standard output (text mode: lines end in CR LF) and its exit status.
std::string RunCliExe(const std::string& arguments, int* status) {
    // cmd /c drops the first and the last quote of the line; the line goes as Unicode.
    const std::string line = "\"\"" + HostPath(DARVEX_CLI_EXE_PATH) + "\" " + arguments + "\"";
    std::wstring wide(line.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, &wide[0], int(wide.size())) - 1));
    FILE* pipe = _wpopen(wide.c_str(), L"rb");
    std::string out;
    char buffer[4096];
    for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    *status = pipe ? _pclose(pipe) : -1;
    return out;
}

}  // namespace

TEST(ProgramAndCli, TheCliListsTheWindowsRowsAndFindsTheRowTheFindDialogSelects) {
    const std::string log = TempPath("CLIFIND.EVT");
    WriteLog(log, 400);
    int code = -1;
    const std::string rows = RunCliExe("list --no-header \"" + log + "\"", &code);
    EXPECT_EQ(code, 0);
    const long count = long(std::count(rows.begin(), rows.end(), '\n'));
    // Row 0 starts selected; upper case: the generator writes "License check failed".
    const std::string hit = RunCliExe("find \"" + log + "\" --text LICENSE --from-row 0", &code);
    EXPECT_EQ(code, 0) << hit;
    const long row = atol(hit.c_str());
    EXPECT_GT(row, 1) << hit;

    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    EXPECT_EQ(p.Rows(), count);
    EXPECT_EQ(p.Status(), "Total number of Event" + std::to_string(count) + "|Write Prohibit|");
    EXPECT_EQ(Selection(p), 0);
    EXPECT_EQ(FindFromDialog(p, "license"), row);
}

// Under an ANSI code page without it (en), 接続 is found in the log's 932, refused by 1252.
TEST(ProgramAndCli, TheCliTakesAJapaneseTextAsTypedOrRefusesItInACodePageWithoutIt) {
    const std::string log = TempPath("CLIJA.EVT");
    WriteTextLog(log, {"\x90\xda\x91\xb1 failed", "other"});
    int code = -1;
    EXPECT_EQ(RunCliExe(u8"find \"" + log + u8"\" --text 接続", &code).substr(0, 2), "1\t");
    EXPECT_EQ(code, 0);
    EXPECT_EQ((RunCliExe(u8"find \"" + log + u8"\" --text 接続 --codepage 1252", &code), code), 2);
}
