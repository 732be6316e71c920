// Live logs and copies with the real DARVEX.EXE: Save As, Clear All Events
// and the conditions stored at exit, checked in the files' bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win32/program_driver_win32.h"
#include "tests/win32/writer_process_win32.h"

namespace {

const char kAskSaveBeforeClear[] = "Is the event log saved before it is erased ?";
const char kAskClear[] = "All the events in the event log will be lost.\r\nMay they be erased ?";
const char kFileExists[] = "Another file with the name already exists.\r\nModify the file name.";

// True when the files have the same length and every changed byte lies in
// one of the ranges, each [from, to).
bool ChangedOnlyIn(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                   std::initializer_list<std::pair<size_t, size_t>> ranges) {
    for (size_t i = 0; i < before.size() && before.size() == after.size(); ++i) {
        bool inside = before[i] == after[i];
        for (const auto& r : ranges) inside = inside || (i >= r.first && i < r.second);
        if (!inside) return false;
    }
    return before.size() == after.size();
}

// A Save As copy holds the header and the record area as loaded, and no more.
std::vector<uint8_t> ExpectedCopy(const std::vector<uint8_t>& log) {
    const uint32_t end = GetU32(log.data() + 36);
    return std::vector<uint8_t>(log.begin(), log.begin() + end);
}

// Starts a clear from the menu and answers the first question.
void StartClear(const Program& p, int saveAnswer) {
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_CLEAR_ALL, 0);
    EXPECT_EQ(p.AnswerBox(saveAnswer), kAskSaveBeforeClear);
}

// Answers the last question of a clear with OK; the program then takes the mutex.
void ConfirmClear(const Program& p) {
    StartClear(p, IDNO);
    EXPECT_EQ(p.AnswerBox(IDOK), kAskClear);
}

// A log of a writing component that is running: EVTWRITER.EXE creates it with
// a record area of areaBytes, appends events to it and keeps its named
// mapping and mutex open, and DARVEX.EXE is started on it.
struct LiveSetup {
    std::string path;
    WriterProcess writer;
    LiveSetup(const char* source, const char* fileName, uint32_t areaBytes, int events) : path(TempPath(fileName)) {
        DeleteFileA(path.c_str());
        EXPECT_EQ(writer.Start(source, path, areaBytes), "ready count=0");
        EXPECT_EQ(AnswerValue(writer.Command("append " + std::to_string(events)), "count"), uint32_t(events));
    }
    uint32_t Header(const char* field) { return AnswerValue(writer.Command("header"), field); }
    // Holds the writer's mutex while act runs and 1.5 s after, then lets go:
    // the header the writer's view showed meanwhile.
    std::string HeaderWhileHeld(const std::function<void()>& act) {
        EXPECT_EQ(writer.Command("hold"), "held");
        act();
        Sleep(1500);
        const std::string header = writer.Command("header");
        EXPECT_EQ(writer.Command("release"), "released");
        return header;
    }
};

}  // namespace

TEST(LiveLog, SaveAsRefusesExistingNamesThenWritesAnExactCopyThatOpensReadOnly) {
    const std::string live = TempPath("PERN.EVT"), taken = TempPath("TAKEN.EVT"), copy = TempPath("COPY");
    WriteLog(live, 50);
    WriteTextLog(taken, {"already here"});
    const std::vector<uint8_t> liveBytes = FileBytes(live), takenBytes = FileBytes(taken);
    Program p("\"" + live + "\"");
    ASSERT_TRUE(p.Up());

    // OK on 251 brings the file dialog back; Cancel ends the save.
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_SAVE_AS, 0);
    EXPECT_EQ(p.AnswerFileDialog(taken), "Save As");
    EXPECT_EQ(p.AnswerBox(IDOK), kFileExists);
    p.AnswerFileDialog(taken);
    EXPECT_EQ(p.AnswerBox(IDCANCEL), kFileExists);
    EXPECT_EQ(p.Window("#32770", nullptr, 500), nullptr);
    EXPECT_EQ(FileBytes(taken), takenBytes);

    // A name without an extension gets ".evt".
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_SAVE_AS, 0);
    p.AnswerFileDialog(copy);
    EXPECT_TRUE(WaitUntil([&] { return FileBytes(copy + ".evt") == ExpectedCopy(liveBytes); }));
    EXPECT_EQ(FileBytes(live), liveBytes);

    EXPECT_EQ(p.ChooseInOpenDialog(copy + ".evt"), "Open");
    EXPECT_TRUE(WaitUntil([&] { return p.Status() == "Total number of Event50|Write Prohibit|"; })) << p.Status();
}

