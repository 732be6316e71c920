// darvex_print_bench: the list of a generated 100,000-event log printed as
// the program prints it, each way timed in the same run:
//
//  - layout: PrintListPages into a sink that only counts, with the line and
//    page height of the default printer's device context;
//  - spool: the same pages into the default printer's device context
//    (StartDoc, StartPage, TextOutA, EndPage with the abort procedure, EndDoc),
//    timed until EndDoc returns; then until the queue's PDF is written whole,
//    whose pages pdfinfo counts;
//  - metafile: each page recorded into an enhanced metafile made with the
//    printer's device context as reference, and thrown away: no spool at all.
//
// The bench's own working set and private memory are read at every page end
// of the last spool and the last metafile run.
//
//   darvex_print_bench [--reps N] [--rows N] [LOG]

// The queue is the default printer of the CUPS server named by CUPS_SERVER
// (tools/cups-pdf-server.sh; bench/print_bench.sh starts one for the run); its
// PDFs land in the folder "pdf" beside the socket. LOG defaults to
// /tmp/darvex_print_bench_100k.evt, generated with --rows events (100,000)
// when missing. A path starting with '/' is a host path, taken as drive Z:.
// Figures are the median of the repetitions with the minimum beside it. The
// exit code is 0 when every job ended and every PDF came with the pages the
// layout gave.
#include <windows.h>
#include <commdlg.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/ansi_text_win32.h"
#include "app/ui_effects.h"
#include "app/viewer_state.h"
#include "bench/bench_win32.h"
#include "dialogs/printing.h"
#include "dialogs/printing_win32.h"
#include "eventlist/filter.h"
#include "eventlist/ordering.h"
#include "logfile/loader.h"
#include "tools/log_writer.h"

namespace {

constexpr DWORD kPdfTimeoutMs = 600000;

// ---------------------------------------------------------------------------
// Memory at each page end

struct MemoryTrace {
    double firstWs, peakWs, lastWs;            // working set, MiB
    double firstPrivate, peakPrivate, lastPrivate;   // PagefileUsage, MiB
    uint32_t samples;
    double ms;   // spent reading them
};

void ReadOwnMemory(double* ws, double* priv) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    *ws = *priv = -1;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        *ws = double(counters.WorkingSetSize) / kMiB;
        *priv = double(counters.PagefileUsage) / kMiB;
    }
}

void SampleMemory(MemoryTrace* t) {
    const double start = NowMs();
    double ws, priv;
    ReadOwnMemory(&ws, &priv);
    if (t->samples == 0) {
        t->firstWs = t->peakWs = ws;
        t->firstPrivate = t->peakPrivate = priv;
    }
    t->peakWs = std::max(t->peakWs, ws);
    t->peakPrivate = std::max(t->peakPrivate, priv);
    t->lastWs = ws;
    t->lastPrivate = priv;
    ++t->samples;
    t->ms += NowMs() - start;
}

// ---------------------------------------------------------------------------
// The three sinks

int NeverCancelled(void*) { return 0; }

// Layout alone: pages, lines and bytes counted.
struct Counts {
    uint32_t pages;
    uint32_t lines;
    uint64_t bytes;
};
Counts* CountsOf(void* c) { return static_cast<Counts*>(c); }
int CountPage(void* c) { return ++CountsOf(c)->pages, 1; }
int CountPageEnd(void*) { return 1; }
void CountLine(void* c, int, int, const char*, int length) {
    ++CountsOf(c)->lines;
    CountsOf(c)->bytes += uint64_t(length);
}

// The printer's device context, as the program's job drives it.
struct PrinterJob {
    HDC dc;
    uint32_t pages;
    MemoryTrace memory;
};
PrinterJob* JobOf(void* c) { return static_cast<PrinterJob*>(c); }
int StartPrinterPage(void* c) { return StartPage(JobOf(c)->dc) > 0; }
int EndPrinterPage(void* c) {
    PrinterJob* j = JobOf(c);
    if (EndPage(j->dc) <= 0) return 0;
    PrintAbortProc(j->dc, 0);   // the program's own: it pumps the thread's messages
    ++j->pages;
    SampleMemory(&j->memory);
    return 1;
}
void PrinterTextOut(void* c, int x, int y, const char* text, int length) { TextOutA(JobOf(c)->dc, x, y, text, length); }

