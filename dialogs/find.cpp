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

void PreparePattern(const char* text, FindPattern* p) {
    uint32_t n = 0;
    while (n < kFindTextSize - 1 && text[n] != '\0') {
        p->folded[n] = kFold.map[uint8_t(text[n])];
        ++n;
    }
    p->length = n;
    // Horspool: how far the window may move when its last byte is b.
    for (uint32_t b = 0; b < 256; ++b) p->skip[b] = n ? n : 1;
    for (uint32_t i = 0; i + 1 < n; ++i) {
        uint8_t f = p->folded[i];
        p->skip[f] = n - 1 - i;
        // Both cases of a letter share the skip distance.
        if (f >= 'a' && f <= 'z') p->skip[f - ('a' - 'A')] = n - 1 - i;
    }
}

bool DescriptionContains(const uint8_t* d, uint32_t length, const FindPattern& p) {
    const uint32_t n = p.length;
    if (n == 0) return true;
    if (n > length) return false;
    const uint8_t* fold = kFold.map;
    const uint8_t last = p.folded[n - 1];
    uint32_t pos = 0;
    const uint32_t end = length - n;   // the last start position with p + L <= D
    while (pos <= end) {
        uint8_t b = d[pos + n - 1];
        if (fold[b] == last) {
            uint32_t i = 0;
            while (i + 1 < n && fold[d[pos + i]] == p.folded[i]) ++i;
            // The text ends at its first zero byte: bytes a writer left after
            // it are not part of the description the user sees.
            if (i + 1 == n) return memchr(d, 0, pos) == nullptr;
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
                    const FindPrompts& prompts) {
    FindPattern pattern;
    PreparePattern(c.descriptionText, &pattern);
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
