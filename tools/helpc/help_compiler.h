// The help compiler: the help source text (help/*.txt) parsed into plain
// records, and those records written as a help file the system's help viewer
// opens (the 3.1 format: an internal file system of B+ trees, |SYSTEM, |TOPIC,
// |FONT, |CONTEXT, |CTXOMAP, |TTLBTREE and the keyword files).
//
// The source format (help/darvex_en.txt in code page 1252, help/darvex_ja.txt
// in Shift-JIS; lines end in LF or CR LF; "#" starts a comment line):
//   @title TEXT        the file's title, before the first topic
//   @codepage N        1252 or 932
//   @contents ID       the contents topic
//   @topic ID          starts a topic (letters, digits, '_' and '-'; unique)
//   @title TEXT        the topic's title, also its first, bold line
//   @context N         its context number for HELP_CONTEXT (unique)
//   @keywords A; B     keywords for the viewer's index
// then the body: non-empty lines make one paragraph, an empty line ends it;
// "! " starts a bold heading, "- " a list item; [[ID|text]] jumps to topic
// ID; "\[" and "\\" stand for '[' and '\'. Text is walked by characters of
// the code page, so a second byte never reads as '[', '|' or '\'.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum HelpSpanKind { kSpanText = 0, kSpanJump = 1 };
enum HelpParagraphKind { kParaNormal = 0, kParaHeading = 1, kParaListItem = 2 };

struct HelpSpan {
    int kind = kSpanText;
    std::string text;    // the bytes shown (in the file's code page)
    std::string target;  // kSpanJump: the id of the topic jumped to
    int line = 0;
};

struct HelpParagraph {
    int kind = kParaNormal;
    std::vector<HelpSpan> spans;
};

struct HelpTopic {
    std::string id, title;
    long context = 0;  // 0: none
    std::vector<std::string> keywords;
    std::vector<HelpParagraph> paragraphs;
    int line = 0;
};

struct HelpSource {
    std::string title, contents;
    int codePage = 1252;
    int contentsLine = 0;
    std::vector<HelpTopic> topics;
};

// Parses the source text; 1 on success, else 0 with *error "FILE:LINE: message".
int ParseHelpSource(const std::string& text, const std::string& fileName, HelpSource* out,
                    std::string* error);

// The hash a context string is known by in |CONTEXT and in jumps.
int32_t HelpContextHash(const std::string& id);

// Writes the help file's bytes; genDate is the creation time stored in |SYSTEM
// (0 for none). 1 on success, else 0 with *error "FILE:LINE: message" (fileName
// names the source) when the topics cannot be laid out or two ids share a hash.
int WriteHelpFile(const HelpSource& source, const std::string& fileName, uint32_t genDate,
                  std::vector<uint8_t>* out, std::string* error);
