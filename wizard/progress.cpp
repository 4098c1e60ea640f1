// The status line and the two progress bars of the progress page. The bars are
// no controls: they are painted on the dialog inside the rectangles of the hidden
// placeholders 171 and 173, synchronously from inside the installation steps and
// from the paint handler.
#include "engine/feedback.h"

#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "engine/handles.h"
#include "engine/paths.h"
#include "engine/session.h"
#include "wizard/controls.h"
#include "wizard/pages.h"

static const COLORREF OVERALL_FILL = RGB(0, 70, 140);
static const COLORREF FILE_FILL = RGB(0, 200, 100);
static const COLORREF PERCENT_TEXT = RGB(255, 0, 0);
static const COLORREF PERCENT_BACKGROUND = RGB(255, 255, 255);

void setStatusText(const char *text)
{
    SendMessageA(GetDlgItem(wizardDialog, ID_STATUS_LINE), WM_SETTEXT, 0, (LPARAM)text);
}

void updateStatusLine()
{
    char path[PATH_CAPACITY];
    SplitPath parts;
    char text[TEXT_BUFFER_SIZE];
    slotPath(path, session.slotIndex);
    splitPath(path, &parts);  // on failure every part is empty
    if (session.overallProgress > 0 && parts.name[0])
        snprintf(text, sizeof text, "Scanning file: %s%s", parts.name, parts.extension);
    else
        snprintf(text, sizeof text, "Scanning files...");
    setStatusText(text);
}

// Where a bar is drawn: the placeholder's rectangle in the dialog's client
// coordinates, frame included. Answers false when the placeholder is missing.
static bool barRect(int placeholderId, RECT *rect)
{
    HWND placeholder = GetDlgItem(wizardDialog, placeholderId);
    if (!placeholder || !GetWindowRect(placeholder, rect))
        return false;
    ScreenToClient(wizardDialog, (POINT *)&rect->left);
    ScreenToClient(wizardDialog, (POINT *)&rect->right);
    return true;
}

// Frames the bar in black and splits its inside at value: the filled part in
// fill, the remainder white. Answers the remainder's left edge, or -1 when the
// filled part reaches the frame and nothing remains.
static int paintBar(HDC dc, RECT outer, int value, COLORREF fill)
{
    FrameRect(dc, &outer, (HBRUSH)GetStockObject(BLACK_BRUSH));
    RECT inside = {outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
    int remainderLeft = inside.left;
    if (value > 0) {
        int fillRight = outer.left + value;
        if (fillRight >= inside.right) {
            fillRight = inside.right;
            remainderLeft = -1;
        } else {
            remainderLeft = fillRight;
        }
        RECT filled = {inside.left, inside.top, fillRight, inside.bottom};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &filled, brush);
        DeleteObject(brush);
    }
    if (remainderLeft < 0 || remainderLeft >= inside.right)
        return -1;
    RECT remainder = {remainderLeft, inside.top, inside.right, inside.bottom};
    FillRect(dc, &remainder, (HBRUSH)GetStockObject(WHITE_BRUSH));
    return remainderLeft;
}

void drawOverallBar(DeviceContext deviceContext, FILE *file)
{
    RECT outer;
    if (!barRect(ID_OVERALL_BAR, &outer))
        return;
    int width = outer.right - outer.left;

    if (file && session.installerSize == 0)
        session.installerSize = fileSize(file);
    if (file && session.installerSize > 0) {
        // 64-bit product: the value is the same, but large files cannot overflow.
        long position = ftell(file);
        session.overallProgress = (int32_t)((int64_t)position * width / session.installerSize);
    }

    HDC dc = deviceContext ? deviceContext : GetDC(wizardDialog);
    if (!dc)
        return;
    int remainderLeft = paintBar(dc, outer, session.overallProgress, GetNearestColor(dc, OVERALL_FILL));
    if (remainderLeft >= 0 && width > 0) {
        char text[16];
        if (session.overallProgress <= 0)
            snprintf(text, sizeof text, "0%%");
        else
            snprintf(text, sizeof text, "%d%%", (int)((int64_t)session.overallProgress * 100 / width));
        int top = outer.top + 1, bottom = outer.bottom - 1;
        int x = remainderLeft + 4;
        RECT clip = {x, top, outer.right - 1, bottom};
        COLORREF oldText = SetTextColor(dc, PERCENT_TEXT);
        COLORREF oldBackground = SetBkColor(dc, PERCENT_BACKGROUND);
        ExtTextOutA(dc, x, top + (bottom - top) / 5, ETO_CLIPPED, &clip, text, (UINT)strlen(text), nullptr);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBackground);
    }
    if (!deviceContext)
        ReleaseDC(wizardDialog, dc);
}

uint32_t fileBarWidth()
{
    RECT rect;
    HWND placeholder = GetDlgItem(wizardDialog, ID_FILE_BAR);
    if (!placeholder || !GetClientRect(placeholder, &rect))
        return 0;
    return (uint32_t)(rect.right - rect.left);
}

void drawFileBar(DeviceContext deviceContext, uint32_t done, uint32_t total)
{
    RECT outer;
    if (!barRect(ID_FILE_BAR, &outer))
        return;
    HDC dc = deviceContext ? deviceContext : GetDC(wizardDialog);
    if (!dc)
        return;
    uint32_t width = (uint32_t)(outer.right - outer.left);
    // 64-bit product so that files above 4 GB / width bytes still come out right;
    // a value past the end is clamped at the frame by paintBar.
    uint64_t value = total ? (uint64_t)done * width / total : 0;
    paintBar(dc, outer, value > width ? (int)width : (int)value, FILE_FILL);
    if (!deviceContext)
        ReleaseDC(wizardDialog, dc);
}

void clearFileBar()
{
    invalidateControl(wizardDialog, ID_FILE_BAR);
    UpdateWindow(wizardDialog);
}

void *showWaitCursor()
{
    return (void *)SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
}

void restoreCursor(void *previous)
{
    SetCursor((HCURSOR)previous);
}
