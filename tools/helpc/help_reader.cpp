// Reads a 3.1 help file back into plain records.
#include "tools/helpc/help_reader.h"

#include <map>

#include "tools/helpc/help_format.h"

namespace {

struct Reader {
    const std::vector<uint8_t>* bytes;
    std::map<std::string, std::vector<uint8_t>> files;  // internal files, without FILEHEADER
    std::string* error;
};

int Fail(Reader* r, const std::string& message) {
    *r->error = message;
    return 0;
}

std::string CString(const std::vector<uint8_t>& b, size_t at) {
    std::string s;
    while (at < b.size() && b[at]) s += char(b[at++]);
    return s;
}

// Calls entry(content, at) for every leaf entry of the B+ tree in content, in
// order; entry returns the entry's size (0: stop, bad data).
template <typename Entry>
int WalkBTree(Reader* r, const std::vector<uint8_t>& t, const char* name, Entry entry) {
    if (t.size() < kBTreeHeaderSize || Get16(t, 0) != kBTreeMagic) return Fail(r, std::string(name) + ": not a B+ tree");
    const uint32_t pageSize = Get16(t, 4), totalPages = Get16(t, 30);
    uint32_t page = Get16(t, 26);
    if (pageSize < 16 || kBTreeHeaderSize + size_t(totalPages) * pageSize > t.size())
        return Fail(r, std::string(name) + ": pages beyond the file");
    for (uint32_t level = Get16(t, 32); level > 1; --level) {
        if (page >= totalPages) return Fail(r, std::string(name) + ": bad index page");
        page = Get16(t, kBTreeHeaderSize + page * pageSize + 4);
    }
    for (uint32_t visited = 0; page != 0xFFFF; ++visited) {
        if (page >= totalPages || visited >= totalPages) return Fail(r, std::string(name) + ": bad leaf chain");
        const size_t base = kBTreeHeaderSize + size_t(page) * pageSize;
        size_t at = base + 8;
        for (int n = int16_t(Get16(t, base + 2)); n > 0; --n) {
            const size_t size = entry(t, at);
            if (size == 0 || at + size > base + pageSize) return Fail(r, std::string(name) + ": bad leaf entry");
            at += size;
        }
        page = Get16(t, base + 6);
    }
    return 1;
}

// The compressed numbers of LinkData1.
uint32_t FetchUShort(const std::vector<uint8_t>& b, size_t* at) {
    if (*at < b.size() && (b[*at] & 1)) return *at += 2, Get16(b, *at - 2) / 2;
    return *at += 1, *at <= b.size() ? b[*at - 1] / 2u : 0;
}
int FetchShort(const std::vector<uint8_t>& b, size_t* at) {
    if (*at < b.size() && (b[*at] & 1)) return *at += 2, (int(Get16(b, *at - 2)) - 0x8000) / 2;
    return *at += 1, *at <= b.size() ? (int(b[*at - 1]) - 0x80) / 2 : 0;
}
long FetchLong(const std::vector<uint8_t>& b, size_t* at) {
    if (*at < b.size() && (b[*at] & 1)) return *at += 4, (long(Get32(b, *at - 4)) - 0x80000000L) / 2;
    return *at += 2, (long(Get16(b, *at - 2)) - 0x8000) / 2;
}

std::vector<uint8_t> DecodeLz77(const std::vector<uint8_t>& in, size_t from, size_t to) {
    std::vector<uint8_t> out;
    size_t i = from;
    while (i < to) {
        const uint8_t mask = in[i++];
        for (int bit = 0; bit < 8 && i < to; ++bit) {
            if (mask & (1 << bit)) {
                if (i + 2 > to) return out;
                const uint32_t code = Get16(in, i);
                i += 2;
                const size_t distance = (code & 0xFFF) + 1;
                for (uint32_t n = 3 + (code >> 12); n > 0; --n)
                    out.push_back(out.size() >= distance ? out[out.size() - distance] : 0);
            } else {
                out.push_back(in[i++]);
            }
        }
    }
    return out;
}

// One text record: its paragraphs, bold where set in a bold font.
int ReadText(Reader* r, const std::vector<uint8_t>& d1, const std::vector<uint8_t>& d2,
             const std::vector<int>& boldFonts, HelpReadTopic* topic, uint32_t* chars) {
    size_t at = 0;
    FetchLong(d1, &at);
    *chars = FetchUShort(d1, &at);
    at += 4;
    const uint32_t bits = Get16(d1, at);
    at += 2;
    if (bits & 0x0001) FetchLong(d1, &at);
    for (uint32_t bit = 0x0002; bit <= 0x0040; bit <<= 1)
        if (bits & bit) FetchShort(d1, &at);
    if (bits & 0x0100) at += 3;
    if (bits & 0x0200)
        for (int n = FetchShort(d1, &at); n > 0; --n)
            if (FetchUShort(d1, &at) & 0x4000) FetchUShort(d1, &at);
    HelpReadParagraph p;
    p.indented = (bits & kParLeftIndent) != 0;
    int bold = 0, inJump = 0;
    size_t text = 0;
    while (true) {
        const std::string s = CString(d2, text);
        text += s.size() + 1;
        if (!s.empty() && p.text.empty()) p.bold = bold;
        p.text += s;
        if (inJump) p.jumps.back().text += s;
        if (at >= d1.size() || text > d2.size() + 1) return Fail(r, "|TOPIC: text record without its end");
        const uint8_t command = d1[at++];
        if (command == kCmdEnd) break;
        switch (command) {
        case kCmdFont: {
            const uint32_t font = Get16(d1, at);
            at += 2;
            bold = font < boldFonts.size() && boldFonts[font];
            break;
        }
        case kCmdLineBreak: p.text += '\n'; break;
        case kCmdTab: p.text += '\t'; break;
        case kCmdParagraphEnd:
            topic->paragraphs.push_back(p);
            p = HelpReadParagraph();
            p.indented = (bits & kParLeftIndent) != 0;
            break;
        case 0xE2: case kCmdJump: case 0xE6: case kCmdJumpPlain: {
            HelpReadJump jump;
            jump.hash = int32_t(Get32(d1, at));
            at += 4;
            p.jumps.push_back(jump);
            inJump = 1;
            break;
        }
        case kCmdHotspotEnd: inJump = 0; break;
        default: return Fail(r, "|TOPIC: unsupported formatting command " + std::to_string(command));
        }
    }
    if (!p.text.empty()) topic->paragraphs.push_back(p);
    return 1;
}

int ReadTopics(Reader* r, const std::vector<uint8_t>& topicFile, int compressed, const std::vector<int>& boldFonts,
               HelpFileImage* out) {
    std::vector<std::vector<uint8_t>> blocks;
    for (size_t b = 0; b < topicFile.size(); b += kTopicBlockSize) {
        const size_t end = std::min(topicFile.size(), b + kTopicBlockSize);
        if (b + kTopicBlockHeader > end) break;
        if (compressed) blocks.push_back(DecodeLz77(topicFile, b + kTopicBlockHeader, end));
        else blocks.emplace_back(topicFile.begin() + long(b + kTopicBlockHeader), topicFile.begin() + long(end));
    }
    const uint32_t space = compressed ? kTopicDecodedSize : kTopicBlockSize - kTopicBlockHeader;
    uint32_t pos = kTopicBlockHeader, chars = 0, lastBlock = kNone;
    for (size_t guard = 0; pos != kNone && pos != 0; ++guard) {
        const uint32_t block = (pos - kTopicBlockHeader) / space, offset = (pos - kTopicBlockHeader) % space;
        if (block >= blocks.size() || guard > topicFile.size()) return Fail(r, "|TOPIC: link beyond the blocks");
        const std::vector<uint8_t>& b = blocks[block];
        if (offset + kTopicLinkHeader > b.size()) return Fail(r, "|TOPIC: link beyond its block");
        const uint32_t size = Get32(b, offset), len2 = Get32(b, offset + 4), len1 = Get32(b, offset + 16);
        if (len1 < kTopicLinkHeader || len1 > size || offset + size > b.size() || len2 > size - len1)
            return Fail(r, "|TOPIC: bad link sizes");
        if (block != lastBlock) chars = 0, lastBlock = block;
        const std::vector<uint8_t> d1(b.begin() + offset + kTopicLinkHeader, b.begin() + offset + len1);
        const std::vector<uint8_t> d2(b.begin() + offset + len1, b.begin() + offset + len1 + len2);
        const uint8_t type = b[offset + 20];
        if (type == kRecordTopicHeader) {
            HelpReadTopic t;
            t.offset = block * 0x8000 + chars;
            t.title = CString(d2, 0);
            t.browseBack = Get32(d1, 4);
            t.browseNext = Get32(d1, 8);
            out->topics.push_back(t);
        } else if (type == kRecordText) {
            if (out->topics.empty()) return Fail(r, "|TOPIC: text before the first topic");
            uint32_t n = 0;
            if (!ReadText(r, d1, d2, boldFonts, &out->topics.back(), &n)) return 0;
            chars += n;
        } else {
            return Fail(r, "|TOPIC: unsupported record type " + std::to_string(type));
        }
        pos = Get32(b, offset + 12);
    }
    return 1;
}

}  // namespace

