#include "app/ansi_text.h"

namespace {

AnsiCodePage MakeShiftJis() {
    uint8_t lead[256] = {};
    for (int b = 0x81; b <= 0x9F; ++b) lead[b] = 1;
    for (int b = 0xE0; b <= 0xFC; ++b) lead[b] = 1;
    AnsiCodePage page;
    SetLeadBytes(&page, lead);
    return page;
}

}  // namespace

const AnsiCodePage& SingleByteCodePage() {
    static const AnsiCodePage page = {};
    return page;
}

const AnsiCodePage& ShiftJisCodePage() {
    static const AnsiCodePage page = MakeShiftJis();
    return page;
}

void SetLeadBytes(AnsiCodePage* page, const uint8_t lead[256]) {
    page->doubleByte = false;
    for (int b = 0; b < 256; ++b) {
        page->isLead[b] = lead[b] ? 1 : 0;
        if (lead[b]) page->doubleByte = true;
    }
}

size_t WholeCharsPrefix(const AnsiCodePage& page, const char* text, size_t maxBytes) {
    size_t n = 0;
    while (text[n] != '\0') {
        const size_t step = CharLength(page, text + n);
        if (n + step > maxBytes) break;
        n += step;
    }
    return n;
}

void UpperCaseAsciiLetters(const AnsiCodePage& page, char* text) {
    while (*text != '\0') {
        if (*text >= 'a' && *text <= 'z') *text = char(*text - 'a' + 'A');
        text += CharLength(page, text);
    }
}
