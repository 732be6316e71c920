#include "logfile/live_access.h"

bool LiveViewUsable(const uint8_t* view, uint64_t fileSize) {
    return view != nullptr && fileSize >= kHeaderSize && IsKnownMagic(view);
}

void WriteClearedChain(uint8_t* header) {
    PutU32(header + kOffsetRecordCount, 0);
    PutU32(header + kOffsetOldestOffset, 0);
    PutU32(header + kOffsetWriterOffset, 0);
}

void WriteMaxLogSize(uint8_t* header, uint32_t bytes) { PutU32(header + kOffsetMaxLogSize, bytes); }

void WriteStoredConditions(uint8_t* header, ViewerState* state) {
    if (state->saveSettings == 1) {
        state->conditions.sortOrder = uint16_t(state->sortOrder);
        WriteViewConditions(state->conditions, header + kConditionsOffset);
        PutU16(header + kOffsetConditionsSaved, 1);
    } else {
        PutU16(header + kOffsetConditionsSaved, 0);
    }
}
