// Writes the parsed help source as a 3.1 help file.
//
// Layout: the 16-byte header, the internal files |SYSTEM, |TOPIC, |FONT,
// |CONTEXT, |CTXOMAP, |TTLBTREE, |KWBTREE, |KWDATA, |KWMAP (each behind its
// 9-byte FILEHEADER), then the internal directory (a B+ tree of 1 KiB pages).
//
// |TOPIC is a row of 4 KiB blocks: a 12-byte TOPICBLOCKHEADER and LZ77 data
// that holds literals only (a zero flag byte before each 8 bytes). Coding the
// blocks gives every block the same 16 KiB position space, so a TOPICPOS is
// 12 + block * 0x4000 + offset for every reader; no TOPICLINK crosses a block.
// A topic is a topic header record and one text record per paragraph; its
// TOPICOFFSET is block * 0x8000 + the characters of the text records before
// its header in that block.
#include <algorithm>
#include <map>

#include "tools/helpc/help_compiler.h"
#include "tools/helpc/help_format.h"

namespace {

const uint32_t kBlockCapacity = 3630;  // 3630 bytes + 454 flag bytes fill 4084

enum FontIndex { kFontNormal = 0, kFontBoldText = 1, kFontTitle = 2 };

struct TopicLink {
    uint8_t type = 0;
    std::vector<uint8_t> data1, data2;  // LinkData1 (after the 21 bytes), LinkData2
    uint32_t pos = 0, chars = 0, size = 0;
    uint32_t block = 0;
    size_t topic = 0;
};

struct TopicPlace {
    size_t header = 0, firstText = 0, lastLink = 0;
    uint32_t offset = 0;
};

// Compressed numbers of LinkData1.
void PutCompressedUShort(std::vector<uint8_t>* b, uint32_t v) {
    if (v < 0x80) b->push_back(uint8_t(v * 2));
    else Put16(b, v * 2 + 1);
}
void PutCompressedShort(std::vector<uint8_t>* b, int v) {
    if (v >= -64 && v < 64) b->push_back(uint8_t((v + 64) * 2));
    else Put16(b, uint32_t((v + 16384) * 2 + 1));
}
void PutCompressedLong(std::vector<uint8_t>* b, long v) {
    if (v >= -16384 && v < 16384) Put16(b, uint32_t((v + 16384) * 2));
    else Put32(b, uint32_t((v + 0x40000000L) * 2 + 1));
}

void PutString(std::vector<uint8_t>* b, const std::string& s) {
    b->insert(b->end(), s.begin(), s.end());
    b->push_back(0);
}

// One paragraph as a text record: paragraph info, then the commands in
// LinkData1 and the NUL-ended strings in LinkData2, one string before each command.
TopicLink TextRecord(int font, int kind, const std::string& prefix, const std::vector<HelpSpan>& spans) {
    std::vector<uint8_t> commands, text;
    uint32_t chars = 0;
    std::string current = prefix;
    auto endString = [&](std::vector<uint8_t> command) {
        PutString(&text, current);
        chars += uint32_t(current.size());
        current.clear();
        commands.insert(commands.end(), command.begin(), command.end());
    };
    text.push_back(0);  // the empty string before the font
    commands.push_back(kCmdFont);
    Put16(&commands, uint32_t(font));
    for (const HelpSpan& s : spans) {
        if (s.kind == kSpanText) {
            current += s.text;
            continue;
        }
        std::vector<uint8_t> jump = {kCmdJump};
        Put32(&jump, uint32_t(HelpContextHash(s.target)));
        endString(jump);
        current = s.text;
        endString({kCmdHotspotEnd});
    }
    endString({kCmdParagraphEnd});
    ++chars;  // the paragraph end counts as a character
    endString({kCmdEnd});

    TopicLink link;
    link.type = kRecordText;
    link.chars = chars;
    PutCompressedLong(&link.data1, long(text.size()));
    PutCompressedUShort(&link.data1, chars);
    link.data1.push_back(0x00);  // unknown byte
    link.data1.push_back(0x80);  // unknown biased byte, 0
    Put16(&link.data1, 0);       // id
    if (kind == kParaListItem) {
        Put16(&link.data1, kParSpaceAbove | kParLeftIndent);
        PutCompressedShort(&link.data1, 4);
        PutCompressedShort(&link.data1, 36);
    } else if (kind == -1) {  // the topic's title line
        Put16(&link.data1, kParSpaceBelow);
        PutCompressedShort(&link.data1, 8);
    } else {
        Put16(&link.data1, kParSpaceAbove);
        PutCompressedShort(&link.data1, kind == kParaHeading ? 16 : 10);
    }
    link.data1.insert(link.data1.end(), commands.begin(), commands.end());
    link.data2 = text;
    return link;
}

struct BTreeEntry {
    std::vector<uint8_t> leaf, key;
};

// A B+ tree: the BTREEHEADER and its pages. *leafFirst gets the index of the
// first entry of each leaf page.
std::vector<uint8_t> BuildBTree(uint16_t pageSize, uint16_t flags, const char* structure,
                                const std::vector<BTreeEntry>& entries, std::vector<uint32_t>* leafFirst) {
    std::vector<std::vector<uint8_t>> pages;
    std::vector<std::vector<uint8_t>> firstKeys;
    std::vector<uint32_t> firsts;
    std::vector<uint8_t> page;
    int16_t count = 0;
    auto closeLeaf = [&]() {
        std::vector<uint8_t> p;
        Put16(&p, uint32_t(pageSize - 8 - page.size()));
        Put16(&p, uint16_t(count));
        Put16(&p, pages.empty() ? 0xFFFF : uint32_t(pages.size() - 1));
        Put16(&p, 0xFFFF);  // set when the next leaf comes
        p.insert(p.end(), page.begin(), page.end());
        p.resize(pageSize, 0);
        if (!pages.empty()) {
            std::vector<uint8_t>& prev = pages.back();
            prev[6] = uint8_t(pages.size());
            prev[7] = uint8_t(pages.size() >> 8);
        }
        pages.push_back(p);
        page.clear();
        count = 0;
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        if (count > 0 && 8 + page.size() + entries[i].leaf.size() > pageSize) closeLeaf();
        if (count == 0) {
            firsts.push_back(uint32_t(i));
            firstKeys.push_back(entries[i].key);
        }
        page.insert(page.end(), entries[i].leaf.begin(), entries[i].leaf.end());
        ++count;
    }
    if (entries.empty()) {  // one empty leaf
        firsts.push_back(0);
        firstKeys.emplace_back();
    }
    if (count > 0 || pages.empty()) closeLeaf();
    if (leafFirst) *leafFirst = firsts;

    // Index levels over the pages of the level below, until one page remains.
    std::vector<uint16_t> level;
    for (size_t i = 0; i < pages.size(); ++i) level.push_back(uint16_t(i));
    uint16_t levels = 1;
    while (level.size() > 1) {
        std::vector<uint16_t> upper;
        std::vector<std::vector<uint8_t>> upperKeys;
        size_t i = 0;
        while (i < level.size()) {
            std::vector<uint8_t> body;
            const uint16_t first = level[i];
            upperKeys.push_back(firstKeys[i]);
            int16_t n = 0;
            for (++i; i < level.size() && 6 + body.size() + firstKeys[i].size() + 2 <= pageSize; ++i, ++n) {
                body.insert(body.end(), firstKeys[i].begin(), firstKeys[i].end());
                Put16(&body, level[i]);
            }
            std::vector<uint8_t> p;
            Put16(&p, uint32_t(pageSize - 6 - body.size()));
            Put16(&p, uint16_t(n));
            Put16(&p, first);
            p.insert(p.end(), body.begin(), body.end());
            p.resize(pageSize, 0);
            upper.push_back(uint16_t(pages.size()));
            pages.push_back(p);
        }
        level = upper;
        firstKeys = upperKeys;
        ++levels;
    }

    std::vector<uint8_t> out;
    Put16(&out, kBTreeMagic);
    Put16(&out, flags);
    Put16(&out, pageSize);
    char s[16] = {0};
    for (int i = 0; i < 15 && structure[i]; ++i) s[i] = structure[i];
    out.insert(out.end(), s, s + 16);
    Put16(&out, 0);                     // must be zero
    Put16(&out, 0);                     // page splits
    Put16(&out, level[0]);              // root page
    Put16(&out, 0xFFFF);                // must be -1
    Put16(&out, uint32_t(pages.size()));  // total pages
    Put16(&out, levels);
    Put32(&out, uint32_t(entries.size()));
    for (const std::vector<uint8_t>& p : pages) out.insert(out.end(), p.begin(), p.end());
    return out;
}

int Fail(const std::string& fileName, int line, const std::string& message, std::string* error) {
    *error = fileName + ":" + std::to_string(line) + ": " + message;
    return 0;
}

// The LZ77 coding of a block's data as literals only.
void PutLiterals(std::vector<uint8_t>* out, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); i += 8) {
        out->push_back(0);
        out->insert(out->end(), data.begin() + long(i), data.begin() + long(std::min(data.size(), i + 8)));
    }
}

