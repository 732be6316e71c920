// Constants and little-endian helpers shared by the help file's writer and reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

const uint32_t kHelpMagic = 0x00035F3F;
const uint16_t kBTreeMagic = 0x293B;
const uint16_t kSystemMagic = 0x036C;
const uint16_t kSystemMinor31 = 21;
const uint16_t kSystemFlagsLz77 = 4;     // |TOPIC blocks LZ77 coded, 4 KiB each
const uint32_t kTopicBlockSize = 0x1000;
const uint32_t kTopicBlockHeader = 12;   // TOPICBLOCKHEADER, not coded
const uint32_t kTopicDecodedSize = 0x4000;  // a coded block's position space
const uint32_t kTopicLinkHeader = 21;
const uint32_t kFileHeaderSize = 9;      // FILEHEADER of an internal file
const uint32_t kBTreeHeaderSize = 38;
const uint32_t kNone = 0xFFFFFFFF;

enum HelpRecordType { kRecordTopicHeader = 0x02, kRecordText = 0x20 };
enum HelpSystemRecord { kSysTitle = 1, kSysContents = 3, kSysWindow = 6, kSysCharset = 11 };
enum HelpWindowBits { kWindowTypeValid = 0x01, kWindowNameValid = 0x02, kWindowCaptionValid = 0x04 };
enum HelpFontBits { kFontBold = 0x01 };
enum HelpParagraphBits {
    kParSpaceAbove = 0x0002, kParSpaceBelow = 0x0004, kParLeftIndent = 0x0010
};
enum HelpCommand {
    kCmdFont = 0x80, kCmdLineBreak = 0x81, kCmdParagraphEnd = 0x82, kCmdTab = 0x83,
    kCmdHotspotEnd = 0x89, kCmdJump = 0xE3, kCmdJumpPlain = 0xE7, kCmdEnd = 0xFF
};

inline uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? uint16_t(b[at] | b[at + 1] << 8) : 0;
}
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? uint32_t(Get16(b, at)) | uint32_t(Get16(b, at + 2)) << 16 : 0;
}
inline void Put16(std::vector<uint8_t>* b, uint32_t v) {
    b->push_back(uint8_t(v));
    b->push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>* b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void Set32(std::vector<uint8_t>* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = uint8_t(v >> (8 * i));
}
