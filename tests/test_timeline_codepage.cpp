// darvex-cli over a folder of a Shift-JIS log and a code page 1252 log: each
// log's texts read in its own code page, unless --codepage gives one for all.
#include <unistd.h>

#include <filesystem>

#include "cli_test_support.h"
#include "test_support.h"

namespace {

TEST(TimelineCodePage, EachLogReadInItsOwn) {
    const std::string dir = ::testing::TempDir() + "darvex_cp_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const SyntheticEvent jp[] = {{kTypeError, 0x101, "2024/05/0110:00:02", "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x8D\x83\x4F"},
                                 {kTypeInformation, 0x101, "2024/05/0110:00:00", "\x8B\x4E\x93\xAE"}};
    const SyntheticEvent fr[] = {{kTypeWarning, 0x101, "2024/05/0110:00:01", "Caf\xE9 ferm\xE9"}};
    LogImage images[2] = {SyntheticLogImage(jp, 2), SyntheticLogImage(fr, 1)};
    SetComputerName(&images[0], "\x83\x54\x81\x5B\x83\x6F");   // "サーバ"
    for (int i = 0; i < 2; ++i) {
        FILE* f = fopen((dir + (i ? "/FR.EVT" : "/JP.EVT")).c_str(), "wb");
        fwrite(images[i].bytes.data(), 1, images[i].bytes.size(), f), fclose(f);
    }
    std::string err;
    for (const char* command : {"list", "export"}) {
        const CliResult r = Cli({command, dir, "--format", *command == 'l' ? "line" : "ndjson"});
        const std::string& out = r.out;
        err = r.err;
        for (const char* text : {"日本語のログ", "サーバ", "Café fermé"}) EXPECT_NE(out.find(text), std::string::npos) << out;
    }
    EXPECT_TRUE(err.find("JP.EVT: texts read as code page 932 (guessed)\n") != std::string::npos &&
                err.find("FR.EVT: texts read as code page 1252 (guessed)\n") != std::string::npos) << err;
    // The rows newest first: 0 the Japanese error (its computer's name shown), 1 the French warning.
    EXPECT_EQ(Cli({"find", dir, "--text", "日本語"}).out, "0\t Error  24/05/01  10:00:02  unknown           unknown   サーバ\n");
    EXPECT_EQ(Cli({"find", dir, "--text", "Café", "--all"}).out.substr(0, 2), "1\t");
    const CliResult forced = Cli({"list", dir, "--format", "line", "--codepage", "1252"});
    EXPECT_TRUE(forced.out.find("Café fermé") != std::string::npos && forced.out.find("日本語") == std::string::npos &&
                forced.err.empty());
    std::filesystem::remove_all(dir);
}

}  // namespace
