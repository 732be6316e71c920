#include "logfile/log_format.h"

#include <cstring>

const LogSource kLogSources[kLogSourceCount] = {
    {"PERN.EVT", "PERN.MVF", "DARV_PERN_Mutex", "PERN.EVT V1.0  "},
    {"TOLVA.EVT", "TOLVA.MVF", "DARV_TOLVA_Mutex", "TOLVA.EVT V1.0 "},
    {"BORAXLIN.EVT", "BORAXLIN.MVF", "DARV_BORAXLIN_Mutex", "BORAXL.EVT V1.0"},
    {"KESTRAM.EVT", "KESTRAM.MVF", "DARV_SetUp_Mutex", "KESTRM.EVT V1.0"},
};

ViewConditions DefaultViewConditions() {
    ViewConditions c = {};
    c.errorType = kTypeError;
    c.warningType = kTypeWarning;
    c.informationType = kTypeInformation;
    return c;
}

void ReadViewConditions(const uint8_t b[kConditionsSize], ViewConditions* c) {
    c->fromIsStamp = GetU16(b + 0);
    c->throughIsStamp = GetU16(b + 2);
    c->errorType = GetU16(b + 4);
    c->warningType = GetU16(b + 6);
    c->informationType = GetU16(b + 8);
    c->componentIndex = GetU16(b + 10);
    c->moduleIndex = GetU32(b + 12);
    c->sortOrder = GetU16(b + 16);
    c->conditionsSaved = GetU16(b + 18);
}

void WriteViewConditions(const ViewConditions& c, uint8_t b[kConditionsSize]) {
    PutU16(b + 0, c.fromIsStamp);
    PutU16(b + 2, c.throughIsStamp);
    PutU16(b + 4, c.errorType);
    PutU16(b + 6, c.warningType);
    PutU16(b + 8, c.informationType);
    PutU16(b + 10, c.componentIndex);
    PutU32(b + 12, c.moduleIndex);
    PutU16(b + 16, c.sortOrder);
    PutU16(b + 18, c.conditionsSaved);
}

void ReadLogHeader(const uint8_t b[kHeaderSize], LogHeader* h) {
    memcpy(h->magic, b, kMagicSize);
    memcpy(h->writerBytes, b + 16, sizeof h->writerBytes);
    h->recordAreaStart = GetU16(b + 30);
    h->maxLogSize = GetU32(b + 32);
    h->recordAreaEnd = GetU32(b + 36);
    h->recordCount = GetU32(b + 40);
    memcpy(h->computerName, b + 44, kComputerNameSize);
    h->oldestOffset = GetU32(b + 60);
    h->writerOffset = GetU32(b + 64);
    ReadViewConditions(b + kConditionsOffset, &h->conditions);
}

void WriteLogHeader(const LogHeader& h, uint8_t b[kHeaderSize]) {
    memcpy(b, h.magic, kMagicSize);
    memcpy(b + 16, h.writerBytes, sizeof h.writerBytes);
    PutU16(b + 30, h.recordAreaStart);
    PutU32(b + 32, h.maxLogSize);
    PutU32(b + 36, h.recordAreaEnd);
    PutU32(b + 40, h.recordCount);
    memcpy(b + 44, h.computerName, kComputerNameSize);
    PutU32(b + 60, h.oldestOffset);
    PutU32(b + 64, h.writerOffset);
    WriteViewConditions(h.conditions, b + kConditionsOffset);
}

void WriteLogRecord(const LogRecord& r, uint8_t* b) {
    PutU32(b + 0, r.link);
    PutU16(b + 4, r.timeStamp.year);
    PutU16(b + 6, r.timeStamp.month);
    PutU16(b + 8, r.timeStamp.dayOfWeek);
    PutU16(b + 10, r.timeStamp.day);
    PutU16(b + 12, r.timeStamp.hour);
    PutU16(b + 14, r.timeStamp.minute);
    PutU16(b + 16, r.timeStamp.second);
    PutU16(b + 18, r.timeStamp.milliseconds);
    PutU32(b + 20, r.moduleCode);
    memcpy(b + 24, r.writerBytes, sizeof r.writerBytes);
    PutU32(b + 28, r.dataLength);
    PutU16(b + 32, r.descriptionLength);
    PutU16(b + 34, r.type);
    PutU16(b + 36, r.wrapToStart);
}

bool IsKnownMagic(const uint8_t bytes[kMagicSize]) {
    for (const LogSource& s : kLogSources) {
        // The stored magic is 15 characters and a zero byte: compare all 16.
        if (memcmp(bytes, s.magic, kMagicSize) == 0) return true;
    }
    return false;
}

int FindLogSource(const char* upperPath, const AnsiCodePage& page) {
    for (int i = 0; i < kLogSourceCount; ++i) {
        const char* name = kLogSources[i].eventFileName;
        const size_t length = strlen(name);
        for (const char* p = upperPath; *p != '\0'; p += CharLength(page, p)) {
            if (strncmp(p, name, length) == 0) return i;
        }
    }
    return -1;
}

void ClassifyModuleCode(uint32_t moduleCode, uint16_t* component, uint16_t* module) {
    if (moduleCode <= 6) {
        static const uint16_t kComponentOf[7] = {1, 1, 2, 2, 3, 3, 4};
        *component = kComponentOf[moduleCode];
        *module = uint16_t(moduleCode);
    } else {
        *component = 5;
        *module = 7;
    }
}