// Cancel in the file dialog, or on the last question: no copy, no clear.
TEST(LiveLog, ClearCancelledAtEitherStepChangesNothing) {
    const std::string live = TempPath("TOLVA.EVT");
    WriteLog(live, 40);
    const std::vector<uint8_t> before = FileBytes(live);
    Program p("\"" + live + "\"");
    ASSERT_TRUE(p.Up());
    StartClear(p, IDYES);
    EXPECT_EQ(p.AnswerFileDialog(""), "Save As");
    EXPECT_EQ(p.Window("#32770", nullptr, 500), nullptr) << "asked to erase without a copy";
    StartClear(p, IDNO);
    EXPECT_EQ(p.AnswerBox(IDCANCEL), kAskClear);
    EXPECT_EQ(FileBytes(live), before);
    EXPECT_EQ(p.Rows(), 40);
}

// A live log that failed to load (here: a missing PERN.EVT) offers no copy,
// no clear and no size change, whichever way the commands arrive.
TEST(LiveLog, NothingIsCopiedClearedOrResizedWithoutALoadedLog) {
    Program p("\"" + TempPath("PERN.EVT") + "\"");
    ASSERT_TRUE(p.Up(false));
    EXPECT_EQ(p.AnswerBox(IDOK), "Failed to open the event log file.");
    for (UINT command : {IDM_FILE_SAVE_AS, IDM_FILE_CLEAR_ALL, IDM_FILE_LOG_SETTINGS}) {
        PostMessageA(p.main, WM_COMMAND, command, 0);
        EXPECT_EQ(p.Window("#32770", nullptr, 500), nullptr) << command;
    }
}

// The file at the path is no longer the log loaded: cut below a header, or
// another log moved over it. The clear writes nothing and the list stays.
TEST(LiveLog, ClearOfAFileChangedUnderItsPathFailsAndTheListStays) {
    const std::string live = TempPath("BORAXLIN.EVT"), other = TempPath("OTHER.EVT");
    const std::function<void()> changes[] = {
        [&] {
            HANDLE file = CreateFileA(live.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            SetFilePointer(file, 60, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
            CloseHandle(file);
        },
        [&] {
            WriteLog(other, 77);
            MoveFileExA(other.c_str(), live.c_str(), MOVEFILE_REPLACE_EXISTING);
        },
    };
    for (const auto& change : changes) {
        WriteLog(live, 30);
        Program p("\"" + live + "\"");
        ASSERT_TRUE(p.Up());
        change();
        const std::vector<uint8_t> changed = FileBytes(live);
        ConfirmClear(p);
        EXPECT_EQ(p.AnswerBox(IDOK), "Failed to delete the event.");
        EXPECT_EQ(p.Rows(), 30);
        EXPECT_EQ(p.Status(), "Total number of Event30||");
        EXPECT_EQ(FileBytes(live), changed);
    }
}

// A copy onto a filesystem of 64 KiB (mounted for the tests where mounting
// is allowed) runs out of space half way.
TEST(LiveLog, CopyThatRunsOutOfSpaceIsReportedAndRemoved) {
    const std::string folder = HostPath(DARVEX_SMALL_FS_PATH);
    ULARGE_INTEGER available, total;
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, &total, nullptr) || total.QuadPart > (1u << 20)) {
        GTEST_SKIP() << "no small filesystem at " << folder;
    }
    const std::string live = TempPath("PERN.EVT"), copy = folder + "\\COPY.EVT";
    WriteLog(live, 2000);
    const std::vector<uint8_t> before = FileBytes(live);
    ASSERT_GT(before.size(), total.QuadPart);
    Program p("\"" + live + "\"");
    ASSERT_TRUE(p.Up());
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_SAVE_AS, 0);
    p.AnswerFileDialog(copy);
    EXPECT_EQ(p.AnswerBox(IDOK), "Failed to write the event log file.");
    WIN32_FIND_DATAA found;   // no copy, nor the temporary file it was written to
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        EXPECT_EQ(found.cFileName[0], '.') << found.cFileName;
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    EXPECT_EQ(FileBytes(live), before);
}

