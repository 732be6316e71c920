// make_corpus DIR: fuzz_loader's seeds, a flag byte and a log each: generated
// logs and every malformed one, under several reader behaviours.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "tools/log_writer.h"

namespace {

std::string g_dir;
int g_written = 0;
bool g_ok = true;

void WriteSeed(const std::string& name, uint8_t flags, const std::vector<uint8_t>& file) {
    char suffix[8];
    snprintf(suffix, sizeof suffix, "-%02x", flags);
    const std::string path = g_dir + "/" + name + suffix;
    FILE* f = fopen(path.c_str(), "wb");
    const bool ok = f && fwrite(&flags, 1, 1, f) == 1 &&
                    (file.empty() || fwrite(file.data(), 1, file.size(), f) == file.size());   // data() may be null
    if (!(f && fclose(f) == 0 && ok)) g_ok = false, fprintf(stderr, "make_corpus: cannot write %s\n", path.c_str());
    ++g_written;
}

// Flag bits of fuzz_loader: 1 size reported, 2 short reads, 4 live path.
void WriteEachWay(const std::string& name, const std::vector<uint8_t>& file) {
    for (uint8_t flags : {0x01, 0x00, 0x27, 0x06}) WriteSeed(name, flags, file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fprintf(stderr, "usage: make_corpus DIR\n"), 2;
    g_dir = argv[1];
    mkdir(g_dir.c_str(), 0777);   // a seed that cannot be written is reported
    // Well under the fuzzer's 64 KiB inputs; saved conditions the live-path flag uses.
    const struct { const char* name; int source; uint32_t events, unknown, japanese, largeData; bool wrapped, saved; }
        generated[] = {{"gen-small", 0, 40, 0, 15, 0, false, false}, {"gen-wrapped", 2, 150, 300000, 50, 0, true, false},
                       {"gen-large-data", 3, 6, 0, 15, 500000, false, false}, {"gen-saved-conditions", 1, 60, 0, 15, 0, true, true}};
    for (const auto& g : generated) {
        GenOptions o;
        o.sourceIndex = g.source;
        o.eventCount = g.events;
        o.seed = uint64_t(&g - generated + 1);
        o.wrapped = g.wrapped;
        o.unknownModulesPerMillion = g.unknown;
        o.japanesePercent = g.japanese;
        o.emptyDescriptionsPerMillion = 100000;
        o.dataSmallMax = 64;
        o.dataNonePercent = g.largeData ? 0 : 35;
        o.dataLargePerMillion = g.largeData;
        o.dataLargeMax = 8000;
        // Both stamps, no errors, component 2, module 3, the module order, saved.
        if (g.saved) o.conditions = {1, 1, 0, kTypeWarning, kTypeInformation, 2, 3, 114, 1};
        LogImage image;
        GenResult result = {};
        g_ok = GenerateLogImage(o, &image, &result) && g_ok;
        WriteEachWay(g.name, image.bytes);
    }
    for (int v = 0; v < kBrokenLogCount; ++v) {
        WriteEachWay(std::string("broken-") + kBrokenLogInfo[v].name, BuildBrokenLog(BrokenLog(v)).bytes);
    }
    WriteSeed("base-read-fails", 0x09, BuildBaseLog().bytes);   // the reader fails halfway
    WriteSeed("empty-input", 0x01, {});
    printf("make_corpus: %d seeds in %s\n", g_written, g_dir.c_str());
    return g_ok ? 0 : 1;
}
