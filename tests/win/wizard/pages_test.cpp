// The wizard's layout and page switch, on the dialog built from the real
// template: group positions after the first layout, the state of every control on
// every page, the way back from the progress page, and where a group ends.
//   wizard_pages_test SCREENSHOT_FOLDER
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "engine/feedback.h"
#include "engine/session.h"
#include "tests/win/common/ui_probe.h"
#include "tests/win/wizard/wizard_fixture.h"
#include "wizard/controls.h"
#include "wizard/pages.h"

static const int TEMPLATE_ORDER[31] = {
    150, 151, 154, 152, 153, 155, 156, 157, 158, 159, 180, 181, 182, 183, 184, 185,
    120, 121, 1, 2, 130, 131, 132, 140, 141, 142, 170, 171, 172, 173, 133,
};
static const int GROUPS[5] = {130, 140, 150, 170, 180};

// Per control in template order: v shown and enabled, d shown and disabled,
// h hidden and disabled, H hidden and enabled.
struct PageCase {
    int page;
    const char *name;
    const char *states;
    const char *forwardText;
    const char *cancelText;
    bool folderReadOnly;
    int focus;
};
//                     options    finish 120/121/1/2 welcome licence progress 133
static const PageCase PAGES[] = {
    {0, "welcome", "hhhhhhhhhh" "hhhhhh" "hhvv" "vvv" "hhh" "hHhH" "v", "&Next >", "Cancel", true, ID_FORWARD},
    {1, "licence", "hhhhhhhhhh" "hhhhhh" "hhvv" "hhh" "vvv" "hHhH" "h", "&Yes", "&No", true, ID_LICENCE_TEXT},
    {2, "options", "vvvvvvvvvv" "hhhhhh" "hhvv" "hhh" "hhh" "hHhH" "h", "&Install", "Cancel", false, ID_FORWARD},
    {3, "progress", "vvvddhhhhh" "hhhhhh" "hhdv" "hhh" "hhh" "vHvH" "h", "&Install", "Abort", true, ID_CANCEL},
    {4, "finish", "hhhhhhhhhh" "vvvvvv" "hhhv" "hhh" "hhh" "hHhH" "h", "&Install", "&Finish", true, ID_CANCEL},
};

static char stateOf(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    bool visible = IsWindowVisible(control), enabled = IsWindowEnabled(control);
    return visible ? (enabled ? 'v' : 'd') : (enabled ? 'H' : 'h');
}

static void statesOf(HWND dialog, char *out)
{
    for (int i = 0; i < 31; ++i)
        out[i] = stateOf(dialog, TEMPLATE_ORDER[i]);
    out[31] = 0;
}

static bool textIs(HWND dialog, int id, const char *expected)
{
    char text[128];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return strcmp(text, expected) == 0;
}

static void checkPage(HWND dialog, const PageCase &c)
{
    char states[32], what[160];
    statesOf(dialog, states);
    snprintf(what, sizeof what, "page %d states %s, expected %s", c.page, states, c.states);
    check(strcmp(states, c.states) == 0, what);
    snprintf(what, sizeof what, "page %d button texts", c.page);
    check(textIs(dialog, ID_FORWARD, c.forwardText) && textIs(dialog, ID_CANCEL, c.cancelText), what);
    snprintf(what, sizeof what, "page %d folder field read-only state", c.page);
    bool readOnly = (GetWindowLongA(GetDlgItem(dialog, ID_FOLDER_FIELD), GWL_STYLE) & ES_READONLY) != 0;
    check(readOnly == c.folderReadOnly, what);
    snprintf(what, sizeof what, "page %d focus on %d (has %d)", c.page, c.focus, GetDlgCtrlID(GetFocus()));
    check(GetFocus() == GetDlgItem(dialog, c.focus), what);
    snprintf(what, sizeof what, "page %d recorded, bar value and status line reset", c.page);
    check(session.currentPage == c.page && session.overallProgress == 0 &&
              textIs(dialog, ID_STATUS_LINE, "Scanning files..."),
          what);
}

