// Shared by the in-process tests: the real program started once per test
// process, message boxes answered by a script, logs written to the temp folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/log_writer.h"

struct RecordedBox {
    UINT id;
    std::string text;
    std::string caption;
    UINT style;
    HWND owner;
    bool ownerEnabled;   // whether the owner took input while the box was up
};

// Boxes shown since the last ClearBoxes, and the answers the next ones get
// (in order; IDCANCEL when the script runs out).
extern std::vector<RecordedBox> g_boxes;
extern std::vector<int> g_boxAnswers;
void ClearBoxes();

// Delivers every pending message, as the message loop would.
void PumpMessages();

// A log in the temp folder; name decides whether it is live (PERN.EVT, ...).
std::string TempLogPath(const char* name);
std::string WriteGeneratedLog(const char* name, uint32_t events);
std::string WriteGeneratedLog(const char* name, const GenOptions& options, GenResult* result);

// Loads path through the reload message, as a dropped file would be.
void OpenLog(const std::string& path);

// Texts and states the user sees.
std::string WindowTitle();
std::string StatusText(int part);
int ListCount();
int ListSelection();
bool MenuGrayed(UINT id);
bool MenuChecked(UINT id);
void Command(UINT id, LPARAM lParam = 0);
