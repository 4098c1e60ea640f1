// The Browse button's folder browser, and centring windows on the desktop.
#include "wizard/browse.h"

#include <string.h>

#include <shlobj.h>

#include "engine/folder.h"
#include "engine/session.h"

static const char BROWSE_TITLE[] = "Select Vorn Installation Folder:";

int browseForFolder(HWND owner)
{
    char displayName[PATH_CAPACITY];  // filled by the browser; nothing reads it
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // start at the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = BROWSE_TITLE;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_VALIDATE;
    info.lpfn = browseCallback;
    info.lParam = 0;
    info.iImage = 0;

    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item)
        return 0;  // cancelled: destinationFolder stays as it was

    // The browser writes at most MAX_PATH (260) characters, which fits the folder
    // buffer; on failure destinationFolder may have been touched, so keep a copy.
    char previous[PATH_CAPACITY];
    memcpy(previous, session.destinationFolder, sizeof previous);
    int result = 0;
    if (SHGetPathFromIDListA(item, session.destinationFolder)) {
        normaliseDestinationFolder();
        result = 1;
    } else {
        memcpy(session.destinationFolder, previous, sizeof previous);
    }

    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) == S_OK) {
        allocator->Free(item);
        allocator->Release();
    }
    return result;
}

int CALLBACK browseCallback(HWND window, UINT message, LPARAM, LPARAM)
{
    if (message == BFFM_INITIALIZED) {
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, (LPARAM)session.destinationFolder);
        centreWindow(window);
    }
    return 0;
}

void centreWindow(HWND window)
{
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = desktop.left + (desktop.right - desktop.left) / 2 - width / 2;
    int y = desktop.top + (desktop.bottom - desktop.top) / 2 - height / 2;
    if (x + width > desktop.right - 10)
        x = desktop.right - 10 - width;
    if (y + height > desktop.bottom - 10)
        y = desktop.bottom - 10 - height;
    if (x < 0)
        x = 1;
    if (y < 0)
        y = 1;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
