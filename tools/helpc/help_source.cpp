// The help source format: header directives, then topics of directives and
// paragraphs with [[id|text]] jumps. Text stays in the file's code page; under
// code page 932 a double-byte character's second byte is never taken for a
// '[', '\' or '|' of the markup.
#include "tools/helpc/help_compiler.h"

#include <cstdlib>
#include <map>

namespace {

struct ParseState {
    const std::string* fileName;
    std::string* error;
    int codePage = 1252;
};

int Fail(ParseState* st, int line, const std::string& message) {
    *st->error = *st->fileName + ":" + std::to_string(line) + ": " + message;
    return 0;
}

bool IsLeadByte(const ParseState& st, unsigned char c) {
    return st.codePage == 932 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

bool IsIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

bool IsValidId(const std::string& id) {
    if (id.empty()) return false;
    for (char c : id)
        if (!IsIdChar(c)) return false;
    return true;
}

// A decimal number in [low, high]; 0 when it is not one.
int ParseNumber(const std::string& s, long low, long high, long* value) {
    if (s.empty() || s.size() > 10) return 0;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return 0;
    *value = long(v);
    return 1;
}

void AddText(std::vector<HelpSpan>* spans, const std::string& text, int line) {
    if (text.empty()) return;
    if (!spans->empty() && spans->back().kind == kSpanText) {
        spans->back().text += text;
        return;
    }
    HelpSpan span;
    span.text = text;
    span.line = line;
    spans->push_back(span);
}

// Unescapes text[begin, end): "\[" and "\\" stand for '[' and '\'.
std::string Unescape(const ParseState& st, const std::string& text, size_t begin, size_t end) {
    std::string out;
    for (size_t i = begin; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(st, c) && i + 1 < end) {
            out += text.substr(i, 2);
            ++i;
        } else if (c == '\\' && i + 1 < end && (text[i + 1] == '[' || text[i + 1] == '\\')) {
            out += text[++i];
        } else {
            out += char(c);
        }
    }
    return out;
}

// Splits one line of body text into text and jump spans.
int ParseInline(ParseState* st, const std::string& text, int line, std::vector<HelpSpan>* spans) {
    size_t plain = 0, i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(*st, c) && i + 1 < text.size()) {
            i += 2;
        } else if (c == '\\' && i + 1 < text.size()) {
            i += 2;
        } else if (c == '[' && i + 1 < text.size() && text[i + 1] == '[') {
            AddText(spans, Unescape(*st, text, plain, i), line);
            size_t bar = std::string::npos, j = i + 2;
            for (; j < text.size(); ++j) {
                const unsigned char d = static_cast<unsigned char>(text[j]);
                if (IsLeadByte(*st, d) && j + 1 < text.size()) {
                    ++j;
                } else if (d == '\\' && j + 1 < text.size()) {
                    ++j;
                } else if (d == '|' && bar == std::string::npos) {
                    bar = j;
                } else if (d == ']' && j + 1 < text.size() && text[j + 1] == ']') {
                    break;
                }
            }
            if (j >= text.size()) return Fail(st, line, "unterminated jump: '[[' without ']]'");
            if (bar == std::string::npos) return Fail(st, line, "jump without '|': [[ID|shown text]]");
            HelpSpan jump;
            jump.kind = kSpanJump;
            jump.target = Trim(text.substr(i + 2, bar - i - 2));
            jump.text = Unescape(*st, text, bar + 1, j);
            jump.line = line;
            if (!IsValidId(jump.target)) return Fail(st, line, "bad topic id in jump: '" + jump.target + "'");
            if (jump.text.empty()) return Fail(st, line, "jump to '" + jump.target + "' shows no text");
            spans->push_back(jump);
            i = plain = j + 2;
        } else {
            ++i;
        }
    }
    AddText(spans, Unescape(*st, text, plain, text.size()), line);
    return 1;
}

}  // namespace