// moveGroup puts each group's first control on its target point, keeps the
// group's arrangement and sizes, hides it and leaves everything else alone;
// showGroup(0) then disables all but the bar placeholders.
static void testFirstLayout()
{
    HWND dialog = createWizard();
    RECT before[31];
    for (int i = 0; i < 31; ++i)
        before[i] = controlRect(dialog, TEMPLATE_ORDER[i]);
    auto original = [&](int id) {
        for (int i = 0; i < 31; ++i)
            if (TEMPLATE_ORDER[i] == id)
                return before[i];
        return RECT{};
    };
    RECT client;
    GetClientRect(dialog, &client);
    for (int i = 0; i < 31; ++i)
        check(before[i].top >= client.bottom || TEMPLATE_ORDER[i] < 130, "groups start below the client area");

    for (int group : GROUPS)
        moveGroup(dialog, group);

    RECT status = original(170);
    int progressX = client.right / 2 - (status.right - status.left) / 2;
    int progressY = 20 + original(156).top - original(150).top;
    const POINT targets[5] = {{20, 24}, {20, 20}, {20, 20}, {progressX, progressY}, {20, 30}};
    for (int i = 0; i < 31; ++i) {
        int id = TEMPLATE_ORDER[i];
        RECT now = controlRect(dialog, id);
        int group = -1;
        for (int g = 0; g < 5; ++g)
            if (id >= GROUPS[g] && id < GROUPS[g] + 10)
                group = g;
        char what[96];
        snprintf(what, sizeof what, "control %d moved with its group, size kept", id);
        if (group < 0) {
            check(EqualRect(&now, &before[i]), what);
            continue;
        }
        RECT first = original(GROUPS[group]);
        int dx = targets[group].x - first.left, dy = targets[group].y - first.top;
        check(now.left == before[i].left + dx && now.top == before[i].top + dy &&
                  now.right - now.left == before[i].right - before[i].left &&
                  now.bottom - now.top == before[i].bottom - before[i].top,
              what);
        snprintf(what, sizeof what, "control %d hidden and still enabled after moveGroup", id);
        check(!IsWindowVisible(GetDlgItem(dialog, id)) &&
                  (id == 120 || IsWindowEnabled(GetDlgItem(dialog, id))),
              what);
    }
    check(controlRect(dialog, 170).top == controlRect(dialog, 156).top, "progress group starts at the check boxes");

    for (int group : GROUPS)
        showGroup(dialog, group, 0);
    for (int i = 0; i < 31; ++i) {
        int id = TEMPLATE_ORDER[i];
        if (id < 130)
            continue;
        char expected = (id == 171 || id == 173) ? 'H' : 'h', what[64];
        snprintf(what, sizeof what, "control %d after the first layout", id);
        check(stateOf(dialog, id) == expected, what);
    }
    destroyWizard(dialog);
}

static void saveShot(HWND dialog, const char *folder, const PageCase &c)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s/page-%d-%s.png", folder, c.page, c.name);
    check(saveScreenshot(dialog, path), "screenshot written");
}

// Every page, in the order a run visits them, as one table; then the way back
// from the progress page to the options page.
static void testPages(const char *shots)
{
    HWND dialog = createWizard();
    switchPage(dialog, -1);
    drainMessages();
    checkPage(dialog, PAGES[0]);
    saveShot(dialog, shots, PAGES[0]);
    for (int page = 1; page <= 4; ++page) {
        switchPage(dialog, page);
        drainMessages();
        checkPage(dialog, PAGES[page]);
        if (page == 3) {
            // A run under way, for the picture.
            setStatusText("Extracting file: vorn.hlp");
            RECT bar = controlRect(dialog, ID_OVERALL_BAR);
            session.overallProgress = (bar.right - bar.left) * 45 / 100;
            drawOverallBar(nullptr, nullptr);
            drawFileBar(nullptr, 300, 1000);
        }
        saveShot(dialog, shots, PAGES[page]);
    }

    switchPage(dialog, 2);
    CheckDlgButton(dialog, ID_KEEP_SETTINGS, BST_UNCHECKED);
    switchPage(dialog, 3);
    switchPage(dialog, 2);
    drainMessages();
    checkPage(dialog, PAGES[2]);
    check(IsDlgButtonChecked(dialog, ID_BACKUP_FILES) == BST_CHECKED &&
              IsDlgButtonChecked(dialog, ID_KEEP_SETTINGS) == BST_UNCHECKED,
          "check boxes keep their ticks across the progress page");
    destroyWizard(dialog);
}

