// Program entry: the host window that opens the wizard, the message loop, and the
// finishing actions once the wizard has closed.
#include "engine/handles.h"
#include "engine/paths.h"
#include "engine/session.h"
#include "shell/registry.h"
#include "shell/shortcut.h"
#include "wizard/controls.h"
#include "wizard/dialog.h"

#include <ddeml.h>
#include <shellapi.h>
#include <stdio.h>

namespace {

const char CLASS_NAME[] = "Vorn v6.02 Installation";
const DWORD HOST_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU;
enum { CLOSE_DELAY_MS = 50, LAUNCH_SETTLE_MS = 500, HELP_CONTEXT_INTRO = 10 };

// Runs once the host window has been shown: the whole wizard lives in this call.
LRESULT onShowWizard(HWND window)
{
    INT_PTR result = DialogBoxParamA(appInstance, "INSTALL_DLG", hostWindow, wizardDialogProc, 0);
    if (result == -1)
        MessageBoxA(nullptr, "Unable to display dialog", "System Error", MB_SYSTEMMODAL | MB_ICONERROR);
    SetTimer(window, STEP_TIMER, CLOSE_DELAY_MS, nullptr);
    return 0;
}

// Runs when the close delay after the wizard is over.
LRESULT onHostTimer(HWND window)
{
    KillTimer(window, STEP_TIMER);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_SHOW_WIZARD:
        return onShowWizard(window);
    case WM_TIMER:
        return onHostTimer(window);
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The Program Manager conversation needs no data from us: every transaction gets none.
HDDEDATA CALLBACK ddeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

bool registerHostClass(HINSTANCE instance)
{
    WNDCLASSA hostClass = {};
    hostClass.style = CS_BYTEALIGNWINDOW;
    hostClass.lpfnWndProc = hostWindowProc;
    hostClass.hInstance = instance;
    hostClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_HOST));
    hostClass.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    hostClass.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
    hostClass.lpszClassName = CLASS_NAME;
    return RegisterClassA(&hostClass) != 0;
}

void runMessageLoop()
{
    MSG message;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// "<destinationFolder>\name" into out; false when it would not fit (the action is
// then skipped rather than run on a cut path).
bool installedPath(char *out, const char *name)
{
    int length = snprintf(out, TEXT_BUFFER_SIZE, "%s\\%s", session.destinationFolder, name);
    return length > 0 && length < TEXT_BUFFER_SIZE;
}

// The actions after the wizard has closed. None reports anything: each is tried once.
void finishInstallation()
{
    char program[TEXT_BUFFER_SIZE];
    char settings[TEXT_BUFFER_SIZE];
    char help[TEXT_BUFFER_SIZE];
    bool haveProgram = installedPath(program, "vorn.exe");
    bool haveSettings = installedPath(settings, "vorn.ini");
    bool haveHelp = installedPath(help, "vorn.hlp");

    if (ddeInstance)
        DdeUninitialize(ddeInstance);
    if (session.finished) {
        registerUninstall();
        if (session.createIcons && haveProgram)
            createDesktopShortcut(program);
    }
    if (haveSettings && pathExists(settings))
        adjustSettingsFile(settings);
    if (session.launchProgram && haveProgram) {
        // Keep the system's critical-error and missing-file boxes away while starting it.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        ShellExecuteA(nullptr, "open", program, "", session.destinationFolder, SW_SHOW);
        SetErrorMode(0);
        Sleep(LAUNCH_SETTLE_MS);
    }
    if (session.openHelp && haveHelp)
        WinHelpA(nullptr, help, HELP_CONTEXT, HELP_CONTEXT_INTRO);
    CoUninitialize();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    appInstance = instance;
    if (!registerHostClass(instance))
        return 0;
    hostWindow = CreateWindowExA(0, CLASS_NAME, CLASS_NAME, HOST_STYLE, 0, 0, 0, 0,
                                 nullptr, nullptr, instance, nullptr);
    if (!hostWindow)
        return 0;
    ShowWindow(hostWindow, showCommand);
    UpdateWindow(hostWindow);
    CoInitialize(nullptr);   // a failure shows up later, as a shortcut that is not made
    DdeInitializeA(&ddeInstance, ddeCallback, APPCLASS_STANDARD, 0);   // 0 stays on failure
    session.finished = 0;
    PostMessageA(hostWindow, UM_SHOW_WIZARD, 0, 0);
    runMessageLoop();
    finishInstallation();
    return 0;
}

// The process starts here, not in the C runtime's start-up code: the installer
// reads no command line, builds no global object and registers nothing to run at
// exit, and msvcrt.dll sets up its own stdio as it loads. Leaving that code out
// keeps about 10 KB off the stub. The linker names this the entry point
// (cmake/Installer.cmake).
extern "C" void WINAPI installerEntry()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), showCommand));
}
