// darvex-cli.exe follow beside EVTWRITER.EXE appending round a small area, and
// after it went round the whole area between two looks (the rest: in-process).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/writer_process_win32.h"
#include "tools/chain_append.h"

namespace {

// darvex-cli.exe with its standard output and error on one pipe (and input
// from a file when given).
struct FollowProcess {
    PROCESS_INFORMATION process = {};
    HANDLE output = nullptr;
    std::string received;

    explicit FollowProcess(const std::string& arguments, HANDLE input = nullptr) {
        std::string line = "\"Z:" + std::string(DARVEX_CLI_EXE_PATH) + "\" " + arguments;   // the host's root
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE childOutput = nullptr;
        if (!CreatePipe(&output, &childOutput, &inherit, 0)) return;
        SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = childOutput;
        si.hStdInput = input;
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &process);
        CloseHandle(childOutput);
    }
    ~FollowProcess() { Stop(); }
    void Stop() {   // as Ctrl-C would
        if (process.hProcess) TerminateProcess(process.hProcess, 0), WaitForSingleObject(process.hProcess, 5000);
        for (HANDLE h : {process.hProcess, process.hThread, output}) if (h) CloseHandle(h);
        process = {};
        output = nullptr;
    }

    // Everything it writes until it ends.
    std::string All() {
        char buffer[4096];
        for (DWORD got = 0; ReadFile(output, buffer, sizeof buffer, &got, nullptr) && got > 0;) received.append(buffer, got);
        return received;
    }

    // The descriptions of the next n NDJSON lines (other lines whole, without
    // their line end); fewer on a timeout.
    std::vector<std::string> Lines(size_t n, DWORD timeoutMs = 15000) {
        std::vector<std::string> texts;
        for (const DWORD start = GetTickCount(); texts.size() < n && GetTickCount() - start <= timeoutMs;) {
            for (size_t end; texts.size() < n && (end = received.find('\n')) != std::string::npos;) {
                std::string line = received.substr(0, end);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                const size_t at = line.find("\"description\":\""), stop = line.find("\",\"data\":");
                texts.push_back(at != std::string::npos && stop != std::string::npos ? line.substr(at + 15, stop - at - 15)
                                                                                     : line);
                received.erase(0, end + 1);
            }
            DWORD available = 0, got = 0;
            if (!PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr)) break;
            std::string buffer(available, '\0');
            if (available == 0) Sleep(5);
            else if (ReadFile(output, &buffer[0], available, &got, nullptr)) received.append(buffer, 0, got);
        }
        return texts;
    }
};

std::vector<std::string> Events(uint32_t first, uint32_t last) {
    std::vector<std::string> texts;
    for (uint32_t i = first; i <= last; ++i) texts.push_back("Simulated event " + std::to_string(i));
    return texts;
}

TEST(CliFollow, PrintsEachAppendedEventThroughWrapsAndReportsAnOverrun) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = folder + std::string("darvex_follow_") + std::to_string(GetCurrentProcessId()) + ".PERN.EVT";
    WriterProcess writer;
    ASSERT_EQ(writer.Start("pern", path, 600), "ready count=0");
    ASSERT_EQ(AnswerValue(writer.Command("append 5"), "count"), 5u);
    FollowProcess follow("follow \"" + path + "\" --lines 3 --format ndjson --interval 20");
    ASSERT_NE(follow.process.hProcess, nullptr);
    EXPECT_EQ(follow.Lines(3), Events(3, 5));
    uint32_t appended = 5;
    for (uint32_t batch = 1; appended < 25; appended += batch, batch = batch % 4 + 1) {   // twice round the area
        const std::string answer = writer.Command("append " + std::to_string(batch));
        ASSERT_EQ(follow.Lines(batch), Events(appended + 1, appended + batch)) << answer;
    }

    // Round the whole area between two looks: reported, then the chain from its oldest (maybe twice).
    const uint32_t count = AnswerValue(writer.Command("append 30"), "count");
    appended += 30;
    bool reported = false;
    std::vector<std::string> lines, more;
    while ((lines.empty() || lines.back() != Events(appended, appended)[0]) && !(more = follow.Lines(1)).empty()) {
        const bool report = more[0].rfind("darvex-cli: the events after the last one printed are gone", 0) == 0;
        if (report) lines.clear(), reported = true;
        else lines.push_back(more[0]);
    }
    EXPECT_TRUE(reported);
    ASSERT_GE(lines.size(), size_t(count));
    EXPECT_EQ(lines, Events(appended + 1 - uint32_t(lines.size()), appended));
    EXPECT_TRUE(follow.Lines(1, 500).empty());
    follow.Stop();
    writer.Stop();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