// One enhanced metafile a page, on the printer's device context as reference.
struct MetafileJob {
    HDC printer;
    HFONT font;
    HDC page;
    uint32_t pages;
    uint64_t bytes;   // of the metafiles
    MemoryTrace memory;
};
MetafileJob* MetafileOf(void* c) { return static_cast<MetafileJob*>(c); }
int StartMetafilePage(void* c) {
    MetafileJob* j = MetafileOf(c);
    j->page = CreateEnhMetaFileA(j->printer, nullptr, nullptr, "DARVEX\0List\0");
    if (j->page == nullptr) return 0;
    SelectObject(j->page, j->font);
    return 1;
}
int EndMetafilePage(void* c) {
    MetafileJob* j = MetafileOf(c);
    HENHMETAFILE emf = CloseEnhMetaFile(j->page);
    j->page = nullptr;
    if (emf == nullptr) return 0;
    j->bytes += GetEnhMetaFileBits(emf, 0, nullptr);
    DeleteEnhMetaFile(emf);
    ++j->pages;
    SampleMemory(&j->memory);
    return 1;
}
void MetafileTextOut(void* c, int x, int y, const char* text, int length) {
    TextOutA(MetafileOf(c)->page, x, y, text, length);
}

// ---------------------------------------------------------------------------
// The default printer

struct Printer {
    HDC dc;
    HFONT font;
    HGDIOBJ oldFont;
    int lineHeight;
    int pageHeight;
    char name[64];
};

// The default printer's device context with the printer font selected, and
// the line and page height the program's job takes from it.
bool OpenDefaultPrinter(Printer* p) {
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ZeroMemory(p, sizeof *p);
    if (!PrintDlgA(&pd) || pd.hDC == nullptr) return false;
    if (pd.hDevNames != nullptr) {
        const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(pd.hDevNames));
        if (names != nullptr) {
            lstrcpynA(p->name, reinterpret_cast<const char*>(names) + names->wDeviceOffset, sizeof p->name);
            GlobalUnlock(pd.hDevNames);
        }
        GlobalFree(pd.hDevNames);
    }
    if (pd.hDevMode != nullptr) GlobalFree(pd.hDevMode);
    p->dc = pd.hDC;
    p->font = CreatePrinterFont(p->dc);
    if (p->font != nullptr) p->oldFont = SelectObject(p->dc, p->font);
    SIZE cc = {};
    GetTextExtentPoint32A(p->dc, "CC", 2, &cc);
    p->lineHeight = int(cc.cy);
    p->pageHeight = GetDeviceCaps(p->dc, VERTRES);
    return p->lineHeight > 0 && p->pageHeight > 0;
}

void ClosePrinter(Printer* p) {
    if (p->dc == nullptr) return;
    if (p->oldFont != nullptr) SelectObject(p->dc, p->oldFont);
    if (p->font != nullptr) DeleteObject(p->font);
    DeleteDC(p->dc);
    p->dc = nullptr;
}

// ---------------------------------------------------------------------------
// The queue's PDFs

std::string g_pdfHostFolder;   // empty: no CUPS_SERVER
char g_pdfFolder[MAX_PATH];

void FindPdfFolder() {
    char socket[MAX_PATH] = "";
    if (GetEnvironmentVariableA("CUPS_SERVER", socket, MAX_PATH) == 0 || socket[0] != '/') return;
    const std::string s = socket;
    g_pdfHostFolder = s.substr(0, s.rfind('/')) + "/pdf";
    ToWindowsPath(g_pdfHostFolder.c_str(), g_pdfFolder);
}

std::vector<std::string> PdfNames() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(g_pdfFolder) + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The file's last 32 bytes hold the end-of-file marker.
bool PdfComplete(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    char tail[33] = "";
    DWORD got = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        LARGE_INTEGER at;
        at.QuadPart = std::max<LONGLONG>(0, size.QuadPart - 32);
        if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) ReadFile(file, tail, 32, &got, nullptr);
    }
    CloseHandle(file);
    tail[got] = '\0';
    for (DWORD i = 0; i + 5 <= got; ++i) {
        if (memcmp(tail + i, "%%EOF", 5) == 0) return true;
    }
    return false;
}

