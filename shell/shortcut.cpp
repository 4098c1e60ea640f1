// The desktop shortcut Vorn.lnk to the installed program, made with the shell's
// link object; an old Vorn32.lnk goes first.
#include "shell/shortcut.h"

#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "engine/handles.h"
#include "engine/session.h"

enum {
    SPLIT_LIMIT = 260,         // only this much of a path is looked at when splitting
    DELETE_LIST_SIZE = 300,    // the shell's source list: the path and two NULs
};

static const char OLD_LINK_NAME[] = "Vorn32.lnk";   // the longest name appended
static const char LINK_NAME[] = "Vorn.lnk";

// True when the path's file-name part (after drive and directory, before the
// extension's dot) is not empty.
static bool hasFileName(const char *path)
{
    int length = 0;
    int nameStart = 0;
    while (length < SPLIT_LIMIT && path[length] != 0) {
        char c = path[length];
        ++length;
        if (c == '\\' || c == '/' || (length == 2 && c == ':'))
            nameStart = length;
    }
    int extensionStart = length;
    for (int i = nameStart; i < length; ++i)
        if (path[i] == '.')
            extensionStart = i;
    return extensionStart > nameStart;
}

// The desktop folder's path with a final backslash, in a buffer of MAX_PATH;
// false when the shell does not know it.
static bool desktopFolder(char *desktop)
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(hostWindow, CSIDL_DESKTOP, &items)) || items == nullptr)
        return false;
    BOOL found = SHGetPathFromIDListA(items, desktop);
    CoTaskMemFree(items);
    if (!found)
        return false;
    size_t length = strlen(desktop);
    if (length > 1 && desktop[length - 1] != '\\') {
        if (length + 1 >= MAX_PATH)
            return false;
        desktop[length] = '\\';
        desktop[length + 1] = 0;
    }
    return true;
}

// Formats desktop and name into a MAX_PATH buffer; false when it would not fit.
static bool linkPath(char *out, const char *desktop, const char *name)
{
    int length = snprintf(out, MAX_PATH, "%s%s", desktop, name);
    return length >= 0 && length < MAX_PATH;
}

LONG createDesktopShortcut(const char *target)
{
    if (!hasFileName(target))
        return -1;
    char desktop[MAX_PATH];
    if (!desktopFolder(desktop))
        return -1;
    // A desktop too deep for the longer name gets no shortcut at all, and the old
    // one is left alone: a cut path would put a link somewhere else.
    char path[MAX_PATH];
    if (!linkPath(path, desktop, OLD_LINK_NAME))
        return -1;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        shellDeleteFile(path);   // a failure does not stop the new shortcut
    linkPath(path, desktop, LINK_NAME);   // shorter than the old name: fits

    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0)
        return -1;

    IShellLinkA *link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, (void **)&link);
    if (FAILED(result))
        return result;
    IPersistFile *file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, (void **)&file);
    if (FAILED(result)) {
        link->Release();
        return result;
    }
    // Results ignored: a link missing either value is still saved and usable.
    link->SetPath(target);
    link->SetWorkingDirectory(session.destinationFolder);
    result = file->Save(widePath, TRUE);
    file->Release();
    link->Release();
    return result;
}

bool shellDeleteFile(const char *path)
{
    if (path == nullptr || path[0] == 0)
        return false;
    size_t length = strlen(path);
    if (length + 2 > DELETE_LIST_SIZE)
        return false;   // no room for the list's two NULs: refused, never cut
    char sources[DELETE_LIST_SIZE];
    memset(sources, 0, sizeof sources);
    memcpy(sources, path, length);

    SHFILEOPSTRUCTA operation;
    memset(&operation, 0, sizeof operation);
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources;
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;   // no FOF_ALLOWUNDO: not to the bin
    return SHFileOperationA(&operation) == 0;
}
