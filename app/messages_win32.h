// The string loader, the three message boxes and dialog placement.
#pragma once

#include <windows.h>

// A new heap copy of string id (at most 1,023 characters), or null when the
// string is missing or empty. The caller owns the copy.
char* LoadText(UINT id);

// The texts loaded once at start-up and kept for the whole run.
struct ResidentTexts {
    char* appName;          // 11
    char* title;            // 12
    char* openTitle;        // 13
    char* saveAsTitle;      // 14
    char* errorCaption;     // 15
    char* confirmCaption;   // 16
    char* typeError;        // 21
    char* typeWarning;      // 22
    char* typeInformation;  // 23
    char* all;              // 24
    char* columnTitles[5];  // 30..34
    char* columnType;       // 35
    char* printFormats[9];  // 40..48
    char* unopened;         // 50
    char* totalPrefix;      // 51
    char* writeProhibit;    // 52
    char* filter;           // 53
};
extern ResidentTexts g_texts;

// Loads every resident text in start-up order and hands the ones the core
// shows to it. Returns 0, or 202 at the first text that cannot be loaded.
int LoadResidentTexts();

constexpr UINT kErrorBoxStyle = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL | MB_SETFOREGROUND;
constexpr UINT kOkCancelBoxStyle = MB_OKCANCEL | MB_ICONQUESTION | MB_TASKMODAL | MB_SETFOREGROUND;
constexpr UINT kYesNoCancelBoxStyle = MB_YESNOCANCEL | MB_ICONQUESTION | MB_TASKMODAL | MB_SETFOREGROUND;

// Each returns the pressed button; 0 when the text or caption is missing,
// in which case the main window has been destroyed.
int ShowErrorMessage(UINT id);
int AskOkCancel(UINT id);
int AskYesNoCancel(UINT id);

// The box shown for message id. Tests replace it to read and answer boxes
// without a user; the default one calls MessageBoxA.
typedef int (*MessageBoxFunction)(HWND owner, UINT id, const char* text, const char* caption, UINT style);
extern MessageBoxFunction g_showMessageBox;
int SystemMessageBox(HWND owner, UINT id, const char* text, const char* caption, UINT style);

// Centres a dialog over the main window, pushed back onto the screen.
void CenterDialogOnMain(HWND dialog);
