// The in-process tests' program, started once, with scripted message boxes, and the user's keys and clicks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/remote_window_win32.h"
#include "tools/log_writer.h"

struct RecordedBox {
    UINT id;
    std::string text, caption;
    UINT style;
    HWND owner;
    bool frontEnabled;   // the window in front took input meanwhile
};

// Boxes shown since ClearBoxes, and the next ones' answers (then IDCANCEL).
extern std::vector<RecordedBox> g_boxes;
extern std::vector<int> g_boxAnswers;
void ClearBoxes();

// Delivers the pending messages as the program's loop does; returns the commands posted to the main window.
std::vector<UINT> PumpMessages();
// A key pressed and let go in `to` (else the focus), with Alt held or not.
std::vector<UINT> PressKey(WPARAM key, HWND to = nullptr, bool alt = false);
std::vector<UINT> PressAltKey(char letter, HWND to = nullptr);
void SetAltKey(bool down);

// A log in the temp folder; the name decides whether it is live.
std::string TempLogPath(const char* name);
std::string WriteGeneratedLog(const char* name, uint32_t events);
std::string WriteGeneratedLog(const char* name, const GenOptions& options, GenResult* result);

void OpenLog(const std::string& path);

std::string StatusText(int part);
int ListCount();
int ListSelection();
std::vector<std::string> Rows();   // the shown rows' dates and times, top first
bool MenuGrayed(UINT id);
bool MenuChecked(UINT id);
void Command(UINT id, LPARAM lParam = 0);

// The open dialog (else null), the focus with the program in front, the dialog's controls.
HWND Dialog();
HWND Focus();
HWND Item(int id);
std::string ItemText(int id);
bool Checked(int id);
void Click(int id);
// All the field's text selected and erased, then the keys.
void Type(int id, const std::string& text);
