// Texts in the system's ANSI code page. Under a double-byte code page
// (Shift-JIS under Japanese Windows) a lead byte starts a two-byte character
// whose second byte may look like a letter, a backslash or a dot, so paths
// and typed texts are walked by characters, never byte by byte. The Win32
// layer fills the lead bytes from the system; the core takes them as data.
#pragma once

#include <cstddef>
#include <cstdint>

struct AnsiCodePage {
    uint8_t isLead[256];    // 1 where the byte starts a double-byte character
    bool doubleByte;        // any lead byte at all
};

// A code page of single-byte characters only (the default of the core).
const AnsiCodePage& SingleByteCodePage();
// Code page 932: lead bytes 0x81 to 0x9F and 0xE0 to 0xFC.
const AnsiCodePage& ShiftJisCodePage();
// Marks the lead bytes; the doubleByte flag follows them.
void SetLeadBytes(AnsiCodePage* page, const uint8_t lead[256]);

inline bool IsLeadByte(const AnsiCodePage& page, char c) { return page.isLead[uint8_t(c)] != 0; }

// Bytes of the character at text: 2 for a lead byte with a second byte,
// else 1 (a lead byte right before the terminator stands alone).
inline size_t CharLength(const AnsiCodePage& page, const char* text) {
    return IsLeadByte(page, text[0]) && text[1] != '\0' ? 2 : 1;
}

// The longest prefix of text, at most maxBytes long, that ends on a
// character boundary.
size_t WholeCharsPrefix(const AnsiCodePage& page, const char* text, size_t maxBytes);

// Letters a to z that stand as single-byte characters become A to Z;
// double-byte characters stay exactly as they are.
void UpperCaseAsciiLetters(const AnsiCodePage& page, char* text);
