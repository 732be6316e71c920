// The real DARVEX.EXE prints on a real queue: a CUPS server of the tests' own,
// reached through CUPS_SERVER (its socket), whose cups-pdf printer writes each
// job into the folder "pdf" beside that socket.
// Each PDF is read back with pdftotext and compared, page by page, with the
// lines the core lays out for the printer's line and page height.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "dialogs/printing.h"
#include "dialogs/printing_win32.h"
#include "eventlist/filter.h"
#include "eventlist/ordering.h"
#include "logfile/loader.h"
#include "tests/win32/program_driver_win32.h"

namespace {

typedef std::vector<std::vector<std::string>> Pages;   // the text lines of each page

std::string Env(const char* name) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

// pdftotext places text by its position: the columns keep their order, not
// their blanks. Lines are compared with each run of blanks as one, trimmed.
std::string Squeezed(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Utf8(const std::string& ansi) {
    std::wstring wide(ansi.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()))));
    std::string out(wide.size() * 3 + 1, '\0');
    out.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &out[0], int(out.size()),
                                          nullptr, nullptr)));
    return out;
}

// The default printer's line height and page height, as the program takes them.
struct Geometry {
    int lineHeight = 0, pageHeight = 0;
};
Geometry PrinterGeometry() {
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    Geometry g;
    if (!PrintDlgA(&pd) || pd.hDC == nullptr) return g;
    HFONT font = CreatePrinterFont(pd.hDC);
    HGDIOBJ old = SelectObject(pd.hDC, font);
    SIZE cc = {};
    GetTextExtentPoint32A(pd.hDC, "CC", 2, &cc);
    g.lineHeight = int(cc.cy);
    g.pageHeight = GetDeviceCaps(pd.hDC, VERTRES);
    SelectObject(pd.hDC, old);
    DeleteObject(font);
    DeleteDC(pd.hDC);
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
    return g;
}

// The pages the core lays out, its lines squeezed and in UTF-8.
struct Layout {
    Pages pages;
    static Layout* Of(void* c) { return static_cast<Layout*>(c); }
    PageSink Sink(const Geometry& g) {
        return PageSink{this, g.lineHeight, g.pageHeight, [](void* c) { return Of(c)->pages.emplace_back(), 1; },
                        [](void*) { return 1; },
                        [](void* c, int, int, const char* text, int length) {
                            const std::string line = Squeezed(Utf8(std::string(text, size_t(length))));
                            if (!line.empty()) Of(c)->pages.back().push_back(line);
                        },
                        [](void*) { return 0; }};
    }
};

// A log loaded in this process as the program loads it, newest first.
struct LoadedLog {
    ViewerState state;
    explicit LoadedLog(const std::string& path) {
        InitViewerState(&state);
        lstrcpynA(state.file.path, path.c_str(), sizeof state.file.path);
        CharUpperA(state.file.path);
        UiEffects fx;
        ClearEffects(&fx);
        EXPECT_EQ(0, LoadLog(&state, StdioLogOpener(), &fx)) << path;
        OrderEvents(&state.table, 112);   // newest first, as a fresh program shows it
        BuildVisibleRows(&state.table);
    }
    ~LoadedLog() { ReleaseViewerState(&state); }
    Pages ListPages(const Geometry& g, const std::string& title) {
        Layout layout;
        PrintListPages(layout.Sink(g), title.substr(0, 79).c_str(), state.table.visibleRows, state.table.visibleCount);
        return layout.pages;
    }
};

// The queue's output folder, as the host names it.
std::string PdfFolder() {
    const std::string socket = Env("CUPS_SERVER");
    return socket.substr(0, socket.rfind('/')) + "/pdf";
}

