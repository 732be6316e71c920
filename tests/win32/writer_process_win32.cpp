#include "tests/win32/writer_process_win32.h"

#include <cstdlib>
#include <cstring>

#include "tests/win32/remote_window_win32.h"

namespace {

void CloseIfOpen(HANDLE* handle) {
    if (*handle != nullptr) CloseHandle(*handle);
    *handle = nullptr;
}

}  // namespace

std::string WriterProcess::Start(const char* source, const std::string& path, uint32_t createAreaBytes) {
    Stop();
    std::string line = "\"" + HostPath(EVTWRITER_EXE_PATH) + "\" --source " + source + " --file \"" + path + "\"";
    if (createAreaBytes != 0) line += " --create " + std::to_string(createAreaBytes);

    // The child's ends of the two pipes are inherited; ours are not, so its
    // standard output ends when it does.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE childInput = nullptr, childOutput = nullptr;
    if (!CreatePipe(&childInput, &toWriter, &inherit, 0)) return "";
    if (!CreatePipe(&fromWriter, &childOutput, &inherit, 0)) {
        CloseHandle(childInput);
        return "";
    }
    SetHandleInformation(toWriter, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromWriter, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childInput;
    si.hStdOutput = childOutput;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &si, &process);
    CloseHandle(childInput);
    CloseHandle(childOutput);
    if (!started) {
        process = {};
        return "";
    }
    return ReadLine(30000);   // the first start of a Wine prefix is slow
}

std::string WriterProcess::ReadLine(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const size_t end = received.find('\n');
        if (end != std::string::npos) {
            std::string line = received.substr(0, end);
            received.erase(0, end + 1);
            return line;
        }
        DWORD available = 0;
        if (fromWriter == nullptr || !PeekNamedPipe(fromWriter, nullptr, 0, nullptr, &available, nullptr)) {
            return "";   // the writer has ended and everything it wrote was read
        }
        if (available != 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!ReadFile(fromWriter, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr)) {
                return "";
            }
            received.append(buffer, got);
            continue;
        }
        if (GetTickCount() - start > timeoutMs) return "";
        Sleep(2);
    }
}

std::string WriterProcess::Command(const std::string& line, DWORD timeoutMs) {
    const std::string sent = line + "\n";
    DWORD written = 0;
    if (toWriter == nullptr || !WriteFile(toWriter, sent.data(), DWORD(sent.size()), &written, nullptr)) return "";
    return ReadLine(timeoutMs);
}

DWORD WriterProcess::WaitForExit(DWORD timeoutMs) {
    if (process.hProcess == nullptr) return STILL_ACTIVE;
    WaitForSingleObject(process.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

void WriterProcess::Stop() {
    if (process.hProcess != nullptr) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) Command("quit", 5000);
        if (WaitForExit(5000) == STILL_ACTIVE) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        }
    }
    CloseIfOpen(&process.hProcess);
    CloseIfOpen(&process.hThread);
    CloseIfOpen(&toWriter);
    CloseIfOpen(&fromWriter);
    received.clear();
}

uint32_t AnswerValue(const std::string& answer, const char* name) {
    const std::string key = std::string(" ") + name + "=";
    const size_t at = answer.find(key);
    if (at == std::string::npos) return UINT32_MAX;
    return uint32_t(strtoul(answer.c_str() + at + key.size(), nullptr, 10));
}
