#include "tests/win/common/shell_probe.h"

#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

namespace {

const DWORD POLL_MS = 10;
const UINT CLOSE_TIMEOUT_MS = 5000;

HDDEDATA CALLBACK ignoreDde(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

BOOL CALLBACK closeForeignServerName(HWND window, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64];
    if (process != GetCurrentProcessId() && GetClassNameA(window, className, sizeof className) &&
        strstr(className, "DdeServerName"))
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, CLOSE_TIMEOUT_MS, nullptr);
    return TRUE;
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

bool readLink(const char *path, char *target, char *folder)
{
    target[0] = folder[0] = 0;
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         (void **)&link)) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file)) &&
              SUCCEEDED(file->Load(wide, STGM_READ)) &&
              SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
              SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
    if (file)
        file->Release();
    if (link)
        link->Release();
    return ok;
}

DWORD startDdeClient()
{
    DWORD client = 0;
    if (DdeInitializeA(&client, ignoreDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 0;
    return client;
}

bool progmanAnswers(DWORD client)
{
    HSZ name = DdeCreateStringHandleA(client, "PROGMAN", CP_WINANSI);
    if (!name)
        return false;
    HCONV conversation = DdeConnect(client, name, name, nullptr);
    if (conversation)
        DdeDisconnect(conversation);
    DdeFreeStringHandle(client, name);
    return conversation != nullptr;
}

bool waitForWineProgman(DWORD client, DWORD timeoutMs)
{
    GetDesktopWindow();
    DWORD start = GetTickCount();
    for (;;) {
        if (progmanAnswers(client))
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, POLL_MS, QS_ALLINPUT);
        pumpMessages();
    }
}

bool removeForeignDdeServers(DWORD client)
{
    EnumWindows(closeForeignServerName, 0);
    return !progmanAnswers(client);
}
