// The real DARVEX.EXE prints on a real queue: a CUPS server of the tests' own,
// reached through CUPS_SERVER (its socket), whose cups-pdf printer writes each
// job into the folder "pdf" beside that socket.
// Each PDF is read back with pdftotext and compared, page by page, with the
// lines the core lays out for the printer's line and page height.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/printing.h"
#include "app/ansi_text_win32.h"
#include "app/messages_win32.h"
#include "dialogs/printing_win32.h"
#include "eventlist/filter.h"
#include "eventlist/ordering.h"
#include "logfile/loader.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/program_driver_win32.h"

namespace {

typedef std::vector<std::vector<std::string>> Pages;   // the text lines of each page

// pdftotext places text by its position: the columns keep their order, not
// their blanks. Lines of UTF-8 are compared with each run of blanks as one,
// trimmed; a character without a glyph (a control character, which the dump
// shows as it is, or a user-defined one) counts as a blank.
std::string Squeezed(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const unsigned char c2 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const unsigned char c3 = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        const bool c1 = c == 0xC2 && c2 <= 0xA0;                         // U+0080..U+00A0
        const bool ideographicSpace = c == 0xE3 && c2 == 0x80 && c3 == 0x80;   // U+3000
        const bool privateUse = c == 0xEE || (c == 0xEF && c2 < 0xA4);   // U+E000..U+F8FF, no glyph
        if (c <= ' ' || c == 0x7F || c1 || ideographicSpace || privateUse) {
            if (!out.empty() && out.back() != ' ') out += ' ';
            i += c1 ? 1 : ideographicSpace || privateUse ? 2 : 0;
        } else {
            out += char(c);
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
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
                            const std::wstring wide = Wide(std::string(text, size_t(length)), CP_ACP);
                            const std::string line = Squeezed(Narrow(wide, CP_UTF8));
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

// The one PDF that was not there before, once the queue has written it whole.
std::string NewPdf(const std::vector<std::string>& before, DWORD timeoutMs = 60000) {
    std::string name;
    WaitUntil([&] {
        for (const std::string& n : PdfNames()) {
            if (std::find(before.begin(), before.end(), n) != before.end()) continue;
            const std::vector<uint8_t> bytes = FileBytes(HostPath(PdfFolder()) + "\\" + n);
            const std::string tail(bytes.end() - std::min<size_t>(bytes.size(), 32), bytes.end());
            return tail.find("%%EOF") != std::string::npos && !(name = n).empty();
        }
        return false;
    }, timeoutMs);
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

// Prints with command (104, or the Event Detail's Print button), presses OK
// in the print dialog and waits for the PDF.
Pages PrintAndRead(const Program& p, HWND commandWindow, WPARAM command) {
    const std::vector<std::string> before = PdfNames();
    PostMessageA(commandWindow, WM_COMMAND, command, 0);
    HWND except = commandWindow == p.main ? nullptr : commandWindow, dialog = p.Window("#32770", except);
    EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr) << "no print dialog";
    Click(dialog, IDOK);
    WaitUntil([&] { return !IsWindow(dialog); }, 5000);
    const std::string pdf = NewPdf(before);
    EXPECT_FALSE(pdf.empty()) << "no PDF came from the queue";
    EXPECT_TRUE(Settle(p));
    EXPECT_EQ(p.Window("#32770", except, 300), nullptr) << "a box is up after the job";
    return pdf.empty() ? Pages() : PdfPages(pdf);
}

struct Printing : testing::Test {
    Geometry g;
    void SetUp() override {
        if (Env("CUPS_SERVER").empty()) GTEST_SKIP() << "no CUPS server for these tests (ctest starts one)";
        static const int texts = LoadResidentTexts();   // the program's, for the lines expected
        ASSERT_EQ(0, texts);
        g_printTexts.codePage = &SystemCodePage();
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

namespace {

// The lines a view of the program shows, each with its line end: the view's
// text cut where the view starts its lines (EM_LINEINDEX counts characters).
std::vector<std::string> ShownLines(HWND view) {
    std::vector<wchar_t> text(0x60000);
    const LRESULT length = SendMessageW(view, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    std::vector<std::string> lines;
    const int count = int(SendMessageW(view, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT start = SendMessageW(view, EM_LINEINDEX, WPARAM(i), 0);
        const LRESULT end = i + 1 < count ? SendMessageW(view, EM_LINEINDEX, WPARAM(i + 1), 0) : length;
        char line[2048] = "";
        const int n = WideCharToMultiByte(CP_ACP, 0, text.data() + start, int(end - start), line, sizeof line, nullptr,
                                          nullptr);
        lines.emplace_back(line, size_t(n));
    }
    return lines;
}

// The event of row as the Event Detail shows it, printed from the dialog:
// the printout and the pages the core lays out from the same views.
void PrintShownEvent(const Program& p, LoadedLog& log, const Geometry& g, int row, bool word, Pages* got,
                     Pages* want) {
    SendMessageA(p.list, LB_SETCURSEL, WPARAM(row), 0);
    HWND dialog = p.Open(IDM_VIEW_DETAIL);
    ASSERT_NE(dialog, nullptr);
    if (word) Click(dialog, IDC_DETAIL_WORD);
    const std::vector<std::string> description = ShownLines(GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION));
    const std::vector<std::string> data = ShownLines(GetDlgItem(dialog, IDC_DETAIL_DATA));
    Layout layout;
    PrintEventPages(layout.Sink(g), Title(p.main).substr(0, 79).c_str(), *log.state.table.visibleRows[row],
                    View(description), View(data));
    *want = layout.pages;
    *got = PrintAndRead(p, dialog, IDC_DETAIL_PRINT);
    // The dialog owned the job; the main window stays disabled under it.
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(IsWindowEnabled(p.main));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
}

// The "Print" progress dialog of the job that runs, or null.
HWND ProgressDialog(const Program& p, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return GetDlgItem(found = p.Window("#32770", nullptr, 0), IDC_PRINT_DOCUMENT) != nullptr; }, timeoutMs);
    return GetDlgItem(found, IDC_PRINT_DOCUMENT) != nullptr ? found : nullptr;
}

}  // namespace

// One event from the Event Detail: a long description as the view wraps it
// and data in the Byte layout, the same in Word, an event without data (the
// heading, then one line of blanks), and a description that ends near the
// page's foot (the data heading starts the next page).
TEST_F(Printing, OneEventPrintsFromTheDialogsViewsInTheLayoutShown) {
    // The description of row 2 ends on the line before the heading would fit.
    const int pageLines = g.pageHeight / g.lineHeight;
    std::string nearFoot;
    for (int i = 1; i <= pageLines - 17; ++i) nearFoot += "Line " + std::to_string(i) + (i < pageLines - 17 ? "\r\n" : "");
    std::string wrapped;
    for (int i = 0; i < 40; ++i) wrapped += "The service could not reach its peer " + std::to_string(i) + ". ";
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7);
    RecordSpec records[3];
    const char* texts[3] = {nearFoot.c_str(), "An event without data.", wrapped.c_str()};
    const uint16_t types[3] = {kTypeWarning, kTypeInformation, kTypeError};
    for (int i = 0; i < 3; ++i) {
        records[i].timeStamp = MakeRecordTime(2024, 3, 4, 5, 6, uint16_t(i));
        records[i].type = types[i];
        records[i].text = texts[i];
        if (i != 1) {
            records[i].data = data.data();
            records[i].dataByteCount = i == 0 ? 16 : uint32_t(data.size());
        }
    }
    const std::string path = TempPath("EVENT.EVT");
    ASSERT_EQ(1, WriteRecordsLog(path.c_str(), records, 3));
    Program p("\"" + path + "\"");
    ASSERT_TRUE(p.Up());
    LoadedLog log(path);
    const struct {
        int row;
        bool word;
    } cases[] = {{0, false}, {0, true}, {1, false}, {2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + (c.word ? " Word" : " Byte"));
        Pages got, want;
        PrintShownEvent(p, log, g, c.row, c.word, &got, &want);
        EXPECT_EQ(Describe(got), Describe(want));
        ASSERT_FALSE(want.empty());
        const std::string heading = Squeezed(g_printTexts.dataHeading);
        if (c.row == 0) {
            EXPECT_GT(want[0].size(), 24u) << "the description did not wrap";
        } else if (c.row == 1) {
            EXPECT_EQ(want.back().back(), heading);   // its one line is blanks alone
        } else {
            ASSERT_EQ(want.size(), 2u);
            EXPECT_EQ(want[1].front(), heading);
        }
    }
}

// Print Setup's printer is the next Print's; the progress dialog names the
// job, the device and the port while the main window takes no input; a real
// click on Cancel, or Enter, abandons the job: "Printing stops." and no PDF.
TEST_F(Printing, TheChosenPrinterCarriesOverAndCancelOrEnterAbandonsTheJob) {
    const std::string path = TempPath("LONG.EVT");
    WriteLog(path, 40000);
    Program p("\"" + path + "\"");
    ASSERT_TRUE(p.Up());
    HWND setup = p.Open(IDM_FILE_PRINT_SETUP);
    ASSERT_NE(setup, nullptr);
    // The print dialogs' controls are Unicode windows: they are asked in Unicode.
    HWND printers = GetDlgItem(setup, 0x470);   // cmb1, the printer's name
    ASSERT_NE(SendMessageW(printers, CB_SELECTSTRING, WPARAM(-1), LPARAM(L"PDF2")), CB_ERR);
    SendMessageA(setup, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), LPARAM(printers));
    Click(setup, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(setup); }));

