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
    g_boxes.push_back(RecordedBox{id, text, caption, style, owner, owner != nullptr && IsWindowEnabled(owner) != 0});
    if (g_boxAnswers.empty()) return IDCANCEL;
    const int answer = g_boxAnswers.front();
    g_boxAnswers.erase(g_boxAnswers.begin());
    return answer;
}

class ProgramEnvironment : public testing::Environment {
public:
    void SetUp() override {
        g_showMessageBox = ScriptedMessageBox;
        ASSERT_EQ(StartProgram(GetModuleHandleA(nullptr), "", SW_SHOW), 1);
        PumpMessages();
    }
};

}  // namespace

void ClearBoxes() {
    g_boxes.clear();
    g_boxAnswers.clear();
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
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

std::string WindowTitle() {
    char text[512];
    GetWindowTextA(g_mainWindow, text, sizeof text);
    return text;
}

std::string StatusText(int part) {
    char text[256] = "";
    SendMessageA(g_statusBar, SB_GETTEXTA, WPARAM(part), LPARAM(text));
    return text;
}

int ListCount() { return int(SendMessageA(g_eventList, LB_GETCOUNT, 0, 0)); }
int ListSelection() { return int(SendMessageA(g_eventList, LB_GETCURSEL, 0, 0)); }
bool MenuGrayed(UINT id) { return (GetMenuState(g_mainMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool MenuChecked(UINT id) { return (GetMenuState(g_mainMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
void Command(UINT id, LPARAM lParam) { SendMessageA(g_mainWindow, WM_COMMAND, id, lParam); }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new ProgramEnvironment);
    return RUN_ALL_TESTS();
}
