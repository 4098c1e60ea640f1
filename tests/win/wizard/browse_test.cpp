// The folder browser driven as a user would: it opens centred with the current
// folder selected, OK hands back the folder normalised, Cancel changes nothing.
// And centreWindow on windows of several sizes.
#include <stdio.h>
#include <string.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "engine/session.h"
#include "tests/win/common/ui_probe.h"
#include "wizard/browse.h"

static const char BROWSE_TITLE[] = "Select Vorn Installation Folder:";

static void testCentreWindow()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    if (!check(desktop.left == 0 && desktop.top == 0 && desktop.right == 1024 && desktop.bottom == 768,
               "desktop of 1024 x 768"))
        return;
    struct {
        int width, height, x, y;
        const char *what;
    } cases[] = {
        {400, 300, 312, 234, "centred"},
        {401, 301, 312, 234, "halves rounded toward zero"},
        {1150, 300, 1, 234, "wider than the desktop: left edge clamped to 1"},
        {1024, 300, 1, 234, "as wide as the desktop: 10 pixels kept on the right, then 1"},
        {400, 750, 312, 8, "raised to keep 10 pixels below"},
        {400, 900, 312, 1, "taller than the desktop: top clamped to 1"},
    };
    for (auto &c : cases) {
        HWND window = CreateWindowExA(0, "STATIC", "centre me", WS_POPUP, 5, 5, c.width, c.height, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        centreWindow(window);
        RECT r;
        GetWindowRect(window, &r);
        char text[128];
        snprintf(text, sizeof text, "%s: %d x %d lands at (%ld, %ld), size %ld x %ld", c.what, c.width, c.height,
                 r.left, r.top, r.right - r.left, r.bottom - r.top);
        check(r.left == c.x && r.top == c.y && r.right - r.left == c.width && r.bottom - r.top == c.height, text);
        DestroyWindow(window);
    }
}

// The browser window: a visible top-level dialog of this process that shows the
// title text.
static BOOL CALLBACK hasTitle(HWND child, LPARAM found)
{
    char text[64];
    if (GetWindowTextA(child, text, sizeof text) && strcmp(text, BROWSE_TITLE) == 0) {
        *(bool *)found = true;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK findBrowser(HWND window, LPARAM out)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    bool found = false;
    EnumChildWindows(window, hasTitle, (LPARAM)&found);
    if (found) {
        *(HWND *)out = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK findTree(HWND child, LPARAM out)
{
    char name[32];
    if (GetClassNameA(child, name, sizeof name) && strcmp(name, WC_TREEVIEWA) == 0) {
        *(HWND *)out = child;
        return FALSE;
    }
    return TRUE;
}

// What the driving thread saw of the browser, and which button it pressed.
struct BrowserVisit {
    int button;
    bool seen;
    bool centred;
    char selected[MAX_PATH];  // selected tree item and its parent, "parent\item"
};

static void treeItemText(HWND tree, HTREEITEM item, char *out, int capacity)
{
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = out;
    data.cchTextMax = capacity;
    out[0] = 0;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&data);
}

static DWORD WINAPI driveBrowser(void *param)
{
    BrowserVisit *visit = (BrowserVisit *)param;
    HWND browser = nullptr;
    DWORD start = GetTickCount();
    while (!browser && GetTickCount() - start < 20000) {
        EnumWindows(findBrowser, (LPARAM)&browser);
        if (!browser)
            Sleep(10);
    }
    if (!browser)
        return 0;
    visit->seen = true;
    HWND tree = nullptr;
    EnumChildWindows(browser, findTree, (LPARAM)&tree);
    // The selection is made while the browser initialises; wait for it to show.
    char item[MAX_PATH] = "", parent[MAX_PATH] = "";
    while (tree && GetTickCount() - start < 20000) {
        HTREEITEM selected = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        if (selected) {
            treeItemText(tree, selected, item, sizeof item);
            HTREEITEM up = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)selected);
            treeItemText(tree, up, parent, sizeof parent);
            if (strcmp(item, "Games") == 0)
                break;
        }
        Sleep(10);
    }
    snprintf(visit->selected, sizeof visit->selected, "%s\\%s", parent, item);
    RECT desktop, r;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(browser, &r);
    int dx = (r.left + r.right) / 2 - (desktop.left + desktop.right) / 2;
    int dy = (r.top + r.bottom) / 2 - (desktop.top + desktop.bottom) / 2;
    visit->centred = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
    pressButton(browser, visit->button);
    return 0;
}

static int browseWith(BrowserVisit *visit)
{
    HANDLE thread = CreateThread(nullptr, 0, driveBrowser, visit, 0, nullptr);
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    int result = browseForFolder(owner);
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    DestroyWindow(owner);
    return result;
}

static void testBrowser()
{
    CreateDirectoryA("C:\\Picks", nullptr);
    CreateDirectoryA("C:\\Picks\\Games", nullptr);

    // Cancel: nothing changes.
    strcpy(session.destinationFolder, "C:\\Picks\\Games");
    BrowserVisit cancel = {IDCANCEL};
    int result = browseWith(&cancel);
    check(cancel.seen, "browser opened");
    check(result == 0 && strcmp(session.destinationFolder, "C:\\Picks\\Games") == 0, "Cancel changes nothing");

    // OK: the preselected folder comes back, normalised.
    BrowserVisit ok = {IDOK};
    result = browseWith(&ok);
    check(ok.seen, "browser opened again");
    char what[MAX_PATH + 40];
    snprintf(what, sizeof what, "current folder selected (%s)", ok.selected);
    check(strcmp(ok.selected, "Picks\\Games") == 0, what);
    check(ok.centred, "browser centred on the desktop");
    snprintf(what, sizeof what, "OK hands back the folder normalised (%s)", session.destinationFolder);
    check(result == 1 && strcmp(session.destinationFolder, "C:\\Picks\\Games\\Vorn") == 0, what);
}

// The browser has no status area (flags 0x21), so the callback answers every
// notification but the first with 0 and sends the browser nothing.
static UINT messagesToBrowser;

static LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER)
        ++messagesToBrowser;
    return DefWindowProcA(window, message, wParam, lParam);
}

static void testCallbackWithoutStatusArea()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = countingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VornFakeBrowser";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "VornFakeBrowser", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    char path[] = "C:\\Picks";
    check(browseCallback(window, BFFM_SELCHANGED, 0, 0) == 0 &&
              browseCallback(window, BFFM_VALIDATEFAILEDA, (LPARAM)path, 0) == 0 && messagesToBrowser == 0,
          "selection changes and validation failures send no status text");
    DestroyWindow(window);
}

int main()
{
    CoInitialize(nullptr);
    InitCommonControls();
    testCentreWindow();
    testCallbackWithoutStatusArea();
    testBrowser();
    CoUninitialize();
    return testExitCode();
}