std::vector<std::string> PdfNames() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((HostPath(PdfFolder()) + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool EndsWithEof(const std::vector<uint8_t>& bytes) {
    const std::string tail(bytes.end() - std::min<size_t>(bytes.size(), 32), bytes.end());
    return tail.find("%%EOF") != std::string::npos;
}

// The one PDF that was not there before, once the queue has written it whole.
std::string NewPdf(const std::vector<std::string>& before, DWORD timeoutMs = 60000) {
    std::string name;
    WaitUntil(
        [&] {
            for (const std::string& n : PdfNames()) {
                if (std::find(before.begin(), before.end(), n) != before.end()) continue;
                if (!EndsWithEof(FileBytes(HostPath(PdfFolder()) + "\\" + n))) return false;
                name = n;
                return true;
            }
            return false;
        },
        timeoutMs);
    return name;
}

// pdftotext, a program of the host, writes the text beside the PDF.
Pages PdfPages(const std::string& pdfName) {
    const std::string dir = PdfFolder();
    const std::string pdf = dir + "/" + pdfName, text = pdf + ".txt";
    std::string line = "/bin/sh -c \"pdftotext -layout -enc UTF-8 '" + pdf + "' '" + text + ".part' && mv '" + text +
                       ".part' '" + text + "'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    Pages pages;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return pages;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::vector<uint8_t> bytes;
    WaitUntil([&] { return !(bytes = FileBytes(HostPath(text))).empty(); }, 30000);
    std::string page, all(bytes.begin(), bytes.end());
    pages.emplace_back();
    size_t start = 0;
    for (size_t i = 0; i <= all.size(); ++i) {
        if (i < all.size() && all[i] != '\n' && all[i] != '\f') continue;
        const std::string squeezed = Squeezed(all.substr(start, i - start));
        if (!squeezed.empty()) pages.back().push_back(squeezed);
        if (i < all.size() && all[i] == '\f') pages.emplace_back();
        start = i + 1;
    }
    while (!pages.empty() && pages.back().empty()) pages.pop_back();   // after the last form feed
    return pages;
}

std::string Describe(const Pages& pages) {
    std::string out;
    for (size_t p = 0; p < pages.size(); ++p) {
        out += "--- page " + std::to_string(p + 1) + "\n";
        for (const std::string& l : pages[p]) out += l + "\n";
    }
    return out;
}

// The print dialog that is up: its OK prints, its Cancel prints nothing.
void AnswerPrintDialog(const Program& p, int button) {
    HWND dialog = p.Window("#32770");
    ASSERT_NE(dialog, nullptr) << "no print dialog";
    ASSERT_NE(GetDlgItem(dialog, IDOK), nullptr) << Title(dialog);
    Click(dialog, button);
    WaitUntil([&] { return !IsWindow(dialog); }, 5000);
}

// Prints with command (104, or the Event Detail's Print button) and waits for the PDF.
Pages PrintAndRead(const Program& p, HWND commandWindow, WPARAM command) {
    const std::vector<std::string> before = PdfNames();
    PostMessageA(commandWindow, WM_COMMAND, command, 0);
    AnswerPrintDialog(p, IDOK);
    const std::string pdf = NewPdf(before);
    EXPECT_FALSE(pdf.empty()) << "no PDF came from the queue";
    EXPECT_TRUE(Settle(p));
    EXPECT_EQ(p.Window("#32770", nullptr, 300), nullptr) << "a box is up after the job";
    return pdf.empty() ? Pages() : PdfPages(pdf);
}

// Sets a filter in the Filter dialog: from a stamp (yy mm dd hh mm ss) and the types to keep.
void Filter(const Program& p, const char* const from[6], bool warning, bool information) {
    PostMessageA(p.main, WM_COMMAND, IDM_VIEW_FILTER, 0);
    HWND filter = p.Window("#32770");
    ASSERT_NE(filter, nullptr);
    if (from != nullptr) {
        Click(filter, IDC_FILTER_FROM_STAMP);
        for (int i = 0; i < 6; ++i) SetWindowTextA(GetDlgItem(filter, IDC_FILTER_FROM_YEAR + i), from[i]);
    }
    if (!warning) Click(filter, IDC_FILTER_WARNING);
    if (!information) Click(filter, IDC_FILTER_INFORMATION);
    Click(filter, IDC_FILTER_OK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(filter) && IsWindowEnabled(p.main); }));
}

struct Printing : testing::Test {
    Geometry g;
    void SetUp() override {
        if (Env("CUPS_SERVER").empty()) GTEST_SKIP() << "no CUPS server for these tests (ctest starts one)";
        g = PrinterGeometry();
        ASSERT_GT(g.lineHeight, 0) << "no default printer at " << Env("CUPS_SERVER");
    }
};

}  // namespace

// A short list, a list of several pages, a filtered list and a filtered
// list without rows: each printout holds the lines the core lays out, page
// for page; a new page repeats neither the title nor the header.
TEST_F(Printing, TheListPrintsAsLaidOutWhateverItsLengthAndFilter) {
    const int rowsPerPage = (g.pageHeight - 6 * g.lineHeight) / g.lineHeight;
    struct Case {
        uint32_t events;
        bool errorsOnly, noRows;
    } const cases[] = {{12, false, false}, {uint32_t(rowsPerPage * 2 + 40), false, false}, {60, true, false},
                       {12, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.events) + (c.errorsOnly ? " errors only" : "") + (c.noRows ? " no rows" : ""));
        const std::string log = TempPath(("LIST" + std::to_string(&c - cases) + ".EVT").c_str());
        WriteLog(log, c.events);
        Program p("\"" + log + "\"");
        ASSERT_TRUE(p.Up());
        LoadedLog expected(log);
        if (c.errorsOnly || c.noRows) {
            const char* const future[6] = {"89", "01", "01", "00", "00", "00"};
            Filter(p, c.noRows ? future : nullptr, false, false);
            expected.state.conditions.warningType = expected.state.conditions.informationType = 0;
            if (c.noRows) {
                expected.state.conditions.fromIsStamp = 1;
                memcpy(expected.state.range.from, "2089/01/0100:00:00", kStampSize);
            }
            UiEffects fx;
            ClearEffects(&fx);
            ApplyFilterCommand(&expected.state, &fx);
        }
        ASSERT_TRUE(WaitUntil([&] { return p.Rows() == LRESULT(expected.state.table.visibleCount); })) << p.Rows();
        const Pages want = expected.ListPages(g, Title(p.main));
        const Pages got = PrintAndRead(p, p.main, IDM_FILE_PRINT);
        EXPECT_EQ(Describe(got), Describe(want));
        if (c.events > 100) {
            EXPECT_GE(want.size(), 3u);
        }
        if (c.noRows) {
            EXPECT_EQ(want[0].size(), 2u);   // the title and the header
        }
    }
}
