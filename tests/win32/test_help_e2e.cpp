// The help commands of the real DARVEX.EXE open the system's help viewer on
// DARVEX.HLP next to the program, at the topic each command names: read from
// the viewer's own windows, from another process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win32/program_driver_win32.h"

namespace {

// The text of the topic the viewer shows: its rich edit view.
std::wstring TopicText() {
    std::wstring topic;
    for (HWND view : Children(FindWindowA("MS_WINHELP", nullptr), "RICHEDIT")) topic += WideText(view);
    return topic;
}

// Waits until the viewer shows the topic of that title: its first line.
bool StartsWith(const std::wstring& text, const std::wstring& title) {
    const size_t start = text.find_first_not_of(L" \r\n\t");
    return start != std::wstring::npos && text.compare(start, title.size(), title) == 0;
}
::testing::AssertionResult ShowsTopic(const std::wstring& title) {
    std::wstring topic;
    if (WaitUntil([&] { return StartsWith(topic = TopicText(), title); }, 15000)) return ::testing::AssertionSuccess();
    const std::string shown = Narrow(topic, CP_UTF8);
    const bool up = FindWindowA("MS_WINHELP", nullptr) != nullptr;
    return ::testing::AssertionFailure() << (up ? "the viewer shows: " + shown.substr(0, 300) : "no viewer");
}

// The viewer's index (its Index button): the keywords it lists.
std::vector<std::wstring> IndexKeywords() {
    std::vector<std::wstring> keywords;
    // The second button of the viewer's bar: Contents, Index, Back.
    const std::vector<HWND> buttons = Children(FindWindowA("MS_WINHELP", nullptr), "Button");
    if (buttons.size() < 2) return keywords;
    PostMessageA(buttons[1], BM_CLICK, 0, 0);
    HWND list = nullptr, index = nullptr;
    WaitUntil([&] {
        const std::vector<HWND> lists = Children(index = FindWindowA("#32770", nullptr), "ListBox");
        list = lists.empty() ? nullptr : lists.back();
        return list != nullptr && SendMessageW(list, LB_GETCOUNT, 0, 0) > 0;
    });
    for (LRESULT i = 0; list != nullptr && i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t item[256] = L"";
        SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(item));
        keywords.push_back(item);
    }
    if (index != nullptr) PostMessageA(index, WM_COMMAND, IDCANCEL, 0);
    return keywords;
}

void CloseViewer() {
    HWND viewer = FindWindowA("MS_WINHELP", nullptr);
    if (viewer != nullptr) PostMessageA(viewer, WM_CLOSE, 0, 0);
    WaitUntil([] { return FindWindowA("MS_WINHELP", nullptr) == nullptr; }, 10000);
}

// Each dialog with a Help button: the command that opens it and the button.
const struct {
    UINT open;
    int helpButton;
} kDialogs[4] = {{IDM_FILE_LOG_SETTINGS, IDC_LOGSET_HELP}, {IDM_VIEW_FILTER, IDC_FILTER_HELP},
                 {IDM_VIEW_FIND, IDC_FIND_HELP}, {IDM_VIEW_DETAIL, IDC_DETAIL_HELP}};

// On a live log without its writer: the contents, the index, each dialog's
// Help button (Log Settings after its questions) with its topic's title
// (UTF-8, in kDialogs' order), F1, and the viewer's end with the program's.
void EveryHelpCommandOpensItsTopic(const char* exe, const char* contentsTitle, const char* const (&topics)[4],
                                   bool japanese) {
    CloseViewer();
    const std::string log = TempPath("") + (japanese ? Ansi(u8"日本") : std::string("HELP")) + "\\PERN.EVT";
    CreateDirectoryA(log.substr(0, log.rfind('\\')).c_str(), nullptr);
    WriteLog(log, 30);
    Program p("\"" + log + "\"", exe);
    ASSERT_TRUE(p.Up());
    PostMessageA(p.main, WM_COMMAND, IDM_HELP_CONTENTS, 0);
    EXPECT_TRUE(ShowsTopic(Wide(contentsTitle)));
    // The keywords reach the viewer's index, each dialog's topic among them.
    const std::vector<std::wstring> keywords = IndexKeywords();
    EXPECT_GT(keywords.size(), 100u);
    for (int d = 0; d < 4; ++d) {
        SCOPED_TRACE(topics[d]);
        EXPECT_NE(std::find(keywords.begin(), keywords.end(), Wide(topics[d])), keywords.end());
        SendMessageA(p.list, LB_SETCURSEL, 0, 0);
        PostMessageA(p.main, WM_COMMAND, kDialogs[d].open, 0);
        if (kDialogs[d].open == IDM_FILE_LOG_SETTINGS) {
            p.AnswerBox(IDNO);
            p.AnswerBox(IDOK);
        }
        HWND dialog = p.Window("#32770");
        ASSERT_NE(dialog, nullptr);
        Click(dialog, kDialogs[d].helpButton);
        EXPECT_TRUE(ShowsTopic(Wide(topics[d])));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
    }
    // F1 goes back to the contents.
    PressKey(p, VK_F1, p.list);
    EXPECT_TRUE(ShowsTopic(Wide(contentsTitle)));
    // The program tells the viewer to quit when it closes.
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitForExit(), 0u);
    p.main = nullptr;
    EXPECT_TRUE(WaitUntil([] { return FindWindowA("MS_WINHELP", nullptr) == nullptr; }, 10000));
}

}  // namespace

TEST(Help, EveryHelpCommandOpensTheViewerOnItsTopic) {
    const char* const topics[4] = {"Log Settings", "Filter", "Find", "Event Detail"};
    EveryHelpCommandOpensItsTopic(DARVEX_EXE_PATH, "DARVEX Help Contents", topics, false);
}

// The Japanese distribution: the same program beside the Japanese help file.
TEST(ProgramJapanese, EveryHelpCommandOpensTheJapaneseHelpOnItsTopic) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const char* const topics[4] = {u8"ログの設定", u8"表示するイベント", u8"イベントの検索", u8"イベントの詳細"};
    EveryHelpCommandOpensItsTopic(DARVEX_JA_EXE_PATH, u8"DARVEX ヘルプの目次", topics, true);
}
