// The status line and the two bars, read back from the dialog's pixels: frame,
// fill colours, white remainder, the percentage's text, place and clipping.
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "engine/feedback.h"
#include "engine/handles.h"
#include "engine/session.h"
#include "tests/win/common/ui_probe.h"
#include "tests/win/wizard/wizard_fixture.h"
#include "wizard/controls.h"
#include "wizard/pages.h"

static const COLORREF BLACK = RGB(0, 0, 0), WHITE = RGB(255, 255, 255), RED = RGB(255, 0, 0);
static const COLORREF FILE_GREEN = RGB(0, 200, 100);

enum { MAX_BAR = 400 };

// One column of a bar's inside, classified.
enum Column { Fill, White, Text, Other };

// What the pixels of a bar show: frame intact, and per inside column whether it
// is fill, plain white or carries red text.
struct BarPicture {
    bool frameBlack;
    int width;
    Column columns[MAX_BAR];
};

static BarPicture readBar(const Pixels &px, RECT r, COLORREF fill)
{
    BarPicture picture = {};
    picture.width = r.right - r.left;
    picture.frameBlack = true;
    for (int x = r.left; x < r.right; ++x)
        picture.frameBlack = picture.frameBlack && pixelAt(px, x, r.top) == BLACK &&
                             pixelAt(px, x, r.bottom - 1) == BLACK;
    for (int y = r.top; y < r.bottom; ++y)
        picture.frameBlack = picture.frameBlack && pixelAt(px, r.left, y) == BLACK &&
                             pixelAt(px, r.right - 1, y) == BLACK;
    for (int x = r.left + 1; x < r.right - 1 && x - r.left < MAX_BAR; ++x) {
        int fills = 0, whites = 0, reds = 0, rows = r.bottom - r.top - 2;
        for (int y = r.top + 1; y < r.bottom - 1; ++y) {
            COLORREF c = pixelAt(px, x, y);
            fills += c == fill;
            whites += c == WHITE;
            reds += c == RED;
        }
        Column &column = picture.columns[x - r.left];
        if (fills == rows)
            column = Fill;
        else if (whites == rows)
            column = White;
        else if (reds > 0 && reds + whites == rows)
            column = Text;
        else
            column = Other;
    }
    return picture;
}

// The percentage as it should look, drawn the same way (red on white, the
// window's default font, 4 columns into the remainder, a fifth of the inside's
// height down, clipped at the frame) on a white window of the bar's size, so that
// font smoothing is the same as on the dialog.
struct Reference {
    HWND window;
    HDC dc;
    Pixels pixels;
};

