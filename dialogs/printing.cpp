#include "dialogs/printing.h"

#include <cstdio>
#include <cstring>

#include "eventlist/filter.h"

PrintTexts g_printTexts = {
    " %s    %s      %s      %s    %s    %s ",
    " %.6s  %.8s  %.8s  %.15s   %.11s   %.16s",
    "%.4s           :  %.8s",
    "Component      :  %.16s",
    "Module         :  %.12s",
    "Computer       :  %.16s",
    "Type           :  %.6s",
    "Description    :  ",
    "Data            :",
    "Date",
    "Time",
    "Component",
    "Module",
    "Computer",
    "Type",
    nullptr,
};

// The code page the texts and names are cut in.
static const AnsiCodePage& TextsCodePage() {
    return g_printTexts.codePage != nullptr ? *g_printTexts.codePage : SingleByteCodePage();
}

// The print formats come from the string table, so they are expanded by a
// formatter that knows only %s, %.Ns and %% and takes its arguments from an
// array: a translated format can cut text but never read a wrong argument.
int FormatStrings(char* out, int outSize, const char* format, const char* const* args, int argCount) {
    const AnsiCodePage& page = TextsCodePage();
    int n = 0;
    int next = 0;
    auto put = [&](char ch) {
        if (n + 1 < outSize) out[n] = ch;
        ++n;
    };
    for (const char* f = format; *f; ++f) {
        if (*f != '%') {
            put(*f);
            continue;
        }
        ++f;
        if (*f == '%') {
            put('%');
            continue;
        }
        long precision = -1;
        if (*f == '.') {
            precision = 0;
            for (++f; *f >= '0' && *f <= '9'; ++f) precision = precision * 10 + (*f - '0');
        }
        if (*f != 's') {   // a directive this program never uses is dropped
            if (*f == '\0') break;
            continue;
        }
        const char* a = next < argCount && args[next] ? args[next] : "";
        ++next;
        const size_t length = precision < 0 ? strlen(a) : WholeCharsPrefix(page, a, size_t(precision));
        for (size_t i = 0; i < length; ++i) put(a[i]);
    }
    if (outSize > 0) out[n < outSize ? n : outSize - 1] = '\0';
    return n;
}

namespace {

// Lines below the title follow one at a time; a line that would cross the
// page's foot starts the next page at its top.
struct PageCursor {
    const PageSink* sink;
    int y;
};

void Put(PageCursor* c, const char* text) {
    c->sink->textOut(c->sink->context, 0, c->y, text, int(strlen(text)));
}

// The page-end test around one line: 0 when the job is to be abandoned.
int PutChecked(PageCursor* c, const char* text) {
    const PageSink& s = *c->sink;
    if (c->y + s.lineHeight > s.pageHeight) {
        if (!s.endPage(s.context)) return 0;
        if (s.cancelled(s.context)) return 0;
        if (!s.startPage(s.context)) return 0;
        c->y = 0;
    }
    Put(c, text);
    return !s.cancelled(s.context);
}

int StartJob(const PageSink& s, const char* documentName) {
    if (!s.startPage(s.context)) return 0;
    s.textOut(s.context, 200, s.lineHeight, documentName, int(strlen(documentName)));
    return 1;
}

// A view line as printed: six blanks, then at most kViewLineSize bytes of
// the line in whole characters, without the paragraph's end (CR LF, or the
// CR alone that some views give).
void ViewLineText(const ViewLines& v, int index, char* out) {
    char line[kViewLineReadSize + 1];
    int n = v.getLine(v.context, index, line);
    if (n < 0) n = 0;
    if (n > kViewLineReadSize) n = kViewLineReadSize;
    if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
        n -= 2;
    } else if (n >= 1 && line[n - 1] == '\r') {
        n -= 1;
    }
    line[n] = '\0';
    const AnsiCodePage& page = TextsCodePage();
    const size_t kept = WholeCharsPrefix(page, line, kViewLineSize);
    memcpy(out, "      ", 6);
    memcpy(out + 6, line, kept);
    out[6 + kept] = '\0';
}

int PrintViewLines(PageCursor* c, const ViewLines& v) {
    char text[kViewLineSize + 8];
    for (int i = 0; i < v.count; ++i) {
        ViewLineText(v, i, text);
        if (!PutChecked(c, text)) return 0;
        c->y += c->sink->lineHeight;
    }
    return 1;
}

}  // namespace

int FormatListRow(const EventEntry& e, char* out, int outSize) {
    const char* args[] = {TypeName(e.type), e.date + 2, e.time, ComponentName(e.component), ModuleName(e.module),
                          e.computer};
    return FormatStrings(out, outSize, g_printTexts.listRow, args, 6);
}

int PrintListPages(const PageSink& s, const char* documentName, EventEntry* const* rows, uint32_t count) {
    if (!StartJob(s, documentName)) return 0;
    const int h = s.lineHeight;
    char line[kPrintLineSize];
    PageCursor c = {&s, 4 * h};
    const PrintTexts& t = g_printTexts;
    const char* titles[] = {t.type, t.date, t.time, t.component, t.module, t.computer};
    FormatStrings(line, sizeof line, t.listHeader, titles, 6);
    Put(&c, line);
    c.y = 6 * h;
    for (uint32_t i = 0; i < count; ++i) {
        FormatListRow(*rows[i], line, sizeof line);
        if (!PutChecked(&c, line)) return 0;
        c.y += h;
    }
    return s.endPage(s.context) ? 1 : 0;
}

static void Format1(char* line, const char* format, const char* a) {
    FormatStrings(line, kPrintLineSize, format, &a, 1);
}

static void Format2(char* line, const char* format, const char* a, const char* b) {
    const char* args[] = {a, b};
    FormatStrings(line, kPrintLineSize, format, args, 2);
}

int PrintEventPages(const PageSink& s, const char* documentName, const EventEntry& e,
                    const ViewLines& description, const ViewLines& data) {
    if (!StartJob(s, documentName)) return 0;
    const int h = s.lineHeight;
    const PrintTexts& t = g_printTexts;
    char line[kPrintLineSize];
    PageCursor c = {&s, 4 * h};
    Format2(line, t.dateTimeLine, t.date, e.date + 2);
    Put(&c, line);
    c.y = 5 * h;
    Format2(line, t.dateTimeLine, t.time, e.time);
    Put(&c, line);
    c.y = 6 * h;
    Format1(line, t.computerLine, e.computer);
    Put(&c, line);
    c.y = 8 * h;
    Format1(line, t.componentLine, ComponentName(e.component));
    Put(&c, line);
    c.y = 9 * h;
    Format1(line, t.moduleLine, ModuleName(e.module));
    Put(&c, line);
    c.y = 10 * h;
    Format1(line, t.typeLine, TypeName(e.type));
    Put(&c, line);
    c.y = 13 * h;
    Put(&c, t.descriptionHeading);
    c.y = 15 * h;
    if (!PrintViewLines(&c, description)) return 0;
    c.y += 2 * h;   // two lines below where the next description line would go
    if (!PutChecked(&c, t.dataHeading)) return 0;
    c.y += 2 * h;
    if (!PrintViewLines(&c, data)) return 0;
    return s.endPage(s.context) ? 1 : 0;
}