// The one PDF of this job that was not there before, once written whole;
// empty on timeout. The queue names it after the document, blanks as '_'.
std::string WaitForNewPdf(const std::vector<std::string>& before, const char* documentName) {
    std::string prefix = documentName;
    std::replace(prefix.begin(), prefix.end(), ' ', '_');
    const DWORD start = GetTickCount();
    do {
        for (const std::string& n : PdfNames()) {
            if (n.compare(0, prefix.size(), prefix) != 0) continue;
            if (std::find(before.begin(), before.end(), n) != before.end()) continue;
            if (PdfComplete(std::string(g_pdfFolder) + "\\" + n)) return n;
        }
        Sleep(5);
    } while (GetTickCount() - start < kPdfTimeoutMs);
    return std::string();
}

// pdfinfo, a program of the host, writes its answer beside the PDF; the
// "Pages:" figure, or -1.
int PdfPageCount(const std::string& name) {
    const std::string pdf = g_pdfHostFolder + "/" + name, info = pdf + ".info";
    std::string line = "/bin/sh -c \"pdfinfo '" + pdf + "' > '" + info + ".part' 2>&1; mv '" + info + ".part' '" +
                       info + "'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    char infoPath[MAX_PATH];
    ToWindowsPath(info.c_str(), infoPath);
    int pages = -1;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        FILE* f = fopen(infoPath, "r");
        if (f == nullptr) {
            Sleep(10);
            continue;
        }
        char text[256];
        while (fgets(text, sizeof text, f) != nullptr) {
            if (strncmp(text, "Pages:", 6) == 0) pages = atoi(text + 6);
        }
        fclose(f);
        break;
    }
    DeleteFileA(infoPath);
    return pages;
}

// ---------------------------------------------------------------------------
// The runs

struct SpoolRun {
    double endDoc;     // StartDoc until EndDoc returned
    double pdf;        // EndDoc until the PDF was whole; -1 without one
    uint32_t pages;    // ended on the device context
    int pdfPages;      // pdfinfo's count, -1 unknown
    uint64_t pdfBytes;
    bool ended;        // every page and EndDoc succeeded
    MemoryTrace memory;
    double before[2];  // working set and private memory before StartDoc
};

SpoolRun RunSpool(const Printer& printer, const EventTable& table, int rep) {
    SpoolRun r = {};
    r.pdf = -1;
    r.pdfPages = -1;
    char documentName[80];
    // The blank at the end keeps run 1's PDF name from being the start of run 10's.
    snprintf(documentName, sizeof documentName, "PRINTBENCH run %d ", rep + 1);
    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = documentName;
    PrinterJob job = {printer.dc, 0, {}};
    const PageSink sink = {&job, printer.lineHeight, printer.pageHeight, StartPrinterPage,
                           EndPrinterPage, PrinterTextOut, NeverCancelled};
    const std::vector<std::string> before = PdfNames();
    ReadOwnMemory(&r.before[0], &r.before[1]);
    SetAbortProc(printer.dc, PrintAbortProc);
    const double start = NowMs();
    bool ok = StartDocA(printer.dc, &doc) > 0;
    ok = ok && PrintListPages(sink, documentName, table.visibleRows, table.visibleCount);
    ok = ok && EndDoc(printer.dc) > 0;
    const double ended = NowMs();
    if (!ok) AbortDoc(printer.dc);
    r.endDoc = ended - start;
    r.ended = ok;
    r.pages = job.pages;
    r.memory = job.memory;
    if (!ok || g_pdfHostFolder.empty()) return r;
    const std::string pdf = WaitForNewPdf(before, documentName);
    if (pdf.empty()) return r;
    r.pdf = NowMs() - ended;
    const std::string path = std::string(g_pdfFolder) + "\\" + pdf;
    r.pdfBytes = FileSize(path.c_str());
    r.pdfPages = PdfPageCount(pdf);
    DeleteFileA(path.c_str());
    return r;
}

