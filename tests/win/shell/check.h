// Small helpers shared by the shell test programs: failure reporting, waiting
// for a condition with a deadline while this thread's messages are pumped, and
// where a Windows path lies on the Linux side.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures;

#define CHECK(condition, ...)                                          \
    do {                                                               \
        if (!(condition)) {                                            \
            ++failures;                                                \
            printf("FAIL %s:%d: ", __FILE__, __LINE__);                \
            printf(__VA_ARGS__);                                       \
            printf("\n");                                              \
            fflush(stdout);                                            \
        }                                                              \
    } while (0)

// The program's exit code: prints how many checks failed (1) or that all passed (0).
static inline int checksResult()
{
    if (failures) {
        printf("%d failure(s)\n", failures);
        return 1;
    }
    printf("all passed\n");
    return 0;
}

// Pumps this thread's messages until condition() holds; false after timeoutMs.
template <typename Condition>
static inline bool waitUntil(Condition condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// True when the Windows path resolves, on the Linux side, inside the test's own
// prefix or home (VORN_TEST_PREFIX, VORN_TEST_HOME), so nothing leaks out.
static inline bool insideTestTree(const char *windowsPath)
{
    typedef char *(CDECL *UnixName)(LPCWSTR);
    UnixName unixName = (UnixName)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                 "wine_get_unix_file_name");
    const char *prefix = getenv("VORN_TEST_PREFIX");
    const char *home = getenv("VORN_TEST_HOME");
    if (unixName == nullptr || prefix == nullptr || home == nullptr)
        return false;
    WCHAR wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, wide, MAX_PATH) == 0)
        return false;
    char *path = unixName(wide);
    if (path == nullptr)
        return false;
    bool inside = strncmp(path, prefix, strlen(prefix)) == 0 ||
                  strncmp(path, home, strlen(home)) == 0;
    printf("%s -> %s\n", windowsPath, path);
    HeapFree(GetProcessHeap(), 0, path);
    return inside;
}
