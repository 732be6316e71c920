// darvex-helpc SOURCE.txt OUT.HLP: compiles a help source into a help file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/helpc/help_compiler.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: darvex-helpc SOURCE.txt OUT.HLP\n");
        return 2;
    }
    FILE* in = fopen(argv[1], "rb");
    if (!in) {
        fprintf(stderr, "%s: cannot open\n", argv[1]);
        return 1;
    }
    std::string text;
    char buffer[8192];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, n);
    fclose(in);

    HelpSource source;
    std::vector<uint8_t> bytes;
    std::string error;
    // The creation date comes from SOURCE_DATE_EPOCH, so that builds repeat byte for byte.
    const char* epoch = getenv("SOURCE_DATE_EPOCH");
    const uint32_t genDate = epoch ? uint32_t(strtoul(epoch, nullptr, 10)) : 0;
    if (!ParseHelpSource(text, argv[1], &source, &error) || !WriteHelpFile(source, argv[1], genDate, &bytes, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    FILE* out = fopen(argv[2], "wb");
    if (!out || fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || fclose(out) != 0) {
        fprintf(stderr, "%s: cannot write\n", argv[2]);
        if (out) remove(argv[2]);
        return 1;
    }
    return 0;
}
