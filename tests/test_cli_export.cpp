// darvex-cli export: awkward descriptions written as CSV, JSON and NDJSON, read
// back by small readers and compared field by field with the core's table.
#include <map>

#include "cli_test_support.h"

namespace {

using Object = std::map<std::string, std::string>;   // numbers kept as their text

// RFC 4180: records end in CR LF, quoted fields may hold anything, "" is a quote.
std::vector<std::vector<std::string>> ReadCsv(const std::string& s) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    for (size_t i = 0; i < s.size();) {
        std::string& field = records.back().back();
        if (s[i] == '"' && field.empty()) {
            for (++i; i < s.size(); ++i) {
                if (s[i] == '"' && s.compare(i, 2, "\"\"") != 0) break;
                field += s[i];
                if (s[i] == '"') ++i;   // the doubled quote
            }
            ++i;
        } else if (s[i] == ',') {
            records.back().emplace_back();
            ++i;
        } else if (s.compare(i, 2, "\r\n") == 0) {
            records.emplace_back(1);
            i += 2;
        } else {
            EXPECT_TRUE(s[i] != '"' && s[i] != '\r' && s[i] != '\n') << "bare quote or line break at " << i;
            field += s[i++];
        }
    }
    EXPECT_EQ(records.back(), std::vector<std::string>(1)) << "the last record has no CR LF";
    records.pop_back();
    return records;
}

