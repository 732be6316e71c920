#include "tests/win32/detail_test_log.h"

#include <vector>

const char kLettersDescription[] = "Disk full.\r\nRetry later.";
const char kControlBytesDescription[] = "{\\rtf1 {\\b disk} full}";
// "テスト", CR LF, "表示" (0x5C, 表's second byte, is no backslash).
const char kJapaneseDescription[] = "\x83\x65\x83\x58\x83\x67\r\n\x95\x5c\x8e\xa6";

const char kLettersByteDump[] =
    "0000: 41 42 43 44 45 46 47 48      ABCDEFGH\r\n"
    "0008: 49 4A 4B 4C 4D 4E 4F 50      IJKLMNOP\r\n"
    "0010: 51 52 53                     QRS";
const char kLettersWordDump[] =
    "0000: 44434241 48474645 4C4B4A49 504F4E4D\r\n"
    "0010:   535251";
const char kControlBytesDump[] =
    "0000: 00 01 02 41 0A FF 20 7F      .\x01\x02" "A\n\xff \x7f\r\n"
    "0008: 09                           \t";
const char kJapaneseRowDump932[] =
    "0000: 41 82 A0 42 43 44 45 82      A\x82\xa0" "BCDE.\r\n"
    "0008: A0 82                        \xa0.";
std::string DetailRowTime(int row) { return "04:" + std::to_string(59 - row) + ":06"; }

// A PERN log of the records, oldest first from the record area's start.
int WriteRecordsLog(const char* path, RecordSpec* records, int count) {
    uint32_t end = kRecordAreaStart;
    for (int i = 0; i < count; ++i) end += records[i].link = RecordSpecSize(records[i]);
    LogImage image;
    InitLogImage(&image, 0, end);
    uint32_t offset = kRecordAreaStart;
    for (int i = 0; i < count; ++i) offset = PlaceRecord(&image, offset, records[i]);
    SetRecordCount(&image, uint32_t(count));
    SetOldestOffset(&image, kRecordAreaStart);
    SetWriterOffset(&image, end);
    return WriteLogImage(image, path);
}

int WriteDetailLog(const char* path) {
    std::vector<uint8_t> data[kDetailRowCount];
    for (int i = 0; i < 19; ++i) data[kRowLetters].push_back(uint8_t('A' + i));
    data[kRowControlBytes] = {0x00, 0x01, 0x02, 0x41, 0x0A, 0xFF, 0x20, 0x7F, 0x09};
    data[kRowJapanese] = {0x41, 0x82, 0xA0, 0x42, 0x43, 0x44, 0x45, 0x82, 0xA0, 0x82};
    for (int i = 0; i < 70000; ++i) data[kRowLong].push_back(uint8_t('0' + i % 10));
    const std::string longText(5000, 'D');

    // Per row: type, module code, description (null: none).
    const struct { uint16_t type; uint32_t moduleCode; const char* text; } rows[kDetailRowCount] = {
        {kTypeError, 2, kLettersDescription}, {kTypeWarning, 6, kControlBytesDescription},
        {kTypeInformation, 99, nullptr}, {kTypeInformation, 0, kJapaneseDescription},
        {kTypeInformation, 0, longText.c_str()}};
    // Oldest first: the last row is the first record.
    RecordSpec records[kDetailRowCount];
    for (int row = 0; row < kDetailRowCount; ++row) {
        RecordSpec& r = records[kDetailRowCount - 1 - row];
        r.timeStamp = MakeRecordTime(2001, 2, 3, 4, uint16_t(59 - row), 6);
        r.type = rows[row].type;
        r.moduleCode = rows[row].moduleCode;
        r.text = rows[row].text;
        r.data = data[row].data();
        r.dataByteCount = uint32_t(data[row].size());
    }
    return WriteRecordsLog(path, records, kDetailRowCount);
}

int WriteFilterTestLog(const char* path) {
    const struct { uint16_t year, month, day, hour, minute, second; uint32_t moduleCode; uint16_t type; } events[6] = {
        {1990, 1, 1, 0, 0, 0, 0, kTypeError},            // PERN, first module
        {1999, 12, 31, 23, 59, 59, 1, kTypeWarning},     // PERN, second module
        {2000, 1, 1, 0, 0, 0, 2, kTypeInformation},      // TOLVA
        {2005, 6, 15, 9, 30, 0, 1, kTypeInformation},    // PERN, second module
        {2005, 6, 15, 10, 0, 0, 4, kTypeError},          // BORAXLIN
        {2089, 12, 31, 23, 59, 59, 6, kTypeWarning},     // setup tool
    };
    RecordSpec records[6];
    for (int i = 0; i < 6; ++i) {
        const auto& e = events[i];
        records[i].timeStamp = MakeRecordTime(e.year, e.month, e.day, e.hour, e.minute, e.second);
        records[i].moduleCode = e.moduleCode;
        records[i].type = e.type;
        records[i].text = "Filter test event";
    }
    return WriteRecordsLog(path, records, 6);
}