    for (const bool enter : {false, true}) {
        SCOPED_TRACE(enter ? "Enter" : "a click on Cancel");
        const std::vector<std::string> before = PdfNames();
        HWND dialog = p.Open(IDM_FILE_PRINT);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WideText(GetDlgItem(dialog, 0x473)), L"PDF2");   // cmb4, the printer's name
        Click(dialog, IDOK);
        HWND progress = ProgressDialog(p, 20000);
        ASSERT_NE(progress, nullptr) << "no progress dialog";
        EXPECT_EQ(ItemText(progress, IDC_PRINT_DOCUMENT), Title(p.main).substr(0, 79));
        EXPECT_EQ(ItemText(progress, IDC_PRINT_DEVICE), "PDF2");
        EXPECT_EQ(ItemText(progress, IDC_PRINT_PORT), "CUPS:PDF2");
        EXPECT_FALSE(IsWindowEnabled(p.main));
        HWND cancel = GetDlgItem(progress, IDC_PRINT_CANCEL);
        if (enter) {
            PressKey(p, VK_RETURN, cancel);
        } else {
            RECT r;
            GetWindowRect(cancel, &r);
            RealClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
        EXPECT_EQ(p.AnswerBox(IDOK, progress), "Printing stops.");
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress) && IsWindowEnabled(p.main); }));
        EXPECT_TRUE(Settle(p));
        Sleep(2000);   // a job that reached the queue would be a PDF by now
        EXPECT_EQ(PdfNames(), before);
    }
}

