#include "logfile/save_as.h"

namespace {

// Large enough that the calls cost nothing next to the disk, small enough
// that no single call asks the system for a gigabyte at once.
constexpr uint32_t kCopyChunk = 8u << 20;

uint32_t CopiedAreaSize(const ViewerState& state) {
    const LogHeader& h = state.file.currentHeader;
    if (h.recordCount == 0 || state.table.recordArea == nullptr) return 0;
    return state.table.recordAreaSize;
}

}  // namespace

uint64_t LogCopySize(const ViewerState& state) { return uint64_t(kHeaderSize) + CopiedAreaSize(state); }

int WriteLogCopy(const ViewerState& state, const CopySink& sink) {
    uint8_t header[kHeaderSize];
    WriteLogHeader(state.file.currentHeader, header);
    uint32_t written = 0;
    if (!sink.write(sink.context, header, kHeaderSize, &written) || written != kHeaderSize) return 0;
    const uint8_t* next = state.table.recordArea;
    uint32_t remaining = CopiedAreaSize(state);
    while (remaining != 0) {
        const uint32_t size = remaining < kCopyChunk ? remaining : kCopyChunk;
        written = 0;
        if (!sink.write(sink.context, next, size, &written) || written == 0 || written > size) return 0;
        next += written;
        remaining -= written;
    }
    return 1;
}
