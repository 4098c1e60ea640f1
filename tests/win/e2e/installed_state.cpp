#include "tests/win/e2e/installed_state.h"

#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char *const PRODUCT_FILES[10] = {
    "vorn.exe", "vorn.hlp", "ircintro.hlp", "readme.txt", "versions.txt",
    "vorn.ini", "aliases.ini", "popups.ini", "servers.ini", "urls.ini",
};

const char IGNORE_LIST[] =
    "*.exe,*.com,*.bat,*.dll,*.ini,*.vns,*.vbs,*.js,*.pif,*.scr,*.lnk,*.pl,*.shs,*.htm,*.html";

static const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";

static int compareNames(const void *a, const void *b)
{
    return strcmp((const char *)a, (const char *)b);
}

void listFolder(const char *folder, char *out, int capacity)
{
    enum { MAX_NAMES = 64 };
    static char names[MAX_NAMES][MAX_PATH];
    int count = 0;
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, "..") && count < MAX_NAMES)
                snprintf(names[count++], MAX_PATH, "%s", found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    qsort(names, count, MAX_PATH, compareNames);
    out[0] = 0;
    for (int i = 0; i < count; ++i) {
        size_t used = strlen(out);
        snprintf(out + used, capacity - used, "%s%s", i ? " " : "", names[i]);
    }
}

bool readUninstall(const char *valueName, char *out, int capacity)
{
    out[0] = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = capacity - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, valueName, nullptr, &type, (BYTE *)out, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        out[0] = 0;
        return false;
    }
    out[size < (DWORD)capacity ? size : capacity - 1] = 0;
    return true;
}

void deleteUninstallKey()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

void readIgnoreKey(const char *iniPath, char *out, int capacity)
{
    GetPrivateProfileStringA("text", "ignore", "", out, capacity, iniPath);
}

bool shellFolder(int csidl, char *out)
{
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, out));
}

// The request block that WinHelp sends to a running viewer with WM_COPYDATA.
struct WinHelpBlock {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsPath;
    WORD ofsData;
};

static HelpRequest *helpRequest;

static LRESULT CALLBACK helpViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        COPYDATASTRUCT *copy = (COPYDATASTRUCT *)lParam;
        if (copy->cbData >= sizeof(WinHelpBlock)) {
            const WinHelpBlock *block = (const WinHelpBlock *)copy->lpData;
            helpRequest->command = block->command;
            helpRequest->data = block->data;
            if (block->ofsPath && block->ofsPath < copy->cbData)
                snprintf(helpRequest->file, sizeof helpRequest->file, "%.*s",
                         (int)(copy->cbData - block->ofsPath), (const char *)block + block->ofsPath);
            InterlockedExchange(&helpRequest->received, 1);
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static DWORD WINAPI helpViewerThread(void *ready)
{
    WNDCLASSA viewerClass = {};
    viewerClass.lpfnWndProc = helpViewerProc;
    viewerClass.hInstance = GetModuleHandleA(nullptr);
    viewerClass.lpszClassName = "MS_WINHELP";
    HWND window = RegisterClassA(&viewerClass)
                      ? CreateWindowExA(0, "MS_WINHELP", "Help viewer stand-in", WS_POPUP, 0, 0, 1, 1,
                                        nullptr, nullptr, viewerClass.hInstance, nullptr)
                      : nullptr;
    SetEvent((HANDLE)ready);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

bool startHelpViewer(HelpRequest *request)
{
    memset(request, 0, sizeof *request);
    helpRequest = request;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, helpViewerThread, ready, 0, nullptr);
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
    CloseHandle(thread);
    return FindWindowA("MS_WINHELP", nullptr) != nullptr;
}
