// The wizard's five pages. The template stacks every page's controls below the
// client area; the first layout moves each group into view once and hides it,
// and a page switch then only shows, hides, enables and relabels.
#include "wizard/pages.h"

#include "engine/session.h"
#include "wizard/controls.h"

static const int GROUP_FIRST_IDS[5] = {
    ID_WELCOME_TEXT, ID_LICENCE_INTRO, ID_OPTIONS_FOLDER_NOTE, ID_STATUS_LINE, ID_FINISH_SUCCESS,
};

// A control's window rectangle in the dialog's client coordinates.
static RECT clientRectOf(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
    return rect;
}

void moveGroup(HWND dialog, int firstId)
{
    HWND first = GetDlgItem(dialog, firstId);
    if (!first)
        return;
    RECT firstRect = clientRectOf(dialog, first);

    int targetX = 20, targetY = 20;
    if (firstId == ID_WELCOME_TEXT) {
        targetY = 24;
    } else if (firstId == ID_FINISH_SUCCESS) {
        targetY = 30;
    } else if (firstId == ID_STATUS_LINE) {
        // Centred on the status line, starting where the check boxes start, so
        // the folder field above stays in view on the progress page.
        RECT client;
        GetClientRect(dialog, &client);
        int width = firstRect.right - firstRect.left;
        targetX = client.right / 2 - width / 2;
        HWND boxes = GetDlgItem(dialog, ID_BACKUP_FILES);
        targetY = boxes ? clientRectOf(dialog, boxes).top : 20;
    }
    int dx = firstRect.left - targetX;
    int dy = firstRect.top - targetY;

    for (int id = firstId;; ++id) {
        HWND control = GetDlgItem(dialog, id);
        if (!control)
            break;
        RECT rect = clientRectOf(dialog, control);
        SetWindowPos(control, nullptr, rect.left - dx, rect.top - dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
}

void showGroup(HWND dialog, int firstId, int show)
{
    for (int id = firstId;; ++id) {
        HWND control = GetDlgItem(dialog, id);
        if (!control)
            break;
        // The bar placeholders only lend their rectangles; they stay hidden.
        if (id == ID_FILE_BAR || id == ID_OVERALL_BAR)
            continue;
        if (show) {
            EnableWindow(control, TRUE);
            ShowWindow(control, SW_SHOWNORMAL);
        } else {
            ShowWindow(control, SW_HIDE);
            EnableWindow(control, FALSE);
        }
    }
}

void invalidateControl(HWND dialog, int id)
{
    RECT rect;
    if (!GetWindowRect(GetDlgItem(dialog, id), &rect))
        return;
    POINT topLeft = {rect.left, rect.top};
    ScreenToClient(dialog, &topLeft);
    RECT area = {topLeft.x, topLeft.y, topLeft.x + (rect.right - rect.left),
                 topLeft.y + (rect.bottom - rect.top)};
    InvalidateRect(dialog, &area, TRUE);
}

// Relabels a command button, then shows or hides and enables or disables it.
static void setButton(HWND dialog, int id, const char *text, int shown, int enabled)
{
    HWND button = GetDlgItem(dialog, id);
    if (text)
        SendMessageA(button, WM_SETTEXT, 0, (LPARAM)text);
    ShowWindow(button, shown ? SW_SHOWNORMAL : SW_HIDE);
    EnableWindow(button, enabled);
}

static void setFolderField(HWND dialog, int editable)
{
    HWND field = GetDlgItem(dialog, ID_FOLDER_FIELD);
    SendMessageA(field, EM_SETREADONLY, !editable, 0);
    EnableWindow(field, editable);
}

static void hideGroupsExcept(HWND dialog, int page)
{
    for (int i = 0; i < 5; ++i)
        if (i != page)
            showGroup(dialog, GROUP_FIRST_IDS[i], 0);
}

// The progress page keeps the folder part of the options page in view, with a
// Browse button that can no longer be pressed.
static void showProgressControls(HWND dialog)
{
    showGroup(dialog, ID_WELCOME_TEXT, 0);
    showGroup(dialog, ID_LICENCE_INTRO, 0);
    HWND browse = GetDlgItem(dialog, ID_BROWSE);
    ShowWindow(browse, SW_SHOWNORMAL);
    EnableWindow(browse, FALSE);
    for (int id = ID_OPTIONS_HEADING; id <= ID_OPTIONS_INSTALL_NOTE; ++id) {
        HWND control = GetDlgItem(dialog, id);
        ShowWindow(control, SW_HIDE);
        EnableWindow(control, FALSE);
    }
    showGroup(dialog, ID_FINISH_SUCCESS, 0);
    showGroup(dialog, ID_STATUS_LINE, 1);
}

void switchPage(HWND dialog, int page)
{
    if (page == -1) {
        for (int i = 0; i < 5; ++i)
            moveGroup(dialog, GROUP_FIRST_IDS[i]);
        for (int i = 0; i < 5; ++i)
            showGroup(dialog, GROUP_FIRST_IDS[i], 0);
        page = PageWelcome;
    }
    session.currentPage = page;
    session.overallProgress = 0;
    SendMessageA(GetDlgItem(dialog, ID_STATUS_LINE), WM_SETTEXT, 0, (LPARAM) "Scanning files...");
    invalidateControl(dialog, ID_OVERALL_BAR);
    invalidateControl(dialog, ID_FILE_BAR);

    HWND focus = nullptr;
    switch (page) {
    case PageWelcome:
        hideGroupsExcept(dialog, page);
        showGroup(dialog, ID_WELCOME_TEXT, 1);
        setButton(dialog, ID_BACK, nullptr, 0, 0);
        setButton(dialog, ID_FORWARD, "&Next >", 1, 1);
        setButton(dialog, ID_CANCEL, "Cancel", 1, 1);
        setFolderField(dialog, 0);
        focus = GetDlgItem(dialog, ID_FORWARD);
        break;
    case PageLicence:
        hideGroupsExcept(dialog, page);
        showGroup(dialog, ID_LICENCE_INTRO, 1);
        setButton(dialog, ID_BACK, nullptr, 0, 0);
        setButton(dialog, ID_FORWARD, "&Yes", 1, 1);
        setButton(dialog, ID_CANCEL, "&No", 1, 1);
        setFolderField(dialog, 0);
        focus = GetDlgItem(dialog, ID_LICENCE_TEXT);
        break;
    case PageOptions:
        hideGroupsExcept(dialog, page);
        showGroup(dialog, ID_OPTIONS_FOLDER_NOTE, 1);
        setButton(dialog, ID_BACK, nullptr, 0, 0);
        setButton(dialog, ID_FORWARD, "&Install", 1, 1);
        setButton(dialog, ID_CANCEL, "Cancel", 1, 1);
        setFolderField(dialog, 1);
        focus = GetDlgItem(dialog, ID_FORWARD);
        break;
    case PageProgress:
        showProgressControls(dialog);
        setButton(dialog, ID_BACK, nullptr, 0, 0);
        setButton(dialog, ID_FORWARD, "&Install", 1, 0);
        setButton(dialog, ID_CANCEL, "Abort", 1, 1);
        setFolderField(dialog, 0);
        focus = GetDlgItem(dialog, ID_CANCEL);
        break;
    case PageFinish:
        MessageBeep(MB_OK);
        hideGroupsExcept(dialog, page);
        showGroup(dialog, ID_FINISH_SUCCESS, 1);
        setButton(dialog, ID_BACK, nullptr, 0, 0);
        setButton(dialog, ID_FORWARD, nullptr, 0, 0);
        setButton(dialog, ID_CANCEL, "&Finish", 1, 1);
        setFolderField(dialog, 0);
        focus = GetDlgItem(dialog, ID_CANCEL);
        break;
    default:
        break;
    }
    if (focus)
        SetFocus(focus);
    UpdateWindow(dialog);
}
