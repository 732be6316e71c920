// Shared by the in-process tests: the real program started once per test
// process, message boxes answered by a script, logs written to the temp folder,
// and the keys, clicks and texts of the user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/log_writer.h"

struct RecordedBox {
    UINT id;
    std::string text, caption;
    UINT style;
    HWND owner;
    bool frontEnabled;   // whether the window in front (dialog or main) took input meanwhile
};

// Boxes shown since the last ClearBoxes, and the answers the next ones get
// (in order; IDCANCEL when the script runs out).
extern std::vector<RecordedBox> g_boxes;
extern std::vector<int> g_boxAnswers;
void ClearBoxes();

// Delivers every pending message as the program's loop does; returns the
// commands posted to the main window meanwhile, in order.
std::vector<UINT> PumpMessages();
// A key pressed and let go in `to` (the focus when null); with alt, a system
// key with Alt held.
std::vector<UINT> PressKey(WPARAM key, HWND to = nullptr, bool alt = false);
// Alt and a character: an access key, or one of the accelerators that ask for Alt.
std::vector<UINT> PressAltKey(char letter, HWND to = nullptr);
void SetAltKey(bool down);

// A log in the temp folder; name decides whether it is live (PERN.EVT, ...).
std::string TempLogPath(const char* name);
std::string WriteGeneratedLog(const char* name, uint32_t events);
std::string WriteGeneratedLog(const char* name, const GenOptions& options, GenResult* result);

// Loads path through the reload message, as a dropped file would be.
void OpenLog(const std::string& path);

// Texts and states the user sees.
std::string StatusText(int part);
int ListCount();
int ListSelection();
std::vector<std::string> Rows();   // the shown rows' dates and times, top first
bool MenuGrayed(UINT id);
bool MenuChecked(UINT id);
void Command(UINT id, LPARAM lParam = 0);

// The open dialog (null when none), the focus with the program in front, and the dialog's controls.
HWND Dialog();
HWND Focus();
HWND Item(int id);
std::string Text(HWND window);
std::string ItemText(int id);
bool Checked(int id);
void Click(int id);
