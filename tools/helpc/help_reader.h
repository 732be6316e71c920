// A reader of 3.1 help files: enough of the format to read back what the
// compiler writes (titles, topics and their paragraphs, jumps, the context
// hashes and numbers, the title index and the keywords).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct HelpReadJump {
    int32_t hash = 0;
    std::string text;
};

struct HelpReadParagraph {
    std::string text;  // plain text, jump texts included
    int bold = 0;      // set in a bold font
    int indented = 0;  // has a left indent
    std::vector<HelpReadJump> jumps;
};

struct HelpReadTopic {
    uint32_t offset = 0;  // TOPICOFFSET of the topic
    std::string title;
    uint32_t browseBack = 0, browseNext = 0;
    std::vector<HelpReadParagraph> paragraphs;
};

struct HelpFileImage {
    std::string title;
    std::string caption;  // of the main window's record
    int charset = 0;
    uint32_t contents = 0;
    std::vector<HelpReadTopic> topics;
    std::vector<std::pair<int32_t, uint32_t>> hashes;    // |CONTEXT: hash, topic offset
    std::vector<std::pair<uint32_t, uint32_t>> numbers;  // |CTXOMAP: context number, topic offset
    std::vector<std::pair<uint32_t, std::string>> titles;  // |TTLBTREE
    std::vector<std::pair<std::string, std::vector<uint32_t>>> keywords;  // |KWBTREE, |KWDATA
};

// 1 on success, else 0 with *error saying what is wrong with the bytes.
int ReadHelpFile(const std::vector<uint8_t>& bytes, HelpFileImage* out, std::string* error);

// The index of the topic at a topic offset (a hash's, a number's, a keyword's), or -1.
int HelpTopicAt(const HelpFileImage& image, uint32_t offset);