// Paints the expected picture of the remainder onto the reference window, which
// has the bar's size, and reads it back.
static void drawReference(Reference *ref, RECT bar, int remainderLeft, const char *text)
{
    int width = bar.right - bar.left, height = bar.bottom - bar.top;
    RECT all = {0, 0, width, height};
    FillRect(ref->dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetTextColor(ref->dc, RED);
    SetBkColor(ref->dc, WHITE);
    int x = remainderLeft - bar.left + 4, top = 1, bottom = height - 1;
    RECT clip = {x, top, width - 1, bottom};
    if (text)
        ExtTextOutA(ref->dc, x, top + (bottom - top) / 5, ETO_CLIPPED, &clip, text, (UINT)strlen(text), nullptr);
    ref->pixels = copyPixels(ref->dc, all);
}

struct OverallCase {
    int value;      // overallProgress; with fromWidth, added to W
    bool fromWidth;
    const char *text;  // expected percentage, or null for none
};

static void testOverallBar(HWND dialog)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VornReference";
    RegisterClassA(&windowClass);

    RECT r = controlRect(dialog, ID_OVERALL_BAR);
    int w = r.right - r.left;
    check(w > 100 && w < MAX_BAR, "overall bar wider than 100 pixels");
    Reference ref;
    ref.window = CreateWindowExA(WS_EX_TOOLWINDOW, "VornReference", "", WS_POPUP | WS_VISIBLE, 600, 500, w,
                                 r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    drainMessages();
    ref.dc = GetDC(ref.window);
    char half[16], nearlyFull[16];
    snprintf(half, sizeof half, "%d%%", (w / 2) * 100 / w);
    snprintf(nearlyFull, sizeof nearlyFull, "%d%%", (w - 7) * 100 / w);
    const OverallCase cases[] = {
        {0, false, "0%"}, {-5, false, "0%"}, {1, false, "0%"}, {w / 2, false, half}, {w - 7, false, nearlyFull},  // 6 white columns: the text is cut at the frame
        {-2, true, nullptr},  // one white column left: the text would start past it
        {-1, true, nullptr}, {0, true, nullptr}, {40, true, nullptr},
    };
    for (const OverallCase &c : cases) {
        int value = c.fromWidth ? w + c.value : c.value;
        int filledEnd = value > 0 ? (value < w - 1 ? value : w - 1) : 1;  // first unfilled column
        drawReference(&ref, r, r.left + filledEnd, c.text);
        bool referenceInked = false;
        for (int x = filledEnd; x < w - 1; ++x)
            for (int y = 1; y < r.bottom - r.top - 1; ++y)
                referenceInked = referenceInked || pixelAt(ref.pixels, x, y) != WHITE;
        if (c.text && !check(referenceInked, "reference text drawn")) {
            freePixels(ref.pixels);
            continue;
        }
        session.overallProgress = value;
        // Both ways of getting a device context: lent by the caller and obtained.
        for (int lend = 0; lend < 2; ++lend) {
            InvalidateRect(dialog, nullptr, TRUE);
            UpdateWindow(dialog);
            HDC dc = GetDC(dialog);
            drawOverallBar(lend ? dc : nullptr, nullptr);
            Pixels px = copyPixels(dc, r);
            BarPicture picture = readBar(px, r, GetNearestColor(dc, RGB(0, 70, 140)));
            bool ok = picture.frameBlack;
            char seen[MAX_BAR];
            for (int x = 1; x < w - 1; ++x) {
                seen[x - 1] = "FWT?"[picture.columns[x]];
                if (x < filledEnd) {
                    ok = ok && picture.columns[x] == Fill;
                    continue;
                }
                for (int y = 1; y < r.bottom - r.top - 1; ++y)
                    ok = ok && pixelAt(px, r.left + x, r.top + y) == pixelAt(ref.pixels, x, y);
            }
            seen[w - 2] = 0;
            char what[2 * MAX_BAR];
            snprintf(what, sizeof what, "overall bar at %d of %d (%s, dc %s): %s", value, w,
                     c.text ? c.text : "no text", lend ? "lent" : "obtained", seen);
            check(ok, what);
            freePixels(px);
            ReleaseDC(dialog, dc);
        }
        freePixels(ref.pixels);
    }
    ReleaseDC(ref.window, ref.dc);
    DestroyWindow(ref.window);
    check(session.overallProgress == w + 40, "drawing without a file keeps the value");
}

// With the installer's file, the value follows its read position.
static void testOverallBarFromFile(HWND dialog)
{
    RECT r = controlRect(dialog, ID_OVERALL_BAR);
    int w = r.right - r.left;
    FILE *file = tmpfile();
    for (int i = 0; i < 1000; ++i)
        fputc(i, file);
    fseek(file, 500, SEEK_SET);
    session.installerSize = 0;
    session.overallProgress = 0;
    drawOverallBar(nullptr, file);
    check(session.installerSize == 1000, "installer size measured");
    check(session.overallProgress == 500 * w / 1000, "value from the read position");
    check(ftell(file) == 500, "read position unchanged");
    fseek(file, 999, SEEK_SET);
    drawOverallBar(nullptr, file);
    check(session.overallProgress == 999 * w / 1000, "value follows the position");
    fclose(file);

    FILE *empty = tmpfile();
    session.installerSize = 0;
    session.overallProgress = 7;
    drawOverallBar(nullptr, empty);
    check(session.overallProgress == 7, "an empty file leaves the value alone");
    fclose(empty);
}

static void testFileBar(HWND dialog)
{
    RECT r = controlRect(dialog, ID_FILE_BAR);
    int w = r.right - r.left;
    RECT client;
    GetClientRect(GetDlgItem(dialog, ID_FILE_BAR), &client);
    check(fileBarWidth() == (uint32_t)w && client.right == w, "fileBarWidth is the placeholder's width");
    check(r.bottom - r.top >= 3, "file bar has an inside");
    struct {
        uint32_t done, total;
        int filledEnd;  // first unfilled inside column
    } cases[] = {
        {0, 0, 1}, {5, 0, 1}, {0, 100, 1}, {50, 100, 50 * w / 100}, {100, 100, w - 1}, {300, 100, w - 1},
        {4000000000u, 4000000000u, w - 1}, {2000000000u, 4000000000u, w / 2},
    };
    for (auto &c : cases) {
        InvalidateRect(dialog, nullptr, TRUE);
        UpdateWindow(dialog);
        drawFileBar(nullptr, c.done, c.total);
        HDC dc = GetDC(dialog);
        Pixels px = copyPixels(dc, r);
        BarPicture picture = readBar(px, r, FILE_GREEN);
        freePixels(px);
        ReleaseDC(dialog, dc);
        int filledEnd = c.filledEnd < 1 ? 1 : c.filledEnd;
        bool ok = picture.frameBlack;
        for (int x = 1; x < w - 1; ++x)
            ok = ok && picture.columns[x] == (x < filledEnd ? Fill : White);
        char what[96];
        snprintf(what, sizeof what, "file bar at %u of %u", c.done, c.total);
        check(ok, what);
    }

    HDC dc = GetDC(dialog);
    COLORREF background = GetPixel(dc, 2, 2);
    clearFileBar();
    Pixels px = copyPixels(dc, r);
    bool erased = true;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            erased = erased && pixelAt(px, x, y) == background;
    freePixels(px);
    ReleaseDC(dialog, dc);
    check(erased, "clearFileBar leaves the dialog's background");
}

static void testStatusLine(HWND dialog)
{
    struct {
        const char *folder;
        int slot, progress;
        const char *text;
    } cases[] = {
        {"C:\\Vorn", 1, 0, "Scanning files..."},
        {"C:\\Vorn", 1, 5, "Scanning file: vorn.hlp"},
        {"C:\\Vorn", 9, 1, "Scanning file: urls.ini"},
        {"C:\\Vorn", 10, 5, "Scanning files..."},  // past the last slot: no path
    };
    char text[300];
    for (auto &c : cases) {
        snprintf(session.destinationFolder, PATH_CAPACITY, "%s", c.folder);
        session.slotIndex = c.slot;
        session.overallProgress = c.progress;
        updateStatusLine();
        GetDlgItemTextA(dialog, ID_STATUS_LINE, text, sizeof text);
        char what[96];
        snprintf(what, sizeof what, "status line for slot %d at %d: %s", c.slot, c.progress, text);
        check(strcmp(text, c.text) == 0, what);
    }
    // A folder so long that the slot's path does not fit gives no name.
    memset(session.destinationFolder, 'a', 295);
    session.destinationFolder[295] = 0;
    session.slotIndex = 0;
    session.overallProgress = 5;
    updateStatusLine();
    GetDlgItemTextA(dialog, ID_STATUS_LINE, text, sizeof text);
    check(strcmp(text, "Scanning files...") == 0, "status line without a name");

    setStatusText("Extracting file: vorn.exe");
    GetDlgItemTextA(dialog, ID_STATUS_LINE, text, sizeof text);
    check(strcmp(text, "Extracting file: vorn.exe") == 0, "setStatusText");
}

static void testWaitCursor()
{
    HCURSOR arrow = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    SetCursor(arrow);
    void *previous = showWaitCursor();
    check(GetCursor() == LoadCursorA(nullptr, (LPCSTR)IDC_WAIT), "wait cursor shown");
    restoreCursor(previous);
    check(previous == arrow && GetCursor() == arrow, "previous cursor restored");
}

int main()
{
    HWND dialog = createWizard();
    if (!check(dialog != nullptr, "dialog created from INSTALL_DLG"))
        return testExitCode();
    setPaintsOverallBar(false);
    switchPage(dialog, -1);
    switchPage(dialog, 3);
    drainMessages();
    testOverallBar(dialog);
    testOverallBarFromFile(dialog);
    testFileBar(dialog);
    testStatusLine(dialog);
    testWaitCursor();
    destroyWizard(dialog);
    return testExitCode();
}
