#include "dialogs/find.h"

#include <cstring>

#include "logfile/log_format.h"

namespace {

struct FoldTable {
    uint8_t map[256];
    FoldTable() {
        for (int i = 0; i < 256; ++i) map[i] = uint8_t(i >= 'A' && i <= 'Z' ? i + ('a' - 'A') : i);
    }
};
const FoldTable kFold;

}  // namespace

FindCriteria DefaultFindCriteria() {
    FindCriteria c = {};
    c.informationType = kTypeInformation;
    c.warningType = kTypeWarning;
    c.errorType = kTypeError;
    c.direction = kFindDown;
    return c;
}

void PreparePattern(const char* text, const AnsiCodePage& page, FindPattern* p) {
    const uint32_t n = uint32_t(WholeCharsPrefix(page, text, kFindTextSize - 1));
    for (uint32_t i = 0; i < n; i += uint32_t(CharLength(page, text + i))) {
        const bool pair = CharLength(page, text + i) == 2;
        p->folded[i] = kFold.map[uint8_t(text[i])];
        p->secondByte[i] = 0;
        if (pair) {
            p->folded[i + 1] = kFold.map[uint8_t(text[i + 1])];
            p->secondByte[i + 1] = 1;
        }
    }
    memcpy(p->exact, text, n);
    p->length = n;
    p->page = &page;
    // Horspool: how far the window may move when its last byte is b.
    for (uint32_t b = 0; b < 256; ++b) p->skip[b] = n ? n : 1;
    for (uint32_t i = 0; i + 1 < n; ++i) {
        uint8_t f = p->folded[i];
        p->skip[f] = n - 1 - i;
        // Both cases of a letter share the skip distance.
        if (f >= 'a' && f <= 'z') p->skip[f - ('a' - 'A')] = n - 1 - i;
    }
}

namespace {

// The folded scan found the text at pos; under a double-byte code page it
// counts only when pos starts a character of the description (charStart walks
// there, never back, so a whole description costs one pass) and the second
// bytes of the text's double-byte characters are equal exactly: 0x83 0x41
// and 0x83 0x61 are two different characters, not one letter in two cases.
bool DoubleByteMatch(const uint8_t* d, uint32_t pos, const FindPattern& p, uint32_t* charStart) {
    const AnsiCodePage& page = *p.page;
    while (*charStart < pos) *charStart += page.isLead[d[*charStart]] ? 2 : 1;
    if (*charStart != pos) return false;
    for (uint32_t i = 0; i < p.length; ++i) {
        if (p.secondByte[i] && d[pos + i] != p.exact[i]) return false;
    }
    return true;
}

}  // namespace

bool DescriptionContains(const uint8_t* d, uint32_t length, const FindPattern& p) {
    const uint32_t n = p.length;
    if (n == 0) return true;
    if (n > length) return false;
    const uint8_t* fold = kFold.map;
    const uint8_t last = p.folded[n - 1];
    const bool doubleByte = p.page->doubleByte;
    uint32_t charStart = 0;
    uint32_t pos = 0;
    const uint32_t end = length - n;   // the last start position with p + L <= D
    while (pos <= end) {
        uint8_t b = d[pos + n - 1];
        if (fold[b] == last) {
            uint32_t i = 0;
            while (i + 1 < n && fold[d[pos + i]] == p.folded[i]) ++i;
            // The text ends at its first zero byte: bytes a writer left after
            // it are not part of the description the user sees.
            if (i + 1 == n && (!doubleByte || DoubleByteMatch(d, pos, p, &charStart))) {
                return memchr(d, 0, pos) == nullptr;
            }
        }
        pos += p.skip[b];
    }
    return false;
}

bool RowMatches(const EventEntry& e, const FindCriteria& c, const FindPattern& p) {
    if (e.type != c.informationType && e.type != c.warningType && e.type != c.errorType) return false;
    if (c.moduleIndex != 0 && e.module != c.moduleIndex - 1) return false;
    if (c.componentIndex != 0 && e.component != c.componentIndex) return false;
    if (p.length == 0) return true;
    const uint8_t* r = e.record;
    return DescriptionContains(RecordDescription(r), RecordDescriptionLength(r), p);
}

int32_t ScanRows(EventEntry* const* rows, uint32_t count, int64_t start, uint16_t direction,
                 const FindCriteria& c, const FindPattern& p) {
    if (direction == kFindUp) {
        if (start >= int64_t(count)) start = int64_t(count) - 1;
        for (int64_t i = start; i >= 0; --i) {
            if (RowMatches(*rows[i], c, p)) return int32_t(i);
        }
    } else {
        if (start < 0) start = 0;
        for (int64_t i = start; i < int64_t(count); ++i) {
            if (RowMatches(*rows[i], c, p)) return int32_t(i);
        }
    }
    return -1;
}

int32_t FindNextRow(EventEntry* const* rows, uint32_t count, int32_t current, const FindCriteria& c,
                    const AnsiCodePage& page, const FindPrompts& prompts) {
    FindPattern pattern;
    PreparePattern(c.descriptionText, page, &pattern);
    const bool up = c.direction == kFindUp;
    int64_t start = up ? int64_t(current) - 1 : int64_t(current) + 1;
    int32_t hit = ScanRows(rows, count, start, c.direction, c, pattern);
    if (hit >= 0) return hit;
    if (!prompts.askWrap(prompts.context, up ? kMsgAskWrapFromEnd : kMsgAskWrapFromTop)) return -1;
    // The second pass covers the whole list, the starting row included.
    hit = ScanRows(rows, count, up ? int64_t(count) - 1 : 0, c.direction, c, pattern);
    if (hit >= 0) return hit;
    prompts.showFailure(prompts.context, up ? kMsgSearchTopReached : kMsgSearchEndReached);
    return -1;
}