// A switch erases both bar areas: what was drawn there is gone afterwards.
static void testSwitchErasesBars()
{
    // On the progress page nothing else lies over the bars; the procedure's own
    // repaint of the overall bar is turned off to see what the switch left.
    HWND dialog = createWizard();
    setPaintsOverallBar(false);
    switchPage(dialog, -1);
    switchPage(dialog, 3);
    drainMessages();
    RECT overall = controlRect(dialog, ID_OVERALL_BAR), file = controlRect(dialog, ID_FILE_BAR);
    HDC dc = GetDC(dialog);
    COLORREF background = GetPixel(dc, 2, 2);
    session.overallProgress = 10;
    drawOverallBar(nullptr, nullptr);
    drawFileBar(nullptr, 1, 2);
    check(GetPixel(dc, overall.left, overall.top) == RGB(0, 0, 0), "overall bar drawn before the switch");
    switchPage(dialog, 3);
    drainMessages();
    RECT client;
    GetClientRect(dialog, &client);
    Pixels px = copyPixels(dc, client);
    bool erased = true;
    for (int y = overall.top; y < overall.bottom; ++y)
        for (int x = overall.left; x < overall.right; ++x)
            erased = erased && pixelAt(px, x, y) == background;
    for (int y = file.top; y < file.bottom; ++y)
        for (int x = file.left; x < file.right; ++x)
            erased = erased && pixelAt(px, x, y) == background;
    freePixels(px);
    check(erased, "both bar areas show the background after a switch");
    ReleaseDC(dialog, dc);
    setPaintsOverallBar(true);
    destroyWizard(dialog);
}

// A group runs from its first identifier to the first one the dialog lacks.
static void testGroupEndsAtMissingId()
{
    HWND dialog = createWizard();
    RECT place = controlRect(dialog, ID_WELCOME_CONTINUE);
    HWND extra = CreateWindowExA(0, "STATIC", "extra", WS_CHILD | WS_VISIBLE, place.left, place.top + 20, 50, 10,
                                 dialog, (HMENU)134, GetModuleHandleA(nullptr), nullptr);
    HWND after = CreateWindowExA(0, "STATIC", "after", WS_CHILD | WS_VISIBLE, place.left, place.top + 40, 50, 10,
                                 dialog, (HMENU)136, GetModuleHandleA(nullptr), nullptr);
    showGroup(dialog, ID_WELCOME_TEXT, 0);
    check(!IsWindowVisible(extra) && !IsWindowEnabled(extra), "control 134 joins the welcome group");
    check(IsWindowVisible(after) && IsWindowEnabled(after), "control 136 lies beyond the gap at 135");

    DestroyWindow(GetDlgItem(dialog, ID_WELCOME_CLOSE_APPS));
    showGroup(dialog, ID_WELCOME_TEXT, 1);
    check(IsWindowVisible(GetDlgItem(dialog, ID_WELCOME_RUNNING)), "131 shown");
    check(!IsWindowVisible(GetDlgItem(dialog, ID_WELCOME_CONTINUE)) && !IsWindowVisible(extra),
          "the group ends where 132 is missing");

    RECT before = controlRect(dialog, ID_WELCOME_CONTINUE);
    moveGroup(dialog, ID_WELCOME_TEXT);
    RECT now = controlRect(dialog, ID_WELCOME_CONTINUE);
    check(EqualRect(&before, &now), "moveGroup leaves controls past the gap in place");
    moveGroup(dialog, 135);  // no such control: nothing happens
    check(IsWindowVisible(after), "moveGroup of a missing identifier does nothing");
    destroyWizard(dialog);
}

// Captions are drawn only on a Wine virtual desktop (there is no window manager
// on the test display), so the test runs itself again on a desktop of its own,
// which Wine makes virtual when the registry gives it a size.
static int runOnVirtualDesktop(int argc, char **argv)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return -1;
    RegSetValueExA(key, "VornShots", 0, REG_SZ, (const BYTE *)"1024x768", 9);
    RegCloseKey(key);

    char self[MAX_PATH], command[3 * MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    snprintf(command, sizeof command, "\"%s\" --on-desktop \"%s\"", self, argv[argc - 1]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = (char *)"VornShots";
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 240000) != WAIT_OBJECT_0) {
        printf("FAIL: the test on the virtual desktop did not finish\n");
        TerminateProcess(process.hProcess, 1);
    } else {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return (int)code;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        printf("usage: wizard_pages_test [--on-desktop] SCREENSHOT_FOLDER\n");
        return 2;
    }
    if (strcmp(argv[1], "--on-desktop") != 0)
        return runOnVirtualDesktop(argc, argv);
    const char *shots = argv[argc - 1];
    CreateDirectoryA(shots, nullptr);
    testFirstLayout();
    testPages(shots);
    testSwitchErasesBars();
    testGroupEndsAtMissingId();
    return testExitCode();
}
