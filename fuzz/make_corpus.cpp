// make_corpus DIR: writes the seed inputs of fuzz_loader into DIR. Each input
// is the target's flag byte followed by a whole log file: a few generated
// logs (small, wrapped, with unknown modules, with saved conditions) and every
// hand-made malformed log, each under more than one reader behaviour.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/log_writer.h"

namespace {

// Flag bits of fuzz_loader: 1 size reported, 2 short reads, 4 live path, 8 read fails midway.
const uint8_t kReaderFlags[] = {0x01, 0x00, 0x27, 0x06};

int g_written = 0;

bool WriteSeed(const std::string& dir, const std::string& name, uint8_t flags, const std::vector<uint8_t>& file) {
    char suffix[8];
    snprintf(suffix, sizeof suffix, "-%02x", flags);
    const std::string path = dir + "/" + name + suffix;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "make_corpus: cannot create %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    bool ok = fwrite(&flags, 1, 1, f) == 1;
    if (!file.empty()) ok = ok && fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "make_corpus: cannot write %s\n", path.c_str());
    ++g_written;
    return ok;
}

bool WriteEachWay(const std::string& dir, const std::string& name, const std::vector<uint8_t>& file) {
    bool ok = true;
    for (uint8_t flags : kReaderFlags) ok = WriteSeed(dir, name, flags, file) && ok;
    return ok;
}

bool WriteGenerated(const std::string& dir, const char* name, const GenOptions& options) {
    LogImage image;
    GenResult result = {};
    if (!GenerateLogImage(options, &image, &result)) {
        fprintf(stderr, "make_corpus: %s: %s\n", name, result.error ? result.error : "generation failed");
        return false;
    }
    return WriteEachWay(dir, name, image.bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_corpus DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        fprintf(stderr, "make_corpus: cannot create %s: %s\n", dir.c_str(), strerror(errno));
        return 1;
    }
    bool ok = true;

    // Kept well under the fuzzer's 64 KiB inputs.
    GenOptions small;
    small.eventCount = 40;
    small.dataLargePerMillion = 0;
    small.dataSmallMax = 64;
    ok = WriteGenerated(dir, "gen-small", small) && ok;

    GenOptions wrapped = small;
    wrapped.eventCount = 150;
    wrapped.wrapped = true;
    wrapped.seed = 2;
    ok = WriteGenerated(dir, "gen-wrapped", wrapped) && ok;

    GenOptions unknown = small;
    unknown.sourceIndex = 2;
    unknown.eventCount = 80;
    unknown.seed = 3;
    unknown.unknownModulesPerMillion = 300000;
    unknown.japanesePercent = 50;
    unknown.emptyDescriptionsPerMillion = 100000;
    ok = WriteGenerated(dir, "gen-unknown-modules", unknown) && ok;

    GenOptions bigData = small;
    bigData.sourceIndex = 3;
    bigData.eventCount = 6;
    bigData.seed = 4;
    bigData.dataNonePercent = 0;
    bigData.dataLargePerMillion = 500000;
    bigData.dataLargeMin = 1024;
    bigData.dataLargeMax = 8000;
    ok = WriteGenerated(dir, "gen-large-data", bigData) && ok;

    // Saved conditions that filter; the live-path flag makes the load use them.
    GenOptions filtered = small;
    filtered.sourceIndex = 1;
    filtered.seed = 5;
    filtered.wrapped = true;
    filtered.eventCount = 60;
    filtered.conditions.fromIsStamp = 1;
    filtered.conditions.throughIsStamp = 1;
    filtered.conditions.errorType = 0;
    filtered.conditions.componentIndex = 2;
    filtered.conditions.moduleIndex = 3;
    filtered.conditions.sortOrder = 114;
    filtered.conditions.conditionsSaved = 1;
    ok = WriteGenerated(dir, "gen-saved-conditions", filtered) && ok;

    for (int v = 0; v < kBrokenLogCount; ++v) {
        const LogImage image = BuildBrokenLog(BrokenLog(v));
        ok = WriteEachWay(dir, std::string("broken-") + kBrokenLogInfo[v].name, image.bytes) && ok;
    }
    // The well-formed base under a reader that fails halfway through the area.
    ok = WriteSeed(dir, "base-read-fails", 0x09, BuildBaseLog().bytes) && ok;
    ok = WriteSeed(dir, "empty-input", 0x01, {}) && ok;

    printf("make_corpus: %d seeds in %s\n", g_written, dir.c_str());
    return ok ? 0 : 1;
}
