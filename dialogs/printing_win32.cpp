#include "dialogs/printing_win32.h"

#include <richedit.h>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "dialogs/printing.h"
#include "resources/resource_ids.h"

namespace {

// The one job that can run at a time.
struct PrintJobState {
    char documentName[80];   // the main window's title, at most 79 bytes
    bool cancelled;          // set by the progress dialog's Cancel
    HWND progress;           // the "Print" dialog while it exists
    bool failed;             // until EndDoc has succeeded
    bool running;            // from the print dialog to the last message
};
PrintJobState g_printJob;

constexpr DWORD kPrintFlags =
    PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;

// The title as the document's name, cut on a character boundary.
void TakeDocumentName() {
    char title[MAX_PATH + 64] = "";
    GetWindowTextA(g_mainWindow, title, sizeof title);
    const size_t n = WholeCharsPrefix(*g_viewer.codePage, title, sizeof g_printJob.documentName - 1);
    memcpy(g_printJob.documentName, title, n);
    g_printJob.documentName[n] = '\0';
}

HDC PrinterOf(void* context) { return static_cast<HDC>(context); }

int StartPrinterPage(void* context) { return StartPage(PrinterOf(context)) > 0; }

// Not every GDI calls the abort procedure while a page is spooled, so each
// page end calls it: the progress dialog answers its Cancel at least once a
// page.
int EndPrinterPage(void* context) {
    HDC dc = PrinterOf(context);
    if (EndPage(dc) <= 0) return 0;
    PrintAbortProc(dc, 0);
    return 1;
}

void PrinterTextOut(void* context, int x, int y, const char* text, int length) {
    TextOutA(PrinterOf(context), x, y, text, length);
}

int JobCancelled(void*) { return g_printJob.cancelled ? 1 : 0; }

// The font stays selected while the job runs and is deleted after the
// device context.
struct PrinterFont {
    HDC dc;
    HFONT font;
    HGDIOBJ old;
    explicit PrinterFont(HDC printer) : dc(printer), font(CreatePrinterFont(printer)), old(nullptr) {
        if (font != nullptr) old = SelectObject(dc, font);
    }
    ~PrinterFont() {
        if (old != nullptr) SelectObject(dc, old);
        if (font != nullptr) DeleteObject(font);
    }
    PrinterFont(const PrinterFont&) = delete;
    PrinterFont& operator=(const PrinterFont&) = delete;
};

typedef int (*PrintPages)(const PageSink& sink, const void* job);

// What both jobs share, from the print dialog to the message that says the
// job did not end as a printout.
void RunJobFrame(HWND owner, PrintPages printPages, const void* job) {
    TakeDocumentName();
    g_printJob.failed = true;
    g_printSetup.hwndOwner = owner;
    g_printSetup.Flags = kPrintFlags;
    // Cancelled, or the dialog's own answer (no printer): nothing more.
    if (!PrintDlgA(&g_printSetup)) return;
    HDC dc = g_printSetup.hDC;
    g_printSetup.hDC = nullptr;
    g_printJob.cancelled = false;
    SetCursor(g_waitCursor);
    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = g_printJob.documentName;
    if (dc != nullptr && SetAbortProc(dc, PrintAbortProc) > 0 && StartDocA(dc, &doc) > 0) {
        g_printJob.progress = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_PRINT_PROGRESS), owner,
                                                 PrintProgressDialog, 0);
        if (g_printJob.progress == nullptr) {
            AbortDoc(dc);
        } else {
            EnableWindow(owner, FALSE);
            ShowWindow(g_printJob.progress, SW_SHOW);
            UpdateWindow(g_printJob.progress);
            const PrinterFont font(dc);
            SIZE cc = {};
            GetTextExtentPoint32A(dc, "CC", 2, &cc);
            const PageSink sink = {dc,           int(cc.cy),     GetDeviceCaps(dc, VERTRES), StartPrinterPage,
                                   EndPrinterPage, PrinterTextOut, JobCancelled};
            if (printPages(sink, job) && EndDoc(dc) > 0) {
                g_printJob.failed = false;
            } else {
                AbortDoc(dc);
            }
        }
        EnableWindow(owner, TRUE);
        if (g_printJob.progress != nullptr) {
            DestroyWindow(g_printJob.progress);
            g_printJob.progress = nullptr;
            PostMessageA(g_mainWindow, WM_COMMAND, IDM_REPAINT_LIST, 0);
        }
    }
    if (dc != nullptr) DeleteDC(dc);
    SetCursor(g_arrowCursor);
    if (!g_printJob.failed) return;
    // The box belongs to the main window; a dialog that owns the job takes
    // no input while it is up.
    const bool dialogOwner = owner != g_mainWindow;
    if (dialogOwner) EnableWindow(owner, FALSE);
    ShowErrorMessage(IDS_ERR_PRINTING_STOPS);
    if (dialogOwner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
}

