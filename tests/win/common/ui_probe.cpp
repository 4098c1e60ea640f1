#include "tests/win/common/ui_probe.h"

#include <stdio.h>
#include <string.h>

static HWND waitForWindowUnless(const char *caption, DWORD timeoutMs, volatile LONG *cancelled);

namespace {

const DWORD POLL_MS = 10;
const DWORD DEFAULT_TIMEOUT_MS = 20000;
const DWORD GONE_TIMEOUT_MS = 10000;

LONG failures;

struct FindByCaption {
    const char *caption;
    HWND found;
};

bool captionMatches(const char *text, const char *caption)
{
    size_t length = strlen(caption);
    if (length && caption[length - 1] == '*')
        return strncmp(text, caption, length - 1) == 0;
    return strcmp(text, caption) == 0;
}

BOOL CALLBACK matchCaption(HWND window, LPARAM param)
{
    FindByCaption *find = (FindByCaption *)param;
    if (!IsWindowVisible(window))
        return TRUE;
    char text[256];
    // WM_GETTEXT is marshalled across processes; a hung owner must not hang us.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text,
                             SMTO_ABORTIFHUNG, 1000, &length))
        return TRUE;
    text[length < sizeof text ? length : sizeof text - 1] = 0;
    if (!captionMatches(text, find->caption))
        return TRUE;
    find->found = window;
    return FALSE;
}

bool hasClass(HWND window, const char *name)
{
    char className[64];
    return GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, name) == 0;
}

bool isIconStatic(HWND control)
{
    LONG style = GetWindowLongA(control, GWL_STYLE);
    return (style & SS_TYPEMASK) == SS_ICON;
}

struct ChildSearch {
    HWND found;
    bool wantIcon;
    int *ids;
    int capacity;
    int count;
};

BOOL CALLBACK findStatic(HWND control, LPARAM param)
{
    ChildSearch *search = (ChildSearch *)param;
    if (!hasClass(control, "Static") || isIconStatic(control) != search->wantIcon)
        return TRUE;
    search->found = control;
    return FALSE;
}

BOOL CALLBACK collectButton(HWND control, LPARAM param)
{
    ChildSearch *search = (ChildSearch *)param;
    if (!hasClass(control, "Button") || !IsWindowVisible(control))
        return TRUE;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
        return TRUE;
    if (search->count < search->capacity)
        search->ids[search->count++] = GetDlgCtrlID(control);
    return TRUE;
}

HWND findStaticChild(HWND dialog, bool wantIcon)
{
    ChildSearch search = {};
    search.wantIcon = wantIcon;
    EnumChildWindows(dialog, findStatic, (LPARAM)&search);
    return search.found;
}

DWORD WINAPI watchThread(void *param)
{
    BoxWatch *watch = (BoxWatch *)param;
    HWND window = waitForWindowUnless(watch->caption, watch->timeoutMs ? watch->timeoutMs : DEFAULT_TIMEOUT_MS,
                                      &watch->cancelled);
    if (!window)
        return 0;
    watch->seen = true;
    watch->owner = GetWindow(window, GW_OWNER);
    GetWindowTextA(window, watch->shownCaption, sizeof watch->shownCaption);
    readDialogText(window, watch->text, sizeof watch->text);
    watch->buttonCount = dialogButtons(window, watch->buttons, PROBE_MAX_BUTTONS);
    watch->errorIcon = dialogShowsSystemIcon(window, IDI_HAND);
    watch->questionIcon = dialogShowsSystemIcon(window, IDI_QUESTION);
    watch->pressed = pressButton(window, watch->button) && waitForWindowGone(window, GONE_TIMEOUT_MS);
    return 0;
}

}  // namespace

static HWND waitForWindowUnless(const char *caption, DWORD timeoutMs, volatile LONG *cancelled)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindByCaption find = {caption, nullptr};
        EnumWindows(matchCaption, (LPARAM)&find);
        if (find.found)
            return find.found;
        if (GetTickCount() - start >= timeoutMs || (cancelled && *cancelled))
            return nullptr;
        Sleep(POLL_MS);
    }
}

HWND waitForWindow(const char *caption, DWORD timeoutMs)
{
    return waitForWindowUnless(caption, timeoutMs, nullptr);
}

bool waitForWindowGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

bool readDialogText(HWND dialog, char *out, int capacity)
{
    out[0] = 0;
    HWND text = findStaticChild(dialog, false);
    if (!text)
        return false;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(text, WM_GETTEXT, capacity, (LPARAM)out, SMTO_ABORTIFHUNG, 1000, &length))
        return false;
    out[(int)length < capacity ? length : capacity - 1] = 0;
    return true;
}

HICON dialogIcon(HWND dialog)
{
    HWND icon = findStaticChild(dialog, true);
    if (!icon)
        return nullptr;
    DWORD_PTR handle = 0;
    SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &handle);
    return (HICON)handle;
}

bool dialogShowsSystemIcon(HWND dialog, LPCSTR id)
{
    HICON shown = dialogIcon(dialog);
    return shown && shown == LoadIconA(nullptr, id);
}

int dialogButtons(HWND dialog, int *ids, int capacity)
{
    ChildSearch search = {};
    search.ids = ids;
    search.capacity = capacity;
    EnumChildWindows(dialog, collectButton, (LPARAM)&search);
    return search.count;
}

bool pressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != 0;
}

void startBoxWatch(BoxWatch *watch)
{
    watch->seen = watch->pressed = watch->errorIcon = watch->questionIcon = false;
    watch->text[0] = watch->shownCaption[0] = 0;
    watch->buttonCount = 0;
    watch->owner = nullptr;
    watch->cancelled = 0;
    watch->thread = CreateThread(nullptr, 0, watchThread, watch, 0, nullptr);
}

bool finishBoxWatch(BoxWatch *watch)
{
    if (watch->thread) {
        WaitForSingleObject(watch->thread, INFINITE);
        CloseHandle(watch->thread);
        watch->thread = nullptr;
    }
    return watch->seen;
}

bool cancelBoxWatch(BoxWatch *watch)
{
    InterlockedExchange((LONG *)&watch->cancelled, 1);
    return finishBoxWatch(watch);
}

bool check(bool ok, const char *what)
{
    if (!ok) {
        InterlockedIncrement(&failures);
        printf("FAIL: %s\n", what);
        fflush(stdout);
    }
    return ok;
}

int testExitCode()
{
    return failures ? 1 : 0;
}