struct MetafileRun {
    double ms;
    uint32_t pages;
    uint64_t bytes;
    bool ended;
    MemoryTrace memory;
};

MetafileRun RunMetafile(const Printer& printer, const EventTable& table) {
    MetafileJob job = {printer.dc, printer.font, nullptr, 0, 0, {}};
    const PageSink sink = {&job, printer.lineHeight, printer.pageHeight, StartMetafilePage,
                           EndMetafilePage, MetafileTextOut, NeverCancelled};
    const double start = NowMs();
    const int ok = PrintListPages(sink, "PRINTBENCH.EVT - metafile", table.visibleRows, table.visibleCount);
    MetafileRun r = {NowMs() - start, job.pages, job.bytes, ok != 0, job.memory};
    if (job.page != nullptr) DeleteEnhMetaFile(CloseEnhMetaFile(job.page));
    return r;
}

void PrintMemoryRow(const char* what, const MemoryTrace& m) {
    printf("| %s: working set first / peak / last page | %.1f / %.1f / %.1f MiB | %u samples, %.1f ms reading them |\n",
           what, m.firstWs, m.peakWs, m.lastWs, m.samples, m.ms);
    printf("| %s: private (PagefileUsage) first / peak / last page | %.1f / %.1f / %.1f MiB | |\n", what,
           m.firstPrivate, m.peakPrivate, m.lastPrivate);
}