std::vector<uint8_t> TopicFile(std::vector<TopicLink>* links, const std::vector<TopicPlace>& places) {
    // Pass 2: the positions known, fill in the links' headers and topic headers.
    for (size_t t = 0; t < places.size(); ++t) {
        const TopicPlace& p = places[t];
        uint32_t topicSize = 0;
        for (size_t i = p.header; i <= p.lastLink; ++i) topicSize += (*links)[i].size;
        std::vector<uint8_t>& d = (*links)[p.header].data1;
        d.clear();
        Put32(&d, topicSize);
        Put32(&d, t > 0 ? places[t - 1].offset : kNone);                  // browse back
        Put32(&d, t + 1 < places.size() ? places[t + 1].offset : kNone);  // browse forward
        Put32(&d, uint32_t(t));                                           // topic number
        Put32(&d, kNone);                                                 // no non-scrolling region
        Put32(&d, p.firstText > p.header ? (*links)[p.firstText].pos : kNone);
        Put32(&d, t + 1 < places.size() ? (*links)[places[t + 1].header].pos : kNone);
    }
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<uint32_t> lastInBlock, firstInBlock, headerBefore;
    uint32_t lastHeader = kNone;
    for (size_t i = 0; i < links->size(); ++i) {
        TopicLink& l = (*links)[i];
        if (l.block >= blocks.size()) {
            blocks.emplace_back();
            firstInBlock.push_back(l.pos);
            lastInBlock.push_back(l.pos);
            headerBefore.push_back(lastHeader);
        }
        std::vector<uint8_t>& b = blocks[l.block];
        Put32(&b, l.size);
        Put32(&b, uint32_t(l.data2.size()));
        Put32(&b, i > 0 ? (*links)[i - 1].pos : kNone);
        Put32(&b, i + 1 < links->size() ? (*links)[i + 1].pos : kNone);
        Put32(&b, uint32_t(kTopicLinkHeader + l.data1.size()));
        b.push_back(l.type);
        b.insert(b.end(), l.data1.begin(), l.data1.end());
        b.insert(b.end(), l.data2.begin(), l.data2.end());
        lastInBlock[l.block] = l.pos;
        if (l.type == kRecordTopicHeader) lastHeader = l.pos;
    }
    std::vector<uint8_t> out;
    for (size_t k = 0; k < blocks.size(); ++k) {
        const size_t start = out.size();
        Put32(&out, k > 0 ? lastInBlock[k - 1] : kNone);
        Put32(&out, firstInBlock[k]);
        Put32(&out, headerBefore[k]);
        PutLiterals(&out, blocks[k]);
        out.resize(start + kTopicBlockSize, 0);
    }
    return out;
}

