#include "app/path_rules.h"

#include <cstring>

int TakeCommandLinePath(const char* commandLine, char out[kPathBufferSize]) {
    out[0] = '\0';
    size_t n = strlen(commandLine);
    if (n >= size_t(kPathBufferSize)) return kMsgPathTooLong;
    if (commandLine[0] == '"') {
        ++commandLine;
        --n;
        if (n > 0 && commandLine[n - 1] == '"') --n;
    }
    memcpy(out, commandLine, n);
    out[n] = '\0';
    return 0;
}

int ExtensionDot(const char* path) {
    int dot = -1;
    for (int i = 0; path[i] != '\0'; ++i) {
        const char c = path[i];
        if (c == '.') {
            dot = i;
        } else if (c == '\\' || c == '/' || c == ':') {
            dot = -1;   // a new component starts; earlier dots were directories'
        }
    }
    return dot;
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

void KeepAsIs(const char* text, char out[kPathBufferSize]) {
    size_t n = strlen(text);
    if (n >= size_t(kPathBufferSize)) n = kPathBufferSize - 1;
    memmove(out, text, n);
    out[n] = '\0';
}

}  // namespace

void SaveAsPathFromChoice(const char* chosen, char out[kPathBufferSize]) {
    // Names shorter than five bytes always get the extension appended.
    const int dot = strlen(chosen) < 5 ? -1 : ExtensionDot(chosen);
    if (dot >= 0) {
        if (!ReplaceExtension(chosen, dot, "evt", out)) KeepAsIs(chosen, out);
        return;
    }
    if (!AppendText(chosen, ".evt", out)) KeepAsIs(chosen, out);
}

void DeriveHelpFilePath(char path[kPathBufferSize], const char* appName) {
    const int dot = ExtensionDot(path);
    if (dot >= 0 && ReplaceExtension(path, dot, "HLP", path)) return;
    char name[kPathBufferSize];
    if (!AppendText(appName, ".HLP", name)) KeepAsIs(appName, name);
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
