#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/cli_follow.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "logfile/loader.h"

char** CommandLineArguments(int*, char** argv) { return argv; }

FILE* OpenLogFile(const char* path) { return fopen(path, "rb"); }

int OpenFileIdentity(FILE* file, FileIdentity* identity, uint64_t* size) {
    struct stat s;
    if (fstat(fileno(file), &s) != 0) return 0;
    *identity = {1, uint32_t(uint64_t(s.st_dev) ^ (uint64_t(s.st_dev) >> 32)), uint64_t(s.st_ino)};
    *size = uint64_t(s.st_size);
    return 1;
}

int PathIdentity(const char* path, FileIdentity* identity) {
    struct stat s;
    if (stat(path, &s) != 0) return errno == ENOENT || errno == ENOTDIR ? 0 : -1;
    *identity = {1, uint32_t(uint64_t(s.st_dev) ^ (uint64_t(s.st_dev) >> 32)), uint64_t(s.st_ino)};
    return 1;
}

int KeepFollowedFileOpen() { return 1; }

namespace {

char g_spooled[4096];   // the temporary copy of standard input, "" for none

void RemoveSpooled() {
    if (g_spooled[0]) unlink(g_spooled);
    g_spooled[0] = '\0';
}

}  // namespace

const char* SpoolStandardInput(FILE* err) {
    if (isatty(STDIN_FILENO)) {
        fprintf(err, "darvex-cli: -: standard input is a terminal; give the log through a pipe or \"<\"\n");
        return nullptr;
    }
    static bool registered = false;
    if (!registered) registered = atexit(RemoveSpooled) == 0;
    RemoveSpooled();   // one run's copy at a time
    const char* folder = getenv("TMPDIR");
    snprintf(g_spooled, sizeof g_spooled, "%s/darvex-cli-stdin-XXXXXX", folder && *folder ? folder : "/tmp");
    const int fd = mkstemp(g_spooled);
    if (fd < 0) {
        fprintf(err, "darvex-cli: -: no temporary file for standard input: %s\n", strerror(errno));
        g_spooled[0] = '\0';
        return nullptr;
    }
    static char buffer[65536];
    const char* failure = nullptr;
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            failure = "standard input cannot be read";
            break;
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = write(fd, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) break;
            done += w;
        }
        if (done < n) {
            failure = "the temporary file cannot be written";
            break;
        }
    }
    if (close(fd) != 0 && !failure) failure = "the temporary file cannot be written";
    if (failure) {
        fprintf(err, "darvex-cli: -: %s: %s\n", failure, strerror(errno));
        RemoveSpooled();
        return nullptr;
    }
    return g_spooled;
}

int IsFolder(const char* path) {
    struct stat s;
    return stat(path, &s) == 0 && S_ISDIR(s.st_mode) ? 1 : 0;
}

int ListFolder(const char* path, void (*each)(void*, const char*, bool), void* context) {
    DIR* dir = opendir(path);
    if (!dir) return errno == EACCES ? kMsgAccessDenied : kMsgOpenFailed;
    const size_t length = strlen(path);
    const bool separated = length > 0 && path[length - 1] == '/';
    std::string entry;
    while (const struct dirent* d = readdir(dir)) {
        if (strcmp(d->d_name, ".") == 0 || strcmp(d->d_name, "..") == 0) continue;
        entry.assign(path, length);
        if (!separated) entry += '/';
        entry += d->d_name;
        struct stat s;
        each(context, entry.c_str(), stat(entry.c_str(), &s) == 0 && S_ISDIR(s.st_mode));
    }
    closedir(dir);
    return 0;
}
