// darvex-cli export: awkward texts as CSV (RFC 4180), JSON and NDJSON (escaped, UTF-8).
#include "cli_test_support.h"

namespace {

// Each of the comma, CR, LF and quote alone makes a quoted CSV field. 表示's 0x5C is no
// backslash; ｱ is half-width. The last event: unnamed type, unknown module, much data.
struct ExportTest : ::testing::Test {
    uint8_t data[300];
    std::string path, hex;   // the 300 bytes, as export writes them
    const std::string header = "type,typeName,time,component,componentName,module,moduleName,computer,description,data\r\n";
    const std::string csv = "4,Information,1999-12-31T23:59:59,1,HALDOR/PERN,0,HALDOR/PERN,TESTPC,";
    const std::string json = R"({"type":4,"typeName":"Information","time":"1999-12-31T23:59:59","component":1,)"
                             R"("componentName":"HALDOR/PERN","module":0,"moduleName":"HALDOR/PERN","computer":"TESTPC",)";
    std::vector<std::string> objects;
    void SetUp() override {
        static const uint8_t small[] = {0x00, 0x22, 0x2C, 0x5C, 0x7F, 0x80, 0xFF, 0x0A};
        for (int i = 0; i < 300; ++i) data[i] = uint8_t(i * 7);
        for (uint8_t b : data) hex += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
        const SyntheticEvent events[] = {
            {kTypeInformation, 0, "1999/12/3123:59:59", "a, b\tc", small, sizeof small},
            {kTypeInformation, 0, "1999/12/3123:59:59", "\x95\x5c\x8e\xa6 \\ \x01\x1f\r\xb1"},
            {kTypeInformation, 0, "1999/12/3123:59:59", "x\ny"},
            {kTypeInformation, 0, "1999/12/3123:59:59", "say \"x\" \"\""},
            {3, 9, "1999/12/3123:59:57", nullptr, data, sizeof data}};
        path = WriteLog(SyntheticLogImage(events, 5), "export.evt");
        objects = {json + R"("description":"a, b\tc","data":"00222c5c7f80ff0a"})",
                   json + R"("description":"表示 \\ \u0001\u001f\rｱ","data":""})",
                   json + R"("description":"x\ny","data":""})", json + R"("description":"say \"x\" \"\"","data":""})",
                   R"({"type":3,"typeName":"","time":"1999-12-31T23:59:57","component":5,"componentName":"unknown",)"
                   R"("module":7,"moduleName":"unknown","computer":"TESTPC","description":"","data":")" + hex + "\"}"};
    }
};

TEST_F(ExportTest, EachFormatQuotesOrEscapesTheTextsAsItsRulesSay) {
    const CliResult r = Cli({"export", path, "--format", "csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, header + csv + "\"a, b\tc\",00222c5c7f80ff0a\r\n" + csv + "\"表示 \\ \x01\x1f\rｱ\",\r\n" + csv +
                         "\"x\ny\",\r\n" + csv + "\"say \"\"x\"\" \"\"\"\"\",\r\n" +
                         "3,,1999-12-31T23:59:57,5,unknown,7,unknown,TESTPC,," + hex + "\r\n");
    std::string lines, array;
    for (const std::string& o : objects) {
        lines += o + "\n";
        array += (array.empty() ? "[\n" : ",\n") + o;
    }
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson"}).out, lines);
    EXPECT_EQ(Cli({"export", path, "--format=json"}).out, array + "\n]\n");
}

TEST_F(ExportTest, OrderAndFilterChooseTheEventsAndRawIsRefused) {
    EXPECT_EQ(Cli({"export", path, "--format", "ndjson", "--order", "oldest", "--types", "information"}).out,
              objects[3] + "\n" + objects[2] + "\n" + objects[1] + "\n" + objects[0] + "\n");
    // Nothing listed is an empty array and a bare CSV header.
    EXPECT_EQ(Cli({"export", path, "--format", "json", "--types", "warning"}).out, "[]\n");
    EXPECT_EQ(Cli({"export", path, "--format", "csv", "--module", "3"}).out, header);
    // The format must be asked for; the stored bytes (--raw) cannot be.
    EXPECT_EQ(Cli({"export", path, "--format", "csv", "--raw"}).status, kExitUsage);
    EXPECT_EQ(Cli({"export", path}).status, kExitUsage);
}

}  // namespace