// One flat JSON object of strings and numbers, with only the escapes export
// may write; anything else adds the key "<not JSON>".
Object ReadJsonObject(const std::string& s) {
    size_t i = 0;
    auto at = [&](size_t k) { return k < s.size() ? s[k] : '\0'; };
    auto string = [&](std::string* out) {
        if (at(i++) != '"') return false;
        for (char c; (c = at(i++)) != '"';) {
            if (uint8_t(c) < 0x20) return false;   // control characters must be escaped
            if (c != '\\') {
                *out += c;
                continue;
            }
            switch (at(i++)) {
            case '"': *out += '"'; break;
            case '\\': *out += '\\'; break;
            case 'n': *out += '\n'; break;
            case 'r': *out += '\r'; break;
            case 't': *out += '\t'; break;
            case 'u':   // only control characters need it; the rest is UTF-8 as it stands
                if (s.compare(i, 2, "00") != 0 || i + 4 > s.size()) return false;
                *out += char(strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
                i += 4;
                break;
            default: return false;
            }
        }
        return true;
    };
    Object o;
    bool ok = at(i++) == '{';
    for (std::string key, value; ok; key.clear(), value.clear()) {
        ok = string(&key) && at(i++) == ':';
        if (ok && at(i) == '"') ok = string(&value);
        while (ok && value.empty() && isdigit(uint8_t(at(i)))) value += s[i++];
        o[key] = value;
        if (at(i) != ',') break;
        ++i;
    }
    if (!ok || at(i) != '}' || i + 1 != s.size()) o["<not JSON>"] = s;
    return o;
}

// A JSON array as export writes it: one object a line.
std::vector<Object> ReadJsonArray(const std::string& s) {
    const std::vector<std::string> lines = Lines(s);
    if (s == "[]\n") return {};
    if (lines.size() < 3 || lines.front() != "[" || lines.back() != "]") return {{{"<not JSON>", s}}};
    std::vector<Object> objects;
    for (size_t k = 1; k + 1 < lines.size(); ++k) {
        const bool last = k + 2 == lines.size();
        if (!last && lines[k].back() != ',') return {{{"<not JSON>", s}}};
        objects.push_back(ReadJsonObject(lines[k].substr(0, lines[k].size() - (last ? 0 : 1))));
    }
    return objects;
}

std::string Trimmed(const char* name) {
    std::string s = name;
    return s.erase(s.find_last_not_of(' ') + 1);
}

const uint8_t kData[] = {0x00, 0x22, 0x2C, 0x5C, 0x7F, 0x80, 0xFF, 0x0A};

// Newest first: the description as written (Shift-JIS) and as UTF-8.
const struct {
    uint16_t type;
    uint32_t moduleCode;
    const char* text;   // null: no description
    const char* utf8;
    uint32_t dataBytes;
} kEvents[] = {
    // Each of the comma, the quote, the CR and the LF alone makes a quoted CSV field.
    {kTypeError, 0, "a, b,\tc", "a, b,\tc", sizeof kData},
    // 0x5C is the second byte of the first character: no backslash.
    {kTypeWarning, 3, "\x95\x5c\x8e\xa6\x83\x65\x83\x58\x83\x67 \\ \x01\x1f\rend",
     "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 \\ \x01\x1f\rend", 0},
    {kTypeInformation, 9, nullptr, "", 300},   // an unknown module, and more data than one piece
    {3, 6, "", "", 1},                         // a type without a name
    {kTypeInformation, 5, "\xb1\xb2\nnext", "\xEF\xBD\xB1\xEF\xBD\xB2\nnext", 0},
    {kTypeInformation, 1, "say \"x\" \"\"", "say \"x\" \"\"", 2},
};
constexpr uint32_t kEventCount = sizeof kEvents / sizeof kEvents[0];

struct ExportTest : StateTest {
    std::string path;
    std::vector<uint8_t> data[kEventCount];
    void SetUp() override {
        StateTest::SetUp();
        std::vector<SyntheticEvent> events;
        for (uint32_t k = 0; k < kEventCount; ++k) {
            for (uint32_t b = 0; b < kEvents[k].dataBytes; ++b) data[k].push_back(kData[b % sizeof kData] + uint8_t(b));
            events.push_back({kEvents[k].type, kEvents[k].moduleCode, "1999/12/3123:59:59", kEvents[k].text,
                              data[k].data(), kEvents[k].dataBytes});
        }
        const LogImage image = SyntheticLogImage(events.data(), kEventCount);
        path = WriteLog(image, "export.evt");
        ASSERT_EQ(LoadImage(&state, image, "export.evt", &fx), 0);
    }
    // Event k as export must write it, from the core's entry of it.
    Object Expected(uint32_t k) {
        const EventEntry& e = *state.table.fileOrder[k];
        std::string time = std::string(e.date) + "T" + e.time;
        time[4] = time[7] = '-';
        std::string hex;
        char digits[3];
        for (uint8_t b : data[k]) hex.append(digits, size_t(snprintf(digits, sizeof digits, "%02x", b)));
        return {{"type", std::to_string(e.type)},       {"typeName", Trimmed(TypeName(e.type))},
                {"time", time},                         {"component", std::to_string(e.component)},
                {"componentName", Trimmed(ComponentName(e.component))},
                {"module", std::to_string(e.module)},   {"moduleName", Trimmed(ModuleName(e.module))},
                {"computer", "TESTPC"},                 {"description", kEvents[k].utf8},
                {"data", hex}};
    }
};

const char* const kHeader[] = {"type",   "typeName",   "time",     "component",   "componentName",
                               "module", "moduleName", "computer", "description", "data"};

TEST_F(ExportTest, EachFormatReadsBackAsTheCoresEvents) {
    std::vector<Object> expected;
    for (uint32_t k = 0; k < kEventCount; ++k) expected.push_back(Expected(k));
    const CliResult csvOut = Cli({"export", path, "--format", "csv"});
    EXPECT_EQ(csvOut.status, 0);
    const std::vector<std::vector<std::string>> csv = ReadCsv(csvOut.out);
    ASSERT_EQ(csv.size(), kEventCount + 1);
    EXPECT_EQ(csv[0], std::vector<std::string>(std::begin(kHeader), std::end(kHeader)));
    for (uint32_t k = 0; k < kEventCount; ++k) {
        ASSERT_EQ(csv[k + 1].size(), csv[0].size()) << k;
        Object row;
        for (size_t f = 0; f < csv[0].size(); ++f) row[csv[0][f]] = csv[k + 1][f];
        EXPECT_EQ(row, expected[k]) << "csv " << k;
    }
    EXPECT_EQ(ReadJsonArray(Cli({"export", path, "--format=json"}).out), expected);
    std::vector<Object> lines;
    for (const std::string& line : Lines(Cli({"export", path, "--format", "ndjson"}).out)) {
        lines.push_back(ReadJsonObject(line));
    }
    EXPECT_EQ(lines, expected);
}

TEST_F(ExportTest, OrderAndFilterChooseTheEventsAndRawIsRefused) {
    const CliResult r = Cli({"export", path, "--format", "json", "--order", "oldest", "--types", "information,error"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadJsonArray(r.out), (std::vector<Object>{Expected(5), Expected(4), Expected(2), Expected(0)}));
    // Nothing listed is an empty array and a bare CSV header.
    EXPECT_EQ(Cli({"export", path, "--format", "json", "--component", "1", "--types", "warning"}).out, "[]\n");
    EXPECT_EQ(ReadCsv(Cli({"export", path, "--format", "csv", "--module", "3"}).out).size(), 1u);
    // JSON must be UTF-8: the stored bytes cannot be asked for, and the format must be.
    for (std::vector<std::string> extra : {std::vector<std::string>{"--format", "csv", "--raw"},
                                           {"--format", "xml"}, {}}) {
        extra.insert(extra.begin(), {"export", path});
        EXPECT_EQ(Cli(extra).status, kExitUsage) << extra.size();
    }
}

}  // namespace