// Without a printer, Print shows the print dialog's own answer and nothing
// of the program's; nothing is printed and the program goes on.
TEST(PrintingWithoutAPrinter, PrintShowsTheSystemsAnswerOnlyAndPrintsNothing) {
    const std::string server = Env("CUPS_SERVER");
    if (server.empty()) GTEST_SKIP() << "no CUPS server for these tests (ctest starts one)";
    const std::string path = TempPath("NOPRINTER.EVT");
    WriteLog(path, 20);
    const std::vector<std::string> before = PdfNames();
    // The prefix forgets the printers this process found, and the program's
    // CUPS client reaches no server to find them again.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Printers");
    for (const char* key : {"Devices", "PrinterPorts"}) {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\Microsoft\\Windows NT\\CurrentVersion\\") + key).c_str());
    }
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device");
    SetEnvironmentVariableA("CUPS_SERVER", (server.substr(0, server.rfind('/')) + "/none.sock").c_str());
    Program p("\"" + path + "\"");
    SetEnvironmentVariableA("CUPS_SERVER", server.c_str());
    ASSERT_TRUE(p.Up());
    HWND box = p.Open(IDM_FILE_PRINT);
    ASSERT_NE(box, nullptr);
    // Its longest text is the message.
    std::wstring answer;
    for (HWND child : Children(box)) answer = WideText(child).size() > answer.size() ? WideText(child) : answer;
    EXPECT_GT(answer.size(), 20u);
    EXPECT_EQ(answer.find(L"Printing stops"), std::wstring::npos);
    Click(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(Settle(p));
    EXPECT_EQ(p.Window("#32770", nullptr, 1000), nullptr) << "a second box";
    EXPECT_TRUE(IsWindowEnabled(p.main));
    EXPECT_EQ(PdfNames(), before);
}

// Under the Japanese locale: the list in the Japanese texts and a Japanese
// event come back from the PDF as the same characters.
TEST_F(Printing, JapaneseListAndEventPrintAsTheirCharacters) {
    if (GetACP() != 932) GTEST_SKIP() << "runs under the Japanese locale";
    GenOptions options;
    options.eventCount = 30;
    options.japanesePercent = 100;
    options.dataNonePercent = 0;
    const std::string computer = Ansi(u8"日本サーバ01");
    options.computerName = computer.c_str();
    const std::string path = JapaneseFolder() + "JAPAN.EVT";
    GenResult result;
    ASSERT_EQ(GenerateLog(options, path.c_str(), &result), 1);
    Program p("\"" + path + "\"");
    ASSERT_TRUE(p.Up());
    LoadedLog log(path);
    const Pages want = log.ListPages(g, Title(p.main));
    const Pages got = PrintAndRead(p, p.main, IDM_FILE_PRINT);
    EXPECT_EQ(Describe(got), Describe(want));
    ASSERT_FALSE(want.empty());
    EXPECT_NE(want[0][1].find(u8"種類"), std::string::npos) << want[0][1];
    Pages gotEvent, wantEvent;
    PrintShownEvent(p, log, g, 0, false, &gotEvent, &wantEvent);
    EXPECT_EQ(Describe(gotEvent), Describe(wantEvent));
}
