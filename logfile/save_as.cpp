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

// Goes on from what each call took; 0 when a call failed or took nothing.
int WriteAll(const CopySink& sink, const uint8_t* next, uint32_t remaining) {
    while (remaining != 0) {
        const uint32_t size = remaining < kCopyChunk ? remaining : kCopyChunk;
        uint32_t written = 0;
        if (!sink.write(sink.context, next, size, &written) || written == 0 || written > size) return 0;
        next += written;
        remaining -= written;
    }
    return 1;
}

int WriteHeader(const CopySink& sink, const uint8_t header[kHeaderSize]) {
    uint32_t written = 0;
    return sink.write(sink.context, header, kHeaderSize, &written) && written == kHeaderSize;
}

}  // namespace

uint64_t LogCopySize(const ViewerState& state) { return uint64_t(kHeaderSize) + CopiedAreaSize(state); }

int WriteLogCopy(const ViewerState& state, const CopySink& sink) {
    uint8_t header[kHeaderSize];
    WriteLogHeader(state.file.currentHeader, header);
    if (!WriteHeader(sink, header)) return 0;
    return WriteAll(sink, state.table.recordArea, CopiedAreaSize(state));
}

uint32_t LiveCopyAreaSize(const uint8_t header[kHeaderSize], uint64_t fileSize, bool* ok) {
    LogHeader h;
    ReadLogHeader(header, &h);
    *ok = IsKnownMagic(header);
    if (!*ok || h.recordCount == 0) return 0;
    *ok = h.recordAreaEnd >= h.recordAreaStart &&
          uint64_t(kHeaderSize) + (h.recordAreaEnd - h.recordAreaStart) <= fileSize;
    return *ok ? h.recordAreaEnd - h.recordAreaStart : 0;
}

int CopyLiveLog(const uint8_t header[kHeaderSize], uint32_t areaSize, const LogReader& source, uint8_t* buffer,
                uint32_t bufferSize, const CopySink& sink) {
    if (!WriteHeader(sink, header)) return 0;
    while (areaSize != 0) {
        const uint32_t want = areaSize < bufferSize ? areaSize : bufferSize;
        uint32_t got = 0;
        if (!source.read(source.context, buffer, want, &got) || got == 0 || got > want) return 0;
        if (!WriteAll(sink, buffer, got)) return 0;
        areaSize -= got;
    }
    return 1;
}
