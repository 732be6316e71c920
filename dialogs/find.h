// Finding the next event by type, component, module and description text.
// The search runs over the list's visible rows; the Win32 layer supplies the
// wrap question, the failure box and the selection.
#pragma once

#include <cstdint>

#include "app/ansi_text.h"
#include "logfile/event_table.h"

constexpr uint16_t kFindUp = 424;
constexpr uint16_t kFindDown = 425;
constexpr int kFindTextSize = 256;

constexpr int kMsgSearchEndReached = 221;
constexpr int kMsgSearchTopReached = 222;
constexpr int kMsgAskWrapFromTop = 254;
constexpr int kMsgAskWrapFromEnd = 255;

struct FindCriteria {
    uint16_t informationType;
    uint16_t warningType;
    uint16_t errorType;
    uint16_t componentIndex;
    uint16_t moduleIndex;
    uint16_t direction;
    char descriptionText[kFindTextSize];
};

// All types, any component and module, down, empty text.
FindCriteria DefaultFindCriteria();

// A text prepared once per search: its ASCII-folded bytes, a skip table, and
// under a double-byte code page which of its bytes must match exactly.
struct FindPattern {
    uint8_t folded[kFindTextSize];
    uint8_t exact[kFindTextSize];       // the text's bytes, for the double-byte check
    uint8_t secondByte[kFindTextSize];  // 1 where the byte ends a double-byte character
    uint32_t length;
    uint32_t skip[256];
    const AnsiCodePage* page;
};
// At most 255 bytes of text are taken, ending on a whole character.
void PreparePattern(const char* text, const AnsiCodePage& page, FindPattern* pattern);

// True when the pattern occurs in the first descriptionLength bytes: letters
// A to Z that stand as single-byte characters compare without case, every
// other byte exactly, and a match starts on a character of the description.
bool DescriptionContains(const uint8_t* description, uint32_t descriptionLength, const FindPattern& pattern);

bool RowMatches(const EventEntry& e, const FindCriteria& c, const FindPattern& pattern);

// The first matching row from start (inclusive) stepping by direction up to
// the end of the list, or -1. Works on the row array without window messages.
int32_t ScanRows(EventEntry* const* rows, uint32_t count, int64_t start, uint16_t direction,
                 const FindCriteria& c, const FindPattern& pattern);

// The questions a search may ask. askWrap returns non-zero for OK.
struct FindPrompts {
    void* context;
    int (*askWrap)(void* context, int messageId);
    void (*showFailure)(void* context, int messageId);
};

// The whole search from the current selection (-1 for none): first pass, the
// wrap question at the end of the list, second pass over the whole list, the
// failure message. Returns the row to select, or -1 (selection unchanged).
int32_t FindNextRow(EventEntry* const* rows, uint32_t count, int32_t current, const FindCriteria& c,
                    const AnsiCodePage& page, const FindPrompts& prompts);