std::string Figure(const Timing& t) {
    char text[64];
    snprintf(text, sizeof text, "%.1f ms (%.1f)", t.median, t.minimum);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    int reps = 5;
    uint32_t rows = 100000;
    const char* logArg = "/tmp/darvex_print_bench_100k.evt";
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
            reps = std::max(1, atoi(argv[++i]));
        } else if (strcmp(argv[i], "--rows") == 0 && i + 1 < argc) {
            rows = uint32_t(std::max(1, atoi(argv[++i])));
        } else if (argv[i][0] == '-') {
            fprintf(stderr, "usage: darvex_print_bench [--reps N] [--rows N] [LOG]\n");
            return 2;
        } else {
            logArg = argv[i];
        }
    }
    char log[MAX_PATH];
    ToWindowsPath(logArg, log);
    if (FileSize(log) == 0) {
        printf("Generating %s with %u events ...\n", log, rows);
        GenOptions options;
        options.eventCount = rows;
        GenResult generated = {};
        if (!GenerateLog(options, log, &generated)) {
            fprintf(stderr, "darvex_print_bench: cannot generate %s: %s\n", log,
                    generated.error ? generated.error : "?");
            return 1;
        }
    }

    // The log as the program holds it after a load: newest first.
    static ViewerState state;
    InitViewerState(&state);
    lstrcpynA(state.file.path, log, sizeof state.file.path);
    CharUpperA(state.file.path);
    UiEffects fx;
    ClearEffects(&fx);
    if (LoadLog(&state, StdioLogOpener(), &fx) != 0) {
        fprintf(stderr, "darvex_print_bench: cannot load %s\n", log);
        return 1;
    }
    OrderEvents(&state.table, 112);
    BuildVisibleRows(&state.table);
    g_printTexts.codePage = &SystemCodePage();
    const EventTable& table = state.table;

    FindPdfFolder();
    Printer printer;
    if (!OpenDefaultPrinter(&printer)) {
        char server[MAX_PATH] = "(not set)";
        GetEnvironmentVariableA("CUPS_SERVER", server, MAX_PATH);
        fprintf(stderr, "darvex_print_bench: no default printer (CUPS_SERVER %s)\n", server);
        return 1;
    }
    printf("%u rows; printer \"%s\": %d DPI, line height %d, page height %d, font \"",
           table.visibleCount, printer.name, GetDeviceCaps(printer.dc, LOGPIXELSY), printer.lineHeight,
           printer.pageHeight);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(printer.dc, sizeof face, face);
    printf("%s\"; PDFs in %s\n", face, g_pdfHostFolder.empty() ? "(no CUPS_SERVER)" : g_pdfHostFolder.c_str());

    std::vector<double> layout, spool, pdf, metafile;
    Counts counts = {};
    SpoolRun lastSpool = {};
    MetafileRun lastMetafile = {};
    bool allGood = true;
    for (int rep = 0; rep < reps; ++rep) {
        Counts c = {};
        const PageSink countingSink = {&c, printer.lineHeight, printer.pageHeight, CountPage,
                                       CountPageEnd, CountLine, NeverCancelled};
        double start = NowMs();
        PrintListPages(countingSink, "PRINTBENCH.EVT - layout", table.visibleRows, table.visibleCount);
        layout.push_back(NowMs() - start);
        counts = c;

        const SpoolRun s = RunSpool(printer, table, rep);
        spool.push_back(s.endDoc);
        if (s.pdf >= 0) pdf.push_back(s.pdf);
        const bool spoolGood = s.ended && s.pages == c.pages && (g_pdfHostFolder.empty() || s.pdfPages == int(c.pages));
        allGood = allGood && spoolGood;
        lastSpool = s;

        const MetafileRun m = RunMetafile(printer, table);
        if (m.ended) metafile.push_back(m.ms);
        lastMetafile = m;
        printf("run %d: layout %.1f ms, %u pages; spool to EndDoc %.1f ms, %u pages%s, PDF %.1f ms later, %d pages, "
               "%.1f MiB; metafiles %.1f ms, %u pages%s, %.1f MiB\n",
               rep + 1, layout.back(), c.pages, s.endDoc, s.pages, s.ended ? "" : " (FAILED)", s.pdf, s.pdfPages,
               double(s.pdfBytes) / kMiB, m.ms, m.pages, m.ended ? "" : " (FAILED)", double(m.bytes) / kMiB);
    }
    ClosePrinter(&printer);

    const Timing layoutT = Summarise(layout), spoolT = Summarise(spool), pdfT = Summarise(pdf),
                 metafileT = Summarise(metafile);
    printf("\n%u rows, %u pages of %d lines at most; %d repetitions, median (minimum)\n\n", table.visibleCount,
           counts.pages, printer.pageHeight / printer.lineHeight, reps);
    printf("| What | Median (min) | Note |\n|---|---:|---|\n");
    printf("| layout alone: PrintListPages into a counting sink | %s | %u lines, %.1f MiB of text; %.2f us a row |\n",
           Figure(layoutT).c_str(), counts.lines, double(counts.bytes) / kMiB,
           layoutT.median * 1000.0 / std::max(1u, table.visibleCount));
    printf("| layout + spool: StartDoc to EndDoc returned | %s | %u pages; %.1fx the layout; %.2f ms a page |\n",
           Figure(spoolT).c_str(), lastSpool.pages, spoolT.median / std::max(0.001, layoutT.median),
           spoolT.median / std::max(1u, lastSpool.pages));
    if (!pdf.empty()) {
        printf("| the queue: EndDoc to the PDF written whole | %s | %d pages (pdfinfo), %.1f MiB |\n",
               Figure(pdfT).c_str(), lastSpool.pdfPages, double(lastSpool.pdfBytes) / kMiB);
    } else {
        printf("| the queue: EndDoc to the PDF written whole | no PDF | |\n");
    }
    if (!metafile.empty()) {
        printf("| layout + one enhanced metafile a page, printer DC as reference | %s | %u pages; %.1fx the layout; "
               "%.1f KiB a page |\n",
               Figure(metafileT).c_str(), lastMetafile.pages, metafileT.median / std::max(0.001, layoutT.median),
               double(lastMetafile.bytes) / 1024.0 / std::max(1u, lastMetafile.pages));
    } else {
        printf("| layout + one enhanced metafile a page | failed | |\n");
    }
    printf("| before the last spool: working set / private | %.1f / %.1f MiB | |\n", lastSpool.before[0],
           lastSpool.before[1]);
    PrintMemoryRow("spool", lastSpool.memory);
    PrintMemoryRow("metafiles", lastMetafile.memory);
    if (!allGood) fprintf(stderr, "darvex_print_bench: a job failed or a PDF did not have the layout's pages\n");
    ReleaseViewerState(&state);
    return allGood ? 0 : 1;
}