// A reader that leaves ends list at its next write, and follow on a quiet log between two looks: status 0.
TEST(CliFollow, EndsAtOnceWhenItsReaderLeaves) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = folder + std::string("darvex_left_") + std::to_string(GetCurrentProcessId()) + ".PERN.EVT";
    WriterProcess writer;
    ASSERT_EQ(writer.Start("pern", path, 65536), "ready count=0");
    for (const char* command : {"follow", "list"}) {
        FollowProcess p(command + (" \"" + path + "\""));
        CloseHandle(p.output), p.output = nullptr;
        DWORD status = 1;
        EXPECT_EQ(WaitForSingleObject(p.process.hProcess, 3000), WAIT_OBJECT_0) << command;
        EXPECT_TRUE(GetExitCodeProcess(p.process.hProcess, &status) && status == 0) << command << status;
        writer.Command("append 600");
    }
    writer.Stop();
    DeleteFileA(path.c_str());
}

std::string TempLogPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder + std::string("darvex_") + name + std::to_string(GetCurrentProcessId()) + ".PERN.EVT";
}

// A log of n events "NAME i", the odd ones errors.
bool WriteEvents(const std::string& path, const char* name, int n) {
    LogImage image;
    InitLogImage(&image, 0, kRecordAreaStart + 1500);
    uint32_t newest = 0;
    for (int i = 1; i <= n; ++i) {
        const std::string text = name + std::to_string(i);
        RecordSpec r;
        r.text = text.c_str();
        r.type = i % 2 ? kTypeError : kTypeInformation;
        if (!AppendRecord(image.bytes.data(), image.bytes.size(), &newest, r)) return false;
    }
    return WriteLogImage(image, path.c_str()) == 1;
}

// The file under the path changes while it is open: follow says so and reads the new one from its start.
TEST(CliFollow, FollowsAFileRenamedOverTruncatedOrDeletedAndMadeAgain) {
    const std::string path = TempLogPath("renamed_"), next = path + ".next";
    ASSERT_TRUE(WriteEvents(path, "old ", 5));
    FollowProcess follow("follow \"" + path + "\" --lines 2 --types error --format ndjson --interval 20");
    ASSERT_NE(follow.process.hProcess, nullptr);
    EXPECT_EQ(follow.Lines(2), std::vector<std::string>({"old 3", "old 5"}));
    ASSERT_TRUE(WriteEvents(next, "new ", 3));
    // A rename over a file refused while it is open: follow opens it only for a look.
    bool moved = false;
    for (int tries = 0; !moved && tries < 100; ++tries) {
        if (!(moved = MoveFileExA(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))) Sleep(10);
    }
    ASSERT_TRUE(moved) << GetLastError();
    const std::string notice = "darvex-cli: " + path + ": ";
    EXPECT_EQ(follow.Lines(3), std::vector<std::string>({notice + "file replaced; following the new file from its first event",
                                                         "new 1", "new 3"}));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, TRUNCATE_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(follow.Lines(1), std::vector<std::string>({notice + "file truncated; following it from its first event"}));
    ASSERT_TRUE(WriteEvents(path, "again ", 1));
    EXPECT_EQ(follow.Lines(1), std::vector<std::string>({"again 1"}));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(follow.Lines(1), std::vector<std::string>({notice + "file deleted; waiting for it to come back"}));
    ASSERT_TRUE(WriteEvents(path, "back ", 3));
    EXPECT_EQ(follow.Lines(3), std::vector<std::string>({notice + "file appeared; following it from its first event",
                                                         "back 1", "back 3"}));
    follow.Stop();
    DeleteFileA(path.c_str());
}

// FILE "-": the log from standard input, as from its path.
TEST(CliFollow, ListReadsTheLogFromStandardInput) {
    const std::string path = TempLogPath("stdin_");
    ASSERT_TRUE(WriteEvents(path, "piped ", 4));
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE log = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    const std::string piped = FollowProcess("list - --format line --codepage 1252", log).All();
    CloseHandle(log);
    EXPECT_EQ(piped, FollowProcess("list \"" + path + "\" --format line --codepage 1252").All());
    EXPECT_NE(piped.find("\tpiped 4"), std::string::npos);
    EXPECT_NE(FollowProcess("follow -").All().find("not standard input"), std::string::npos);
    DeleteFileA(path.c_str());
}

}  // namespace