int ParseHelpSource(const std::string& text, const std::string& fileName, HelpSource* out,
                    std::string* error) {
    ParseState st;
    st.fileName = &fileName;
    st.error = error;
    *out = HelpSource();
    std::map<std::string, int> idLines;
    std::map<long, int> contextLines;
    int titleLine = 0, codePageLine = 0;
    HelpTopic* topic = nullptr;
    bool topicTitled = false, paragraphOpen = false;

    size_t start = 0;
    for (int line = 1; start <= text.size(); ++line) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(start, end - start);
        start = end + 1;
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == ' ' || raw.back() == '\t')) raw.pop_back();

        if (!raw.empty() && raw[0] == '#') continue;
        if (!raw.empty() && raw[0] == '@') {
            const size_t space = raw.find_first_of(" \t");
            const std::string name = raw.substr(0, space);
            const std::string value = space == std::string::npos ? std::string() : Trim(raw.substr(space));
            if (name == "@topic") {
                if (topic && !topicTitled) return Fail(&st, topic->line, "topic '" + topic->id + "' has no @title");
                if (!IsValidId(value)) return Fail(&st, line, "bad topic id '" + value + "'");
                auto found = idLines.find(value);
                if (found != idLines.end())
                    return Fail(&st, line, "duplicate topic id '" + value + "' (first at line " +
                                               std::to_string(found->second) + ")");
                idLines[value] = line;
                out->topics.emplace_back();
                topic = &out->topics.back();
                topic->id = value;
                topic->line = line;
                topicTitled = paragraphOpen = false;
            } else if (name == "@title") {
                if (value.empty()) return Fail(&st, line, "@title without text");
                if (topic) {
                    if (topicTitled) return Fail(&st, line, "second @title in topic '" + topic->id + "'");
                    topic->title = value;
                    topicTitled = true;
                } else {
                    if (titleLine) return Fail(&st, line, "second @title in the header");
                    out->title = value;
                    titleLine = line;
                }
            } else if (name == "@codepage" && !topic) {
                long cp = 0;
                if (!ParseNumber(value, 0, 99999, &cp) || (cp != 1252 && cp != 932))
                    return Fail(&st, line, "bad number for @codepage: '" + value + "' (1252 or 932)");
                if (codePageLine) return Fail(&st, line, "second @codepage");
                out->codePage = st.codePage = int(cp);
                codePageLine = line;
            } else if (name == "@contents" && !topic) {
                if (!IsValidId(value)) return Fail(&st, line, "bad topic id '" + value + "'");
                if (out->contentsLine) return Fail(&st, line, "second @contents");
                out->contents = value;
                out->contentsLine = line;
            } else if (name == "@context" && topic) {
                long number = 0;
                if (!ParseNumber(value, 1, 2147483647L, &number))
                    return Fail(&st, line, "bad number for @context: '" + value + "' (1..2147483647)");
                if (topic->context) return Fail(&st, line, "second @context in topic '" + topic->id + "'");
                auto found = contextLines.find(number);
                if (found != contextLines.end())
                    return Fail(&st, line, "duplicate context number " + value + " (first at line " +
                                               std::to_string(found->second) + ")");
                contextLines[number] = line;
                topic->context = number;
            } else if (name == "@keywords" && topic) {
                size_t from = 0;
                while (from <= value.size()) {
                    size_t semi = value.find(';', from);
                    if (semi == std::string::npos) semi = value.size();
                    const std::string keyword = Trim(value.substr(from, semi - from));
                    if (!keyword.empty()) topic->keywords.push_back(keyword);
                    from = semi + 1;
                }
            } else {
                return Fail(&st, line, "unknown directive " + name + (topic ? " in a topic" : " in the header"));
            }
            continue;
        }
        if (!topic) {
            if (!Trim(raw).empty()) return Fail(&st, line, "text before the first @topic");
            continue;
        }
        if (raw.empty()) {
            paragraphOpen = false;
            continue;
        }
        const bool heading = raw.compare(0, 2, "! ") == 0;
        const bool item = raw.compare(0, 2, "- ") == 0;
        if (heading || item || !paragraphOpen) {
            topic->paragraphs.emplace_back();
            topic->paragraphs.back().kind = heading ? kParaHeading : item ? kParaListItem : kParaNormal;
            paragraphOpen = !heading;
        } else {
            AddText(&topic->paragraphs.back().spans, " ", line);
        }
        const std::string body = Trim(heading || item ? raw.substr(2) : raw);
        if (!ParseInline(&st, body, line, &topic->paragraphs.back().spans)) return 0;
    }
    if (topic && !topicTitled) return Fail(&st, topic->line, "topic '" + topic->id + "' has no @title");
    if (!titleLine) return Fail(&st, 1, "missing @title in the header");
    if (out->topics.empty()) return Fail(&st, 1, "no @topic");
    if (!out->contentsLine) return Fail(&st, 1, "missing @contents");
    if (!idLines.count(out->contents))
        return Fail(&st, out->contentsLine, "@contents names unknown topic '" + out->contents + "'");
    for (const HelpTopic& t : out->topics)
        for (const HelpParagraph& p : t.paragraphs)
            for (const HelpSpan& s : p.spans)
                if (s.kind == kSpanJump && !idLines.count(s.target))
                    return Fail(&st, s.line, "jump to unknown topic '" + s.target + "'");
    return 1;
}
