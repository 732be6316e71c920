#include "app/path_rules.h"

#include <cstring>

int TakeCommandLinePath(const char* commandLine, const AnsiCodePage& page, char out[kPathBufferSize]) {
    out[0] = '\0';
    size_t n = strlen(commandLine);
    if (n >= size_t(kPathBufferSize)) return kMsgPathTooLong;
    if (commandLine[0] == '"') {
        ++commandLine;
        --n;
        // The closing quote must be a character of its own, not a second byte.
        size_t last = 0;
        for (size_t i = 0; i < n; i += CharLength(page, commandLine + i)) last = i;
        if (n > 0 && last == n - 1 && commandLine[last] == '"') --n;
    }
    memcpy(out, commandLine, n);
    out[n] = '\0';
    return 0;
}

int ExtensionDot(const char* path, const AnsiCodePage& page) {
    int dot = -1;
    for (int i = 0; path[i] != '\0'; i += int(CharLength(page, path + i))) {
        const char c = path[i];
        if (c == '.') {
            dot = i;
        } else if (c == '\\' || c == '/' || c == ':') {
            dot = -1;   // a new component starts; earlier dots were directories'
        }
    }
    return dot;
}

int FolderPartLength(const char* path, const AnsiCodePage& page) {
    int length = 0;
    for (int i = 0; path[i] != '\0'; i += int(CharLength(page, path + i))) {
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') length = i + 1;
    }
    return length;
}

namespace {

// Copies text and replaces everything after position dot with ext; 0 when it does not fit.
bool ReplaceExtension(const char* text, int dot, const char* ext, char out[kPathBufferSize]) {
    const size_t extLength = strlen(ext);
    if (size_t(dot) + 1 + extLength >= size_t(kPathBufferSize)) return false;
    memmove(out, text, size_t(dot) + 1);
    memcpy(out + dot + 1, ext, extLength + 1);
    return true;
}

bool AppendText(const char* text, const char* suffix, char out[kPathBufferSize]) {
    const size_t n = strlen(text);
    const size_t m = strlen(suffix);
    if (n + m >= size_t(kPathBufferSize)) return false;
    memmove(out, text, n);
    memcpy(out + n, suffix, m + 1);
    return true;
}

void KeepAsIs(const char* text, const AnsiCodePage& page, char out[kPathBufferSize]) {
    const size_t n = WholeCharsPrefix(page, text, kPathBufferSize - 1);
    memmove(out, text, n);
    out[n] = '\0';
}

}  // namespace

void SaveAsPathFromChoice(const char* chosen, const AnsiCodePage& page, char out[kPathBufferSize]) {
    // Names shorter than five bytes always get the extension appended.
    const int dot = strlen(chosen) < 5 ? -1 : ExtensionDot(chosen, page);
    if (dot >= 0) {
        if (!ReplaceExtension(chosen, dot, "evt", out)) KeepAsIs(chosen, page, out);
        return;
    }
    if (!AppendText(chosen, ".evt", out)) KeepAsIs(chosen, page, out);
}

void DeriveHelpFilePath(char path[kPathBufferSize], const char* appName, const AnsiCodePage& page) {
    const int dot = ExtensionDot(path, page);
    if (dot >= 0 && ReplaceExtension(path, dot, "HLP", path)) return;
    char name[kPathBufferSize];
    if (!AppendText(appName, ".HLP", name)) KeepAsIs(appName, page, name);
    memcpy(path, name, strlen(name) + 1);
}

int MainWindowWidth(int usableWidth) {
    if (usableWidth > 652) return 652;
    if (usableWidth > 580) return 580;
    return kDefaultWindowSize;
}

int MainWindowHeight(int usableHeight) {
    if (usableHeight > 438) return 438;
    if (usableHeight > 390) return 390;
    return kDefaultWindowSize;
}