// Under code page 932 and the Japanese resources: a copy named 表 (0x95 0x5C,
// a second byte that looks like a backslash) beside a live log in Japanese
// folders, then the clear.
TEST(ProgramJapanese, LiveLogInJapaneseFoldersIsCopiedThenCleared) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const std::string folder = JapaneseFolder(), live = folder + "pern.evt";
    WriteLog(live, 25);
    const std::vector<uint8_t> before = FileBytes(live);
    Program p("\"" + live + "\"");
    ASSERT_TRUE(p.Up());
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_CLEAR_ALL, 0);
    EXPECT_EQ(p.AnswerBox(IDYES), Ansi(u8"消去する前にイベントログを保存しますか？"));
    EXPECT_EQ(p.AnswerFileDialog(folder + Ansi(u8"表")), Ansi(u8"名前を付けて保存"));
    EXPECT_EQ(p.AnswerBox(IDOK), Ansi(u8"イベントログのすべてのイベントが失われます。\r\n消去してもよろしいですか？"));
    EXPECT_TRUE(WaitUntil([&] { return p.Status() == Ansi(u8"イベント総数：0||"); })) << p.Status();
    EXPECT_EQ(FileBytes(folder + Ansi(u8"表.evt")), ExpectedCopy(before));
    EXPECT_TRUE(ChangedOnlyIn(before, FileBytes(live), {{40, 44}, {60, 68}}));

    // Log Settings in Japanese: 100 kilobytes are written as 64.
    const std::vector<uint8_t> cleared = FileBytes(live);
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_LOG_SETTINGS, 0);
    EXPECT_EQ(p.AnswerBox(IDNO), Ansi(u8"変更する前にイベントログを保存しますか？"));
    EXPECT_EQ(p.AnswerBox(IDOK),
              Ansi(u8"イベントログのすべてのイベントが失われます。\r\n最大ログサイズを変更してもよろしいですか？"));
    HWND dialog = p.Window("#32770");
    EXPECT_EQ(Title(dialog), Ansi(u8"ログの設定"));
    SendMessageA(GetDlgItem(dialog, IDC_LOGSET_SIZE), WM_SETTEXT, 0, LPARAM("100"));
    Click(dialog, IDC_LOGSET_OK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(GetU32(FileBytes(live).data() + 32), 65536u);
    EXPECT_TRUE(ChangedOnlyIn(cleared, FileBytes(live), {{32, 36}}));
}

// The clear takes the writer's mutex: while the writer holds it nothing is
// written; a writer that keeps it past the wait gets 217 and an unchanged
// log; one that lets go within it sees the empty chain at once and goes on.
// One that ended holding it does not block the clear.
TEST(LiveLog, ClearWaitsForTheWritersMutexAndTheWriterGoesOnFromTheEmptyChain) {
    LiveSetup live("pern", "PERN.EVT", 65536, 30);
    Program p("\"" + live.path + "\"");
    ASSERT_TRUE(p.Up());
    EXPECT_EQ(p.Rows(), 30);

    ASSERT_EQ(live.writer.Command("hold"), "held");
    ConfirmClear(p);
    EXPECT_EQ(p.AnswerBox(IDOK), "Failed to delete the event.");   // after the wait ran out
    EXPECT_EQ(live.Header("count"), 30u);
    EXPECT_EQ(p.Rows(), 30);

    ConfirmClear(p);
    Sleep(1500);
    EXPECT_EQ(live.Header("count"), 30u) << "written without the mutex";
    ASSERT_EQ(live.writer.Command("release"), "released");
    EXPECT_TRUE(WaitUntil([&] { return p.Status() == "Total number of Event0||"; })) << p.Status();
    EXPECT_EQ(live.writer.Command("header").substr(0, 33), "header count=0 oldest=0 writer=0 ");
    EXPECT_EQ(live.writer.Command("verify"), "verify ok");

    EXPECT_EQ(AnswerValue(live.writer.Command("append 3"), "count"), 3u);
    PostMessageA(p.list, WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(WaitUntil([&] { return p.Rows() == 3; })) << p.Rows();

    // A writer that ended holding its mutex leaves it abandoned (our handle
    // keeps it alive): the clear goes ahead.
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "DARV_PERN_Mutex");
    EXPECT_EQ(live.writer.Command("exit-holding"), "exiting");
    EXPECT_EQ(live.writer.WaitForExit(), 3u);
    ConfirmClear(p);
    EXPECT_TRUE(WaitUntil([&] { return p.Status() == "Total number of Event0||"; })) << p.Status();
    CloseHandle(mutex);
}

