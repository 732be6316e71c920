// darvex-cli run in-process: its output, messages and status; its logs written to files.
#pragma once

#include <unistd.h>

#include "cli/cli_run.h"
#include "test_support.h"

struct CliResult {
    int status;
    std::string out, err;
};

inline std::string ReadBack(FILE* f) {
    std::string text;
    rewind(f);
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    fclose(f);
    return text;
}

inline CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "darvex-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    FILE* out = tmpfile();
    FILE* err = tmpfile();
    const int status = RunCli(int(argv.size()), argv.data(), out, err);
    return {status, ReadBack(out), ReadBack(err)};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the output ends inside a line";
    return lines;
}

// Names that carry the process (tests run side by side), removed when it ends.
inline std::string TempPath(const char* name) {
    static struct Named {
        std::vector<std::string> paths;
        ~Named() { for (const std::string& p : paths) std::remove(p.c_str()); }
    } named;
    named.paths.push_back(::testing::TempDir() + "darvex_cli_" + std::to_string(getpid()) + "_" + name);
    return named.paths.back();
}

inline std::string WriteLog(const LogImage& image, const char* name) {
    const std::string path = TempPath(name);
    EXPECT_EQ(WriteLogImage(image, path.c_str()), 1);
    return path;
}