// Keywords compare without regard to ASCII case, then byte for byte.
bool KeywordLess(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = uint8_t(x - 32);
        if (y >= 'a' && y <= 'z') y = uint8_t(y - 32);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

void AddInternalFile(std::vector<uint8_t>* out, std::vector<std::pair<std::string, uint32_t>>* dir,
                     const std::string& name, const std::vector<uint8_t>& content) {
    dir->push_back({name, uint32_t(out->size())});
    Put32(out, uint32_t(content.size() + kFileHeaderSize));  // reserved space
    Put32(out, uint32_t(content.size()));                    // used space
    out->push_back(4);                                       // file flags
    out->insert(out->end(), content.begin(), content.end());
}

}  // namespace

int32_t HelpContextHash(const std::string& id) {
    uint32_t hash = 0;
    for (unsigned char c : id) {
        // The character table of the context hash, one value for each byte.
        int v;
        if (c == 0) v = 0;
        else if (c == 0x21 || c == 0x5B || c == 0xB4) v = 0x0B;
        else if (c == 0x2E || c == 0x5C) v = 0x0C;
        else if (c == 0x30) v = 0x0A;
        else if (c == 0x5D || c == 0x5F) v = 0x0D;
        else if (c == 0x5E) v = 0x0E;
        else if (c < 0x30) v = 0xD0 + c;
        else if (c < 0x5B) v = c - 0x30;
        else if (c < 0x80) v = c - 0x50;
        else v = c - 0x30;
        const int8_t s = static_cast<int8_t>(static_cast<uint8_t>(v));
        hash = hash * 43 + uint32_t(int32_t(s));
    }
    return static_cast<int32_t>(hash);
}

