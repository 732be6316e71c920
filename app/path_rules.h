// Pure string and size rules of the application shell: the command-line
// path, the Save As extension, the help file name and the main window size.
// Paths are ANSI texts: they are walked by characters of the code page, so a
// second byte 0x5C of a double-byte character is never taken for a backslash.
#pragma once

#include <cstdint>

#include "app/ansi_text.h"

constexpr int kPathBufferSize = 260;        // MAX_PATH, terminator included
constexpr int kMsgPathTooLong = 220;

// The system's "let it choose" size (CW_USEDEFAULT), spelled without windows.h.
constexpr int kDefaultWindowSize = INT32_MIN;

// The command line's single log path: an enclosing pair of double quotes is
// removed (a lone opening quote too); anything else is taken whole, blanks
// included. Returns 0, or kMsgPathTooLong for 260 bytes or more (out is then
// left empty).
int TakeCommandLinePath(const char* commandLine, const AnsiCodePage& page, char out[kPathBufferSize]);

// Offset of the dot that starts the extension of the last path component,
// or -1 when that component has none. A dot in a directory name never counts.
int ExtensionDot(const char* path, const AnsiCodePage& page);

// The length of the path's folder part with its last separator; 0 when the
// path names a file of the current folder. A trail byte 0x5C is no separator.
int FolderPartLength(const char* path, const AnsiCodePage& page);

// The name a Save As copy is written under: the extension of the last
// component is replaced by ".evt", or ".evt" is appended when there is none
// or when the name is shorter than five bytes.
// When the result would not fit the buffer the chosen path is kept as it is.
void SaveAsPathFromChoice(const char* chosen, const AnsiCodePage& page, char out[kPathBufferSize]);

// The help file named like the program: the module path with its extension
// replaced by "HLP"; a module path without extension gives the bare name
// appName + ".HLP". Rewrites path in place.
void DeriveHelpFilePath(char path[kPathBufferSize], const char* appName, const AnsiCodePage& page);

// The main window's outer size for the usable screen area, in two fixed steps.
int MainWindowWidth(int usableWidth);
int MainWindowHeight(int usableHeight);