void RunPrintJob(HWND owner, PrintPages printPages, const void* job) {
    // While a job runs its abort procedure dispatches the thread's messages;
    // a print command among them starts no second job.
    if (g_printJob.running) return;
    g_printJob.running = true;
    RunJobFrame(owner, printPages, job);
    g_printJob.running = false;
}

int PrintListJob(const PageSink& sink, const void*) {
    const EventTable& table = g_viewer.table;
    return PrintListPages(sink, g_printJob.documentName, table.visibleRows, table.visibleCount);
}

// One event: its entry and the two views it is shown in.
struct EventJob {
    const EventEntry* entry;
    HWND description;
    HWND data;
};

int ViewLineCount(HWND view) { return int(SendMessageA(view, EM_GETLINECOUNT, 0, 0)); }

// A displayed line as the view gives it; the first WORD of the buffer says
// how much it may take.
int ReadViewLine(void* view, int index, char* buffer) {
    char line[kViewLineReadSize + 2];
    *reinterpret_cast<WORD*>(line) = WORD(kViewLineReadSize);
    int n = int(SendMessageA(static_cast<HWND>(view), EM_GETLINE, WPARAM(index), LPARAM(line)));
    if (n < 0) n = 0;
    if (n > kViewLineReadSize) n = kViewLineReadSize;
    memcpy(buffer, line, size_t(n));
    return n;
}

int PrintEventJob(const PageSink& sink, const void* job) {
    const EventJob& j = *static_cast<const EventJob*>(job);
    const ViewLines description = {j.description, ViewLineCount(j.description), ReadViewLine};
    const ViewLines data = {j.data, ViewLineCount(j.data), ReadViewLine};
    return PrintEventPages(sink, g_printJob.documentName, *j.entry, description, data);
}

}  // namespace

// A device context's own font is the driver's choice: some give a 24-point
// font of the Western character set, in which a row of the list runs off the
// page and double-byte text turns into other characters. A printer's usual
// text font is set instead, as a PostScript printer's default device font.
HFONT CreatePrinterFont(HDC printer) {
    CHARSETINFO info = {};
    const DWORD_PTR codePage = GetACP();
    const UINT charset =
        TranslateCharsetInfo(reinterpret_cast<DWORD*>(codePage), &info, TCI_SRCCODEPAGE) ? info.ciCharset : DEFAULT_CHARSET;
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(10, GetDeviceCaps(printer, LOGPIXELSY), 72);
    lf.lfCharSet = BYTE(charset);
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    const char* face = charset == SHIFTJIS_CHARSET ? "MS Gothic" : charset == ANSI_CHARSET ? "Courier New" : "";
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

void PrintEventList() { RunPrintJob(g_mainWindow, PrintListJob, nullptr); }

void PrintEvent(HWND owner, HWND descriptionView, HWND dataView, const EventEntry& entry) {
    const EventJob job = {&entry, descriptionView, dataView};
    RunPrintJob(owner, PrintEventJob, &job);
}

INT_PTR CALLBACK PrintProgressDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        const DEVNAMES* names =
            g_printSetup.hDevNames ? static_cast<const DEVNAMES*>(GlobalLock(g_printSetup.hDevNames)) : nullptr;
        if (names != nullptr) {
            const char* base = reinterpret_cast<const char*>(names);
            SetDlgItemTextA(dialog, IDC_PRINT_DEVICE, base + names->wDeviceOffset);
            SetDlgItemTextA(dialog, IDC_PRINT_PORT, base + names->wOutputOffset);
            GlobalUnlock(g_printSetup.hDevNames);
        }
        SetDlgItemTextA(dialog, IDC_PRINT_DOCUMENT, g_printJob.documentName);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PRINT_CANCEL || LOWORD(wParam) == IDCANCEL) g_printJob.cancelled = true;
        return TRUE;
    default: return FALSE;
    }
}

BOOL CALLBACK PrintAbortProc(HDC, int) {
    MSG msg;
    while (!g_printJob.cancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The program is to end: the job is abandoned and the message loop
        // gets the quit back.
        if (msg.message == WM_QUIT) {
            g_printJob.cancelled = true;
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (g_printJob.progress != nullptr && IsDialogMessageA(g_printJob.progress, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return g_printJob.cancelled ? FALSE : TRUE;
}