int WriteHelpFile(const HelpSource& source, const std::string& fileName, uint32_t genDate,
                  std::vector<uint8_t>* out, std::string* error) {
    out->clear();
    // Pass 1: the records and where each lands.
    std::vector<TopicLink> links;
    std::vector<TopicPlace> places(source.topics.size());
    std::map<std::string, size_t> topicIndex;
    for (size_t t = 0; t < source.topics.size(); ++t) {
        const HelpTopic& topic = source.topics[t];
        topicIndex[topic.id] = t;
        TopicLink header;
        header.type = kRecordTopicHeader;
        header.data1.resize(28);
        PutString(&header.data2, topic.title);
        header.topic = t;
        places[t].header = links.size();
        links.push_back(header);
        HelpSpan title;
        title.text = topic.title;
        links.push_back(TextRecord(kFontTitle, -1, "", {title}));
        places[t].firstText = links.size() - 1;
        for (const HelpParagraph& p : topic.paragraphs) {
            links.push_back(TextRecord(p.kind == kParaHeading ? kFontBoldText : kFontNormal, p.kind,
                                       p.kind == kParaListItem ? "- " : "", p.spans));
        }
        for (size_t i = places[t].firstText; i < links.size(); ++i) links[i].topic = t;
        places[t].lastLink = links.size() - 1;
    }
    uint32_t block = 0, used = 0, chars = 0;
    for (TopicLink& l : links) {
        l.size = uint32_t(kTopicLinkHeader + l.data1.size() + l.data2.size());
        if (l.size > kBlockCapacity) {
            const HelpTopic& topic = source.topics[l.topic];
            return Fail(fileName, topic.line, "a paragraph of topic '" + topic.id + "' is too long (" +
                                                  std::to_string(l.size) + " bytes, at most " +
                                                  std::to_string(kBlockCapacity) + ")", error);
        }
        if (used + l.size > kBlockCapacity) {
            ++block;
            used = chars = 0;
        }
        l.block = block;
        l.pos = kTopicBlockHeader + block * kTopicDecodedSize + used;
        if (l.type == kRecordTopicHeader) places[l.topic].offset = block * 0x8000 + chars;
        used += l.size;
        chars += l.chars;
    }

    std::map<int32_t, size_t> hashes;
    for (size_t t = 0; t < source.topics.size(); ++t) {
        const int32_t h = HelpContextHash(source.topics[t].id);
        auto found = hashes.find(h);
        if (h == 0 || found != hashes.end())
            return Fail(fileName, source.topics[t].line, "topic id '" + source.topics[t].id + "' has the hash of " +
                        (h == 0 ? std::string("no id") : "topic '" + source.topics[found->second].id + "'"), error);
        hashes[h] = t;
    }

    std::vector<std::pair<std::string, uint32_t>> dir;
    out->resize(16, 0);

    std::vector<uint8_t> system;
    Put16(&system, kSystemMagic);
    Put16(&system, kSystemMinor31);
    Put16(&system, 1);
    Put32(&system, genDate);
    Put16(&system, kSystemFlagsLz77);
    Put16(&system, kSysTitle);
    Put16(&system, uint32_t(source.title.size() + 1));
    PutString(&system, source.title);
    Put16(&system, kSysContents);
    Put16(&system, 4);
    Put32(&system, places[topicIndex[source.contents]].offset);
    // The main window, captioned with the title (a viewer asked for a context
    // number before it had a file open names its window by this record).
    std::vector<uint8_t> window(90, 0);
    window[0] = kWindowTypeValid | kWindowNameValid | kWindowCaptionValid;
    const std::string type = "primary", main = "main";
    std::copy(type.begin(), type.end(), window.begin() + 2);
    std::copy(main.begin(), main.end(), window.begin() + 12);
    size_t captionSize = 0;  // at most 50 bytes, whole characters
    while (captionSize < source.title.size()) {
        const unsigned char c = static_cast<unsigned char>(source.title[captionSize]);
        const size_t n = source.codePage == 932 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (captionSize + n > 50) break;
        captionSize += n;
    }
    std::copy(source.title.begin(), source.title.begin() + long(captionSize), window.begin() + 21);
    Put16(&system, kSysWindow);
    Put16(&system, uint32_t(window.size()));
    system.insert(system.end(), window.begin(), window.end());
    Put16(&system, kSysCharset);
    Put16(&system, 2);
    Put16(&system, source.codePage == 932 ? 128 : 0);  // SHIFTJIS_CHARSET or ANSI_CHARSET
    AddInternalFile(out, &dir, "|SYSTEM", system);

    AddInternalFile(out, &dir, "|TOPIC", TopicFile(&links, places));

    // Fonts: one face, normal and bold 10 pt, bold 12 pt for topic titles.
    const std::string face = source.codePage == 932 ? "MS UI Gothic" : "MS Sans Serif";
    const uint32_t faceSize = 32;
    std::vector<uint8_t> font;
    Put16(&font, 1);
    Put16(&font, 3);
    Put16(&font, 8);
    Put16(&font, 8 + faceSize);
    std::vector<uint8_t> name(face.begin(), face.end());
    name.resize(faceSize, 0);
    font.insert(font.end(), name.begin(), name.end());
    const uint8_t descriptors[3][2] = {{0, 20}, {kFontBold, 20}, {kFontBold, 24}};
    for (const auto& d : descriptors) {
        font.push_back(d[0]);  // attributes
        font.push_back(d[1]);  // half points
        font.push_back(3);     // swiss family
        Put16(&font, 0);       // face index
        for (int i = 0; i < 3; ++i) font.push_back(0);     // black text
        for (int i = 0; i < 3; ++i) font.push_back(0xFF);  // white background
    }
    AddInternalFile(out, &dir, "|FONT", font);

    std::vector<BTreeEntry> context;
    for (const auto& h : hashes) {  // ordered by signed hash
        BTreeEntry e;
        Put32(&e.key, uint32_t(h.first));
        e.leaf = e.key;
        Put32(&e.leaf, places[h.second].offset);
        context.push_back(e);
    }
    AddInternalFile(out, &dir, "|CONTEXT", BuildBTree(0x800, 0x0002, "L4", context, nullptr));

    std::map<long, size_t> contexts;
    for (size_t t = 0; t < source.topics.size(); ++t)
        if (source.topics[t].context) contexts[source.topics[t].context] = t;
    std::vector<uint8_t> ctxomap;
    Put16(&ctxomap, uint32_t(contexts.size()));
    for (const auto& c : contexts) {
        Put32(&ctxomap, uint32_t(c.first));
        Put32(&ctxomap, places[c.second].offset);
    }
    AddInternalFile(out, &dir, "|CTXOMAP", ctxomap);

    std::vector<BTreeEntry> titles;
    for (size_t t = 0; t < source.topics.size(); ++t) {  // offsets grow with t
        BTreeEntry e;
        Put32(&e.key, places[t].offset);
        e.leaf = e.key;
        PutString(&e.leaf, source.topics[t].title);
        titles.push_back(e);
    }
    AddInternalFile(out, &dir, "|TTLBTREE", BuildBTree(0x800, 0x0002, "Lz", titles, nullptr));

    std::vector<std::pair<std::string, std::vector<uint32_t>>> keywords;
    for (size_t t = 0; t < source.topics.size(); ++t) {
        for (const std::string& k : source.topics[t].keywords) {
            auto it = std::find_if(keywords.begin(), keywords.end(),
                                   [&](const std::pair<std::string, std::vector<uint32_t>>& e) { return e.first == k; });
            if (it == keywords.end()) {
                keywords.push_back({k, {}});
                it = keywords.end() - 1;
            }
            if (std::find(it->second.begin(), it->second.end(), places[t].offset) == it->second.end())
                it->second.push_back(places[t].offset);
        }
    }
    std::sort(keywords.begin(), keywords.end(),
              [](const std::pair<std::string, std::vector<uint32_t>>& a,
                 const std::pair<std::string, std::vector<uint32_t>>& b) { return KeywordLess(a.first, b.first); });
    std::vector<BTreeEntry> kwEntries;
    std::vector<uint8_t> kwdata;
    for (const auto& k : keywords) {
        BTreeEntry e;
        PutString(&e.key, k.first);
        e.leaf = e.key;
        Put16(&e.leaf, uint32_t(k.second.size()));
        Put32(&e.leaf, uint32_t(kwdata.size()));
        for (uint32_t offset : k.second) Put32(&kwdata, offset);
        kwEntries.push_back(e);
    }
    std::vector<uint32_t> leafFirst;
    AddInternalFile(out, &dir, "|KWBTREE", BuildBTree(0x800, 0x0002, "F24", kwEntries, &leafFirst));
    AddInternalFile(out, &dir, "|KWDATA", kwdata);
    std::vector<uint8_t> kwmap;
    for (size_t p = 0; p < leafFirst.size(); ++p) {
        Put32(&kwmap, leafFirst[p]);
        Put16(&kwmap, uint32_t(p));
    }
    AddInternalFile(out, &dir, "|KWMAP", kwmap);

    std::sort(dir.begin(), dir.end());
    std::vector<BTreeEntry> dirEntries;
    for (const auto& d : dir) {
        BTreeEntry e;
        PutString(&e.key, d.first);
        e.leaf = e.key;
        Put32(&e.leaf, d.second);
        dirEntries.push_back(e);
    }
    const std::vector<uint8_t> directory = BuildBTree(0x400, 0x0402, "z4", dirEntries, nullptr);
    const uint32_t directoryStart = uint32_t(out->size());
    std::vector<std::pair<std::string, uint32_t>> ignored;
    AddInternalFile(out, &ignored, "", directory);

    Set32(out, 0, kHelpMagic);
    Set32(out, 4, directoryStart);
    Set32(out, 8, kNone);  // no free list
    Set32(out, 12, uint32_t(out->size()));
    return 1;
}