int ReadHelpFile(const std::vector<uint8_t>& bytes, HelpFileImage* out, std::string* error) {
    Reader r{&bytes, {}, error};
    *out = HelpFileImage();
    if (bytes.size() < 16 || Get32(bytes, 0) != kHelpMagic) return Fail(&r, "not a help file");
    if (Get32(bytes, 12) != bytes.size()) return Fail(&r, "the file size in the header is wrong");
    const uint32_t dirStart = Get32(bytes, 4);
    const uint32_t dirUsed = Get32(bytes, dirStart + 4);
    if (dirStart + size_t(kFileHeaderSize) + dirUsed > bytes.size()) return Fail(&r, "directory beyond the file");
    const std::vector<uint8_t> dir(bytes.begin() + dirStart + kFileHeaderSize,
                                   bytes.begin() + dirStart + kFileHeaderSize + dirUsed);
    int bad = 0;
    if (!WalkBTree(&r, dir, "directory", [&](const std::vector<uint8_t>& t, size_t at) -> size_t {
            const std::string name = CString(t, at);
            const uint32_t start = Get32(t, at + name.size() + 1), used = Get32(bytes, start + 4);
            if (size_t(start) + kFileHeaderSize + used > bytes.size() || Get32(bytes, start) < used + kFileHeaderSize)
                return bad = 1, 0;
            r.files[name].assign(bytes.begin() + start + kFileHeaderSize,
                                 bytes.begin() + start + kFileHeaderSize + used);
            return name.size() + 5;
        }))
        return bad ? Fail(&r, "an internal file lies beyond the file") : 0;
    for (const char* name : {"|SYSTEM", "|TOPIC", "|FONT"})
        if (!r.files.count(name)) return Fail(&r, std::string("no internal file ") + name);

    const std::vector<uint8_t>& sys = r.files["|SYSTEM"];
    if (Get16(sys, 0) != kSystemMagic || Get16(sys, 2) <= 16 || Get16(sys, 4) != 1)
        return Fail(&r, "|SYSTEM: not a 3.1 help file");
    const uint16_t flags = Get16(sys, 10);
    if (flags != 0 && flags != kSystemFlagsLz77) return Fail(&r, "|SYSTEM: unsupported flags");
    for (size_t at = 12; at + 4 <= sys.size(); at += 4 + Get16(sys, at + 2)) {
        const uint16_t type = Get16(sys, at);
        if (type == kSysTitle) out->title = CString(sys, at + 4);
        if (type == kSysContents) out->contents = Get32(sys, at + 4);
        if (type == kSysCharset) out->charset = sys[at + 4];
        if (type == kSysWindow && (sys[at + 4] & kWindowCaptionValid)) out->caption = CString(sys, at + 4 + 21);
    }

    const std::vector<uint8_t>& font = r.files["|FONT"];
    std::vector<int> boldFonts;
    for (uint32_t i = 0, n = Get16(font, 2), at = Get16(font, 6); i < n && at + 11 * (i + 1) <= font.size(); ++i)
        boldFonts.push_back(font[at + 11 * i] & kFontBold);

    if (!ReadTopics(&r, r.files["|TOPIC"], flags == kSystemFlagsLz77, boldFonts, out)) return 0;

    if (r.files.count("|CONTEXT") &&
        !WalkBTree(&r, r.files["|CONTEXT"], "|CONTEXT", [&](const std::vector<uint8_t>& t, size_t at) -> size_t {
            out->hashes.push_back({int32_t(Get32(t, at)), Get32(t, at + 4)});
            return 8;
        }))
        return 0;
    if (r.files.count("|CTXOMAP")) {
        const std::vector<uint8_t>& m = r.files["|CTXOMAP"];
        for (uint32_t i = 0; i < Get16(m, 0) && 2 + 8 * (i + 1) <= m.size(); ++i)
            out->numbers.push_back({Get32(m, 2 + 8 * i), Get32(m, 6 + 8 * i)});
    }
    if (r.files.count("|TTLBTREE") &&
        !WalkBTree(&r, r.files["|TTLBTREE"], "|TTLBTREE", [&](const std::vector<uint8_t>& t, size_t at) -> size_t {
            out->titles.push_back({Get32(t, at), CString(t, at + 4)});
            return 4 + out->titles.back().second.size() + 1;
        }))
        return 0;
    if (r.files.count("|KWBTREE")) {
        const std::vector<uint8_t>& data = r.files["|KWDATA"];
        if (!WalkBTree(&r, r.files["|KWBTREE"], "|KWBTREE", [&](const std::vector<uint8_t>& t, size_t at) -> size_t {
                const std::string keyword = CString(t, at);
                const uint32_t count = Get16(t, at + keyword.size() + 1), from = Get32(t, at + keyword.size() + 3);
                std::vector<uint32_t> offsets;
                for (uint32_t i = 0; i < count; ++i) offsets.push_back(Get32(data, from + 4 * i));
                out->keywords.push_back({keyword, offsets});
                return keyword.size() + 7;
            }))
            return 0;
    }
    return 1;
}

int HelpTopicAt(const HelpFileImage& image, uint32_t offset) {
    for (size_t i = 0; i < image.topics.size(); ++i)
        if (image.topics[i].offset == offset) return int(i);
    return -1;
}
