// darvex-cli run in-process by the terminal tool's tests.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"

struct CliResult { int status; std::string out, err; };

inline std::string ReadBack(FILE* f) {
    std::string text;
    rewind(f);
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    fclose(f);
    return text;
}

// The program with args after its name, its output to out; stdinPath, when
// given, is its standard input.
inline CliResult Cli(std::vector<std::string> args, FILE* out = tmpfile(), const std::string& stdinPath = "") {
    args.insert(args.begin(), "darvex-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    int saved = -1;
    if (!stdinPath.empty()) {
        saved = dup(STDIN_FILENO);
        const int in = open(stdinPath.c_str(), O_RDONLY);
        dup2(in, STDIN_FILENO);
        close(in);
    }
    FILE* err = tmpfile();
    const int status = RunCli(int(argv.size()), argv.data(), out, err);
    if (saved >= 0) dup2(saved, STDIN_FILENO), close(saved);
    return {status, ReadBack(out), ReadBack(err)};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
