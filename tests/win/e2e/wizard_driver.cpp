#include "tests/win/e2e/wizard_driver.h"

#include "tests/win/common/ui_probe.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

const char WIZARD_CAPTION[] = "Vorn v6.02 Installation";
const char DIALOG_CLASS[] = "#32770";
const DWORD POLL_MS = 10;
const DWORD MESSAGE_TIMEOUT_MS = 2000;

// The control that only the page's own group shows.
const int PAGE_MARK[] = {130, 141, 156, 170, 180};

struct BoxSearch {
    DWORD processId;
    const char *caption;
    const char *className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param)
{
    BoxSearch *search = (BoxSearch *)param;
    if (!IsWindowVisible(window))
        return TRUE;
    if (search->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId)
            return TRUE;
    }
    char className[64];
    if (!GetClassNameA(window, className, sizeof className) || strcmp(className, search->className) != 0)
        return TRUE;
    char text[256];
    windowText(window, text, sizeof text);
    if (strcmp(text, search->caption) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND findWindow(DWORD processId, const char *className, const char *caption)
{
    BoxSearch search = {processId, caption, className, nullptr};
    EnumWindows(matchWindow, (LPARAM)&search);
    return search.found;
}

}  // namespace

void wineFromUnix(const char *unixPath, char *out, int capacity)
{
    snprintf(out, capacity, "Z:%s", unixPath);
    for (char *c = out; *c; ++c)
        if (*c == '/')
            *c = '\\';
}

bool waitUntil(bool (*condition)(void *), void *context, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition(context))
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(POLL_MS);
    }
}

bool launchInstaller(Installer *installer, const char *exePath)
{
    memset(installer, 0, sizeof *installer);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    char commandLine[MAX_PATH + 2];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", exePath);
    return CreateProcessA(exePath, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &installer->process) != 0;
}

HWND waitForBox(Installer *installer, const char *caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND box = findWindow(installer->process.dwProcessId, DIALOG_CLASS, caption);
        if (box)
            return box;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(POLL_MS);
    }
}

bool noBoxNow(Installer *installer, const char *caption)
{
    return findWindow(installer->process.dwProcessId, DIALOG_CLASS, caption) == nullptr;
}

bool waitForWizard(Installer *installer)
{
    installer->wizard = waitForBox(installer, WIZARD_CAPTION);
    return installer->wizard != nullptr;
}

bool waitForExit(Installer *installer, DWORD *code)
{
    *code = 0xFFFFFFFF;
    if (WaitForSingleObject(installer->process.hProcess, WAIT_MS) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(installer->process.hProcess, code);
    return true;
}

void closeInstaller(Installer *installer)
{
    if (WaitForSingleObject(installer->process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(installer->process.hProcess, 99);
    CloseHandle(installer->process.hThread);
    CloseHandle(installer->process.hProcess);
    memset(installer, 0, sizeof *installer);
}

HWND control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

bool isShown(HWND dialog, int id)
{
    return IsWindowVisible(control(dialog, id)) != 0;
}

bool isEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(control(dialog, id)) != 0;
}

bool isTicked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(control(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, MESSAGE_TIMEOUT_MS, &state);
    return state == BST_CHECKED;
}

void windowText(HWND window, char *out, int capacity)
{
    DWORD_PTR length = 0;
    out[0] = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, capacity, (LPARAM)out, SMTO_ABORTIFHUNG,
                             MESSAGE_TIMEOUT_MS, &length))
        length = 0;
    out[(int)length < capacity ? length : capacity - 1] = 0;
}

void controlText(HWND dialog, int id, char *out, int capacity)
{
    windowText(control(dialog, id), out, capacity);
}

bool hasFocus(Installer *installer, HWND dialog, int id)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(installer->process.dwThreadId, &info) && info.hwndFocus == control(dialog, id);
}

namespace {

struct PageWait {
    HWND dialog;
    int page;
};

bool pageShown(void *param)
{
    PageWait *wait = (PageWait *)param;
    for (int page = 0; page < 5; ++page)
        if (isShown(wait->dialog, PAGE_MARK[page]) != (page == wait->page))
            return false;
    return true;
}

}  // namespace

bool waitForPage(Installer *installer, int page)
{
    PageWait wait = {installer->wizard, page};
    return waitUntil(pageShown, &wait);
}

bool click(HWND dialog, int id)
{
    HWND button = control(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

void closeBox(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

namespace {

struct TextWait {
    HWND field;
    const char *text;
};

bool fieldReads(void *param)
{
    TextWait *wait = (TextWait *)param;
    char text[DRIVER_TEXT_CAPACITY];
    windowText(wait->field, text, sizeof text);
    return strcmp(text, wait->text) == 0;
}

}  // namespace

bool typeFolder(HWND dialog, const char *text, const char *expected)
{
    HWND field = control(dialog, 152);
    if (!IsWindowVisible(field) || !IsWindowEnabled(field))
        return false;
    // Select everything, then type over it; the field obeys its own limits.
    PostMessageA(field, EM_SETSEL, 0, -1);
    PostMessageA(field, WM_CHAR, VK_BACK, 0);
    for (const char *c = text; *c; ++c)
        PostMessageA(field, WM_CHAR, (unsigned char)*c, 0);
    TextWait wait = {field, expected ? expected : text};
    return waitUntil(fieldReads, &wait, 5000);
}

void boxText(HWND box, char *out, int capacity)
{
    // A message box shows its text in the static control 0xFFFF.
    controlText(box, 0xFFFF, out, capacity);
}

namespace {

bool windowGone(void *param)
{
    return !IsWindow((HWND)param);
}

}  // namespace

bool answerBox(HWND box, int button)
{
    if (!click(box, button))
        return false;
    return waitUntil(windowGone, box);
}

HWND findTopWindow(const char *className, const char *caption)
{
    return findWindow(0, className, caption);
}

bool expect(bool ok, const char *format, ...)
{
    if (ok)
        return true;
    char what[DRIVER_TEXT_CAPACITY];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(what, sizeof what, format, arguments);
    va_end(arguments);
    return check(false, what);
}