// A copy of the component's log, equal to it byte for byte, opened under a
// name that makes it live: the component's mapping shows the component's
// file, not the one loaded, so neither the clear nor the size change writes.
TEST(LiveLog, ChangesToACopyBesideARunningWriterTouchNeitherFile) {
    LiveSetup live("pern", "PERN.EVT", 65536, 20);
    const std::string copy = TempPath("OLD_PERN.EVT");
    ASSERT_TRUE(CopyFileA(live.path.c_str(), copy.c_str(), TRUE));
    const std::vector<uint8_t> copyBytes = FileBytes(copy);
    ASSERT_EQ(copyBytes, FileBytes(live.path));
    Program p("\"" + copy + "\"");
    ASSERT_TRUE(p.Up());
    ConfirmClear(p);
    EXPECT_EQ(p.AnswerBox(IDOK), "Failed to delete the event.");
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_LOG_SETTINGS, 0);
    p.AnswerBox(IDNO);
    p.AnswerBox(IDOK);
    HWND dialog = p.Window("#32770");
    SendMessageA(GetDlgItem(dialog, IDC_LOGSET_SIZE), WM_SETTEXT, 0, LPARAM("1024"));
    PostMessageA(GetDlgItem(dialog, IDC_LOGSET_OK), BM_CLICK, 0, 0);
    EXPECT_EQ(p.AnswerBox(IDOK, dialog), "Failed to save the maximum log size.");
    EXPECT_EQ(live.Header("count"), 20u);
    EXPECT_EQ(live.Header("max"), 65536u);
    EXPECT_EQ(live.writer.Command("verify"), "verify ok");
    EXPECT_EQ(FileBytes(copy), copyBytes);
    EXPECT_EQ(p.Rows(), 20);
}

// The copy asked for before a change holds every event the change may erase,
// those appended since the load too: it is written again from the live file
// under the writer's mutex, right before the change.
TEST(LiveLog, CopyBeforeAChangeHoldsTheEventsAppendedSinceTheLoad) {
    LiveSetup live("pern", "PERN.EVT", 1 << 20, 10);
    const std::string beforeClear = TempPath("BEFORE.EVT"), beforeResize = TempPath("RESIZE.EVT");
    Program p("\"" + live.path + "\"");
    ASSERT_TRUE(p.Up());
    EXPECT_EQ(AnswerValue(live.writer.Command("append 5"), "count"), 15u);
    ASSERT_EQ(live.writer.Command("run 5"), "running");
    StartClear(p, IDYES);
    p.AnswerFileDialog(beforeClear);
    EXPECT_EQ(p.AnswerBox(IDOK), kAskClear);
    ASSERT_TRUE(Settle(p));
    ASSERT_NE(AnswerValue(live.writer.Command("stop"), "count"), UINT32_MAX);
    EXPECT_NE(AnswerValue(live.writer.Command("append 1"), "count"), UINT32_MAX);
    // The first event after the clear stands at the area's start and follows
    // the copy's newest.
    const std::vector<uint8_t> copy = FileBytes(beforeClear), after = FileBytes(live.path);
    ASSERT_GE(copy.size(), 88u);
    const uint32_t copied = GetU32(copy.data() + 40);
    EXPECT_GE(copied, 15u);
    const std::string next = "Simulated event " + std::to_string(copied + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(after.data() + 88 + 38), next.size() + 1), next + '\0');

    // A size change with a copy: the events appended since the reload are in it.
    EXPECT_NE(AnswerValue(live.writer.Command("append 7"), "count"), UINT32_MAX);
    const std::vector<uint8_t> resized = FileBytes(live.path);
    PostMessageA(p.main, WM_COMMAND, IDM_FILE_LOG_SETTINGS, 0);
    p.AnswerBox(IDYES);
    p.AnswerFileDialog(beforeResize);
    p.AnswerBox(IDOK);
    HWND dialog = p.Window("#32770");
    SendMessageA(GetDlgItem(dialog, IDC_LOGSET_SIZE), WM_SETTEXT, 0, LPARAM("1048576"));
    const uint32_t max = live.Header("max");
    const std::string held =
        live.HeaderWhileHeld([&] { PostMessageA(GetDlgItem(dialog, IDC_LOGSET_OK), BM_CLICK, 0, 0); });
    EXPECT_EQ(AnswerValue(held, "max"), max) << "written without the mutex";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
    EXPECT_EQ(FileBytes(beforeResize), ExpectedCopy(resized));
    EXPECT_EQ(live.Header("max"), 1073741824u);
    EXPECT_EQ(live.writer.Command("verify"), "verify ok");
}

