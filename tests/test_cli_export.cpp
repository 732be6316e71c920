// darvex-cli export: awkward texts written as CSV (RFC 4180: CR LF, quoted
// fields with doubled quotes), JSON and NDJSON (escaped, UTF-8).
#include "cli_test_support.h"

namespace {

struct ExportTest : ::testing::Test {
    uint8_t data[300];
    std::string path, hex;   // the 300 bytes, as export writes them
    const std::string header = "type,typeName,time,component,componentName,module,moduleName,computer,description,data\r\n";
    // The first has a comma, quotes, CR LF and a tab; the second 表示, whose 0x5C
    // is no backslash, a backslash, control characters and a half-width ｱ; the
    // third an unnamed type, an unknown module, no description and more data
    // than one piece of output.
    void SetUp() override {
        static const uint8_t small[] = {0x00, 0x22, 0x2C, 0x5C, 0x7F, 0x80, 0xFF, 0x0A};
        for (int i = 0; i < 300; ++i) data[i] = uint8_t(i * 7);
        for (uint8_t b : data) hex += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
        const SyntheticEvent events[] = {
            {kTypeError, 0, "1999/12/3123:59:59", "a, \"b\" \"\"\r\nc\td", small, sizeof small},
            {kTypeWarning, 3, "1999/12/3123:59:58", "\x95\x5c\x8e\xa6 \\ \x01\x1f\xb1", nullptr, 0},
            {3, 9, "1999/12/3123:59:57", nullptr, data, sizeof data}};
        path = WriteLog(SyntheticLogImage(events, 3), "export.evt");
    }
    std::vector<std::string> Objects() const {
        return {R"({"type":1,"typeName":"Error","time":"1999-12-31T23:59:59","component":1,"componentName":)"
                R"("HALDOR/PERN","module":0,"moduleName":"HALDOR/PERN","computer":"TESTPC",)"
                R"("description":"a, \"b\" \"\"\r\nc\td","data":"00222c5c7f80ff0a"})",
                R"({"type":2,"typeName":"Warning","time":"1999-12-31T23:59:58","component":2,"componentName":)"
                R"("HALDOR/TOLVA","module":3,"moduleName":"HALDOR/TOLVA","computer":"TESTPC",)"
                R"("description":"表示 \\ \u0001\u001fｱ","data":""})",
                R"({"type":3,"typeName":"","time":"1999-12-31T23:59:57","component":5,"componentName":"unknown",)"
                R"("module":7,"moduleName":"unknown","computer":"TESTPC","description":"","data":")" + hex + "\"}"};
    }
};

TEST_F(ExportTest, EachFormatQuotesOrEscapesTheTextsAsItsRulesSay) {
    const CliResult csv = Cli({"export", path, "--format", "csv"});
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, header +
                           "1,Error,1999-12-31T23:59:59,1,HALDOR/PERN,0,HALDOR/PERN,TESTPC,"
                           "\"a, \"\"b\"\" \"\"\"\"\r\nc\td\",00222c5c7f80ff0a\r\n"
                           "2,Warning,1999-12-31T23:59:58,2,HALDOR/TOLVA,3,HALDOR/TOLVA,TESTPC,表示 \\ \x01\x1fｱ,\r\n"
                           "3,,1999-12-31T23:59:57,5,unknown,7,unknown,TESTPC,," + hex + "\r\n");
    const std::vector<std::string> objects = Objects();
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson"}).out, objects[0] + "\n" + objects[1] + "\n" + objects[2] + "\n");
    EXPECT_EQ(Cli({"export", path, "--format=json"}).out,
              "[\n" + objects[0] + ",\n" + objects[1] + ",\n" + objects[2] + "\n]\n");
}

TEST_F(ExportTest, OrderAndFilterChooseTheEventsAndRawIsRefused) {
    const std::vector<std::string> objects = Objects();
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson", "--order", "oldest", "--types", "error,warning"}).out,
              objects[1] + "\n" + objects[0] + "\n");
    // Nothing listed is an empty array and a bare CSV header.
    EXPECT_EQ(Cli({"export", path, "--format", "json", "--component", "1", "--types", "warning"}).out, "[]\n");
    EXPECT_EQ(Cli({"export", path, "--format", "csv", "--module", "3"}).out, header);
    // JSON must be UTF-8: the stored bytes cannot be asked for, and the format must be.
    for (std::vector<std::string> extra : {std::vector<std::string>{"--format", "csv", "--raw"},
                                           {"--format", "xml"}, {}}) {
        extra.insert(extra.begin(), {"export", path});
        EXPECT_EQ(Cli(extra).status, kExitUsage) << extra.size();
    }
}

}  // namespace
