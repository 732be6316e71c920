#include "tests/win32/win32_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "app/startup_win32.h"
#include "eventlist/panes_win32.h"

std::vector<RecordedBox> g_boxes;
std::vector<int> g_boxAnswers;

namespace {

int ScriptedMessageBox(HWND owner, UINT id, const char* text, const char* caption, UINT style) {
    g_boxes.push_back(RecordedBox{id, text, caption, style, owner, IsWindowEnabled(g_activeDialog) != 0});
    if (g_boxAnswers.empty()) return IDCANCEL;
    const int answer = g_boxAnswers.front();
    g_boxAnswers.erase(g_boxAnswers.begin());
    return answer;
}

// Another test program may have taken the foreground; coming back restores the focus.
void TakeForeground() {
    if (GetForegroundWindow() != g_activeDialog) SetForegroundWindow(g_activeDialog);
}

}  // namespace

void ClearBoxes() {
    g_boxes.clear();
    g_boxAnswers.clear();
}

std::vector<UINT> PumpMessages() {
    std::vector<UINT> posted;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
        if (msg.hwnd == g_mainWindow && msg.message == WM_COMMAND) posted.push_back(LOWORD(msg.wParam));
        DispatchLoopMessage(&msg);
    }
    return posted;
}

static std::vector<UINT> PostKeys(HWND to, bool alt, std::initializer_list<std::pair<UINT, LPARAM>> messages,
                                  WPARAM key) {
    const HWND focus = Focus();
    SetAltKey(alt);
    for (const auto& m : messages) PostMessageA(to ? to : focus, m.first, key, m.second | (alt ? LPARAM(1) << 29 : 0));
    std::vector<UINT> posted = PumpMessages();
    SetAltKey(false);
    return posted;
}

std::vector<UINT> PressKey(WPARAM key, HWND to, bool alt) {
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN, up = alt ? WM_SYSKEYUP : WM_KEYUP;
    return PostKeys(to, alt, {{down, 1}, {up, LPARAM(0xC0000001u)}}, key);
}

std::vector<UINT> PressAltKey(char letter, HWND to) { return PostKeys(to, true, {{WM_SYSCHAR, 1}}, WPARAM(letter)); }

void SetAltKey(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string TempLogPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "darvex_w32_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\" + name;
}

std::string WriteGeneratedLog(const char* name, const GenOptions& options, GenResult* result) {
    const std::string path = TempLogPath(name);
    EXPECT_EQ(GenerateLog(options, path.c_str(), result), 1) << path;
    return path;
}

std::string WriteGeneratedLog(const char* name, uint32_t events) {
    GenOptions options;
    options.eventCount = events;
    GenResult result;
    return WriteGeneratedLog(name, options, &result);
}

void OpenLog(const std::string& path) {
    lstrcpynA(g_viewer.file.path, path.c_str(), MAX_PATH);
    SendMessageA(g_mainWindow, WM_DARVEX_RELOAD, 1, 0);
}

std::string StatusText(int part) {
    char text[256] = "";
    SendMessageA(g_statusBar, SB_GETTEXTA, WPARAM(part), LPARAM(text));
    return text;
}

int ListCount() { return int(SendMessageA(g_eventList, LB_GETCOUNT, 0, 0)); }
int ListSelection() { return int(SendMessageA(g_eventList, LB_GETCURSEL, 0, 0)); }

std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < ListCount(); ++i) {
        const EventEntry* e = g_viewer.table.visibleRows[i];
        rows.push_back(std::string(e->date, 10) + std::string(e->time, 8));
    }
    return rows;
}

bool MenuGrayed(UINT id) { return (GetMenuState(g_mainMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool MenuChecked(UINT id) { return (GetMenuState(g_mainMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
void Command(UINT id, LPARAM lParam) { SendMessageA(g_mainWindow, WM_COMMAND, id, lParam); }

HWND Dialog() { return g_activeDialog != g_mainWindow ? g_activeDialog : nullptr; }

HWND Focus() {
    TakeForeground();
    return GetFocus();
}

HWND Item(int id) { return GetDlgItem(g_activeDialog, id); }
std::string ItemText(int id) {   // whole, however long
    std::string text(size_t(GetWindowTextLengthA(Item(id))) + 1, '\0');
    text.resize(size_t(GetWindowTextA(Item(id), &text[0], int(text.size()))));
    return text;
}
bool Checked(int id) { return IsDlgButtonChecked(g_activeDialog, id) == BST_CHECKED; }

void Click(int id) {
    TakeForeground();
    SendMessageA(Item(id), BM_CLICK, 0, 0);
}

void Type(int id, const std::string& text) {
    SetFocus(Item(id));
    SendMessageA(Item(id), EM_SETSEL, 0, -1);
    PressKey(VK_BACK, Item(id));
    for (char c : text) SendMessageA(Item(id), WM_CHAR, WPARAM(uint8_t(c)), 1);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    g_showMessageBox = ScriptedMessageBox;
    if (StartProgram(GetModuleHandleA(nullptr), "", SW_SHOW) != 1) return 1;
    PumpMessages();
    return RUN_ALL_TESTS();
}