// The writer appends every millisecond and wraps its small area over and
// over while the program loads and refreshes: each load shows a list that
// agrees with its status, or a message; the program stays up.
TEST(LiveLog, WriterAppendingDuringLoadsAndRefreshesNeverBreaksTheProgram) {
    LiveSetup live("boraxlin", "BORAXLIN.EVT", 8192, 100);
    ASSERT_EQ(live.writer.Command("run 1"), "running");
    Program p("\"" + live.path + "\"");
    ASSERT_TRUE(p.Up(false));
    // The reload sets the title last, after the box of a failed load, and
    // that box disables the main window before it shows. After a failed load
    // the program holds no file and Refresh does nothing: the user opens the
    // log again.
    auto reload = [&](bool opened) {
        SendMessageA(p.main, WM_SETTEXT, 0, LPARAM("reloading"));
        if (opened) {
            PostMessageA(p.main, WM_COMMAND, IDM_VIEW_REFRESH, 0);
        } else {
            p.ChooseInOpenDialog(live.path);
        }
        return WaitUntil([&] { return Title(p.main) != "reloading" || !IsWindowEnabled(p.main); }, 30000);
    };
    auto answerMessage = [&] {
        if (IsWindowEnabled(p.main)) return false;
        const std::string text = p.AnswerBox(IDOK);
        EXPECT_TRUE(text == "Event log file is corrupted." || text == "Failed to read the event log file.") << text;
        EXPECT_TRUE(WaitUntil([&] { return Title(p.main) != "reloading"; }));
        return true;
    };
    bool opened = true;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(reload(opened)) << "the program stopped answering";
        opened = !answerMessage();
        if (opened) {
            EXPECT_EQ(p.Status(), "Total number of Event" + std::to_string(p.Rows()) + "||");
        }
    }
    const uint32_t count = AnswerValue(live.writer.Command("stop"), "count");
    ASSERT_NE(count, UINT32_MAX);
    ASSERT_TRUE(reload(false));
    EXPECT_EQ(p.Rows(), LRESULT(count));
    EXPECT_EQ(live.writer.Command("verify"), "verify ok");
}

// Save Settings on: at exit the conditions and the order, marked as saved,
// written under the writer's mutex; off: only the mark is cleared.
TEST(LiveLog, SaveSettingsAtExitWritesUnderTheWritersMutexOrOnlyClearsTheMark) {
    LiveSetup live("kestram", "KESTRAM.EVT", 65536, 10);
    Program p("\"" + live.path + "\"");
    ASSERT_TRUE(p.Up());
    PostMessageA(p.main, WM_COMMAND, IDM_OPTION_SAVE_SETTINGS, 0);
    PostMessageA(p.main, WM_COMMAND, IDM_VIEW_OLDEST_FIRST, 0);
    const std::string before = live.writer.Command("header");
    EXPECT_EQ(live.HeaderWhileHeld([&] { PostMessageA(p.main, WM_CLOSE, 0, 0); }), before)
        << "written without the mutex";
    EXPECT_EQ(p.WaitForExit(), 0u);
    const std::string after = live.writer.Command("header");
    EXPECT_NE(after.find(" saved=1 conditions=0000000001000200040000000000000071000100"), std::string::npos) << after;
    EXPECT_EQ(live.writer.Command("verify"), "verify ok");

    Program again("\"" + live.path + "\"");
    ASSERT_TRUE(again.Up());
    PostMessageA(again.main, WM_COMMAND, IDM_OPTION_SAVE_SETTINGS, 0);   // the load ticked it: now off
    EXPECT_EQ(live.HeaderWhileHeld([&] { PostMessageA(again.main, WM_CLOSE, 0, 0); }), after)
        << "written without the mutex";
    EXPECT_EQ(again.WaitForExit(), 0u);
    std::string off = after;
    off.replace(off.find(" saved=1 ") + 7, 1, "0");
    off.replace(off.size() - 3, 1, "0");   // the low digit of byte 86, the mark
    EXPECT_EQ(live.writer.Command("header"), off);
}
