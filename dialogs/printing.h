// The printed lines of the list and of one event, and the page-break rule,
// over any page sink that knows a line height and a page height.
#pragma once

#include <cstdint>

#include "app/ansi_text.h"
#include "logfile/event_table.h"

// Where printed lines go. Each callback returns non-zero on success.
struct PageSink {
    void* context;
    int lineHeight;
    int pageHeight;
    int (*startPage)(void* context);
    int (*endPage)(void* context);
    void (*textOut)(void* context, int x, int y, const char* text, int length);
    int (*cancelled)(void* context);   // the user pressed Cancel
};

// The format strings and titles, from the string table (English by default).
struct PrintTexts {
    const char* listHeader;     // 40
    const char* listRow;        // 41
    const char* dateTimeLine;   // 42
    const char* componentLine;  // 43
    const char* moduleLine;     // 44
    const char* computerLine;   // 45
    const char* typeLine;       // 46
    const char* descriptionHeading;  // 47
    const char* dataHeading;    // 48
    const char* date;           // 30
    const char* time;           // 31
    const char* component;      // 32
    const char* module;         // 33
    const char* computer;       // 34
    const char* type;           // 35
    // The code page of the texts and the log's names: a precision counts
    // bytes but never ends inside a double-byte character. Null: single-byte.
    const AnsiCodePage* codePage;
};
extern PrintTexts g_printTexts;

constexpr int kPrintLineSize = 256;
constexpr int kViewLineSize = 80;    // what one displayed line gives the printout
// A view line is read whole up to this many bytes, then cut to
// kViewLineSize on a character boundary.
constexpr int kViewLineReadSize = 2 * kViewLineSize + 4;

// Expands a format of %s, %.Ns and %% directives with string arguments.
int FormatStrings(char* out, int outSize, const char* format, const char* const* args, int argCount);

// One printed list row, format 41.
int FormatListRow(const EventEntry& e, char* out, int outSize);

// The lines of a view as it displays them: getLine copies at most
// kViewLineReadSize bytes of line i into buffer and returns how many.
struct ViewLines {
    void* context;
    int count;
    int (*getLine)(void* context, int index, char* buffer);
};

// Prints from the first StartPage to the last EndPage. Returns 1 when every
// page was ended, 0 when the job is to be abandoned (a sink failure or Cancel).
int PrintListPages(const PageSink& sink, const char* documentName, EventEntry* const* rows, uint32_t count);
int PrintEventPages(const PageSink& sink, const char* documentName, const EventEntry& e,
                    const ViewLines& description, const ViewLines& data);
