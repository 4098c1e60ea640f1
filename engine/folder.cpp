// Which destination folder the wizard proposes, and how a folder picked in the
// browser is given a folder of the product's own.
#include "engine/folder.h"

#include "engine/paths.h"
#include "engine/session.h"
#include "shell/registry.h"
#include "wizard/controls.h"

#include <string.h>

namespace {

const char UNINSTALL_SWITCH[] = " -uninstall";

// Turns the registered command line in session.destinationFolder into the folder
// it names, or an empty text when that folder no longer exists.
void commandLineToFolder()
{
    char *text = session.destinationFolder;
    if (text[0] == '"') {
        const char *start = text + 1;
        while (*start == ' ')
            ++start;
        memmove(text, start, strlen(start) + 1);
        if (char *quote = strchr(text, '"'))
            *quote = 0;
    }
    if (char *cut = strstr(text, UNINSTALL_SWITCH))
        *cut = 0;

    SplitPath parts;
    // A command too long to split names no usable folder.
    if (!splitPath(text, &parts) ||
        !joinPath(text, PATH_CAPACITY, parts.drive, parts.directory))
        text[0] = 0;
    size_t length = strlen(text);
    if (length > 0 && text[length - 1] == '\\')
        text[length - 1] = 0;
    if (text[0] && !pathExists(text))
        text[0] = 0;
}

// The default: the program folder on the Windows directory's drive, else a
// folder on the installer's own drive.
void proposeDefault()
{
    char *folder = session.destinationFolder;
    folder[0] = 0;
    char system[PATH_CAPACITY];
    UINT length = GetWindowsDirectoryA(system, sizeof system);
    SplitPath parts;
    if (length > 0 && length < sizeof system && splitPath(system, &parts)) {
        char programs[PATH_CAPACITY];
        joinPath(programs, sizeof programs, parts.drive, "\\Program Files");
        if (pathExists(programs))
            joinPath(folder, PATH_CAPACITY, programs, "\\Vorn");
    }
    if (folder[0])
        return;
    char module[PATH_CAPACITY];
    length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module || !splitPath(module, &parts))
        parts.drive[0] = 0;   // no drive known: the current drive's root
    joinPath(folder, PATH_CAPACITY, parts.drive, "\\Vorn");
}

}  // namespace

void initDestinationFolder(HWND dialog)
{
    session.previousFolder[0] = 0;
    session.destinationFolder[0] = 0;
    if (readUninstallValue("UninstallString", session.destinationFolder)) {
        commandLineToFolder();
        strcpy(session.previousFolder, session.destinationFolder);   // same capacity
    }
    normaliseDestinationFolder();
    // Deliberately unchecked: while the folder does not exist yet, the current
    // directory stays as it was.
    SetCurrentDirectoryA(session.destinationFolder);
    SendDlgItemMessageA(dialog, ID_FOLDER_FIELD, WM_SETTEXT, 0, (LPARAM)session.destinationFolder);
}

void normaliseDestinationFolder()
{
    char *folder = session.destinationFolder;
    size_t length = strlen(folder);
    if (length <= 1) {
        proposeDefault();
        return;
    }
    if (session.previousFolder[0] && equalsIgnoringCaseAZ(folder, session.previousFolder))
        return;
    char lower[PATH_CAPACITY];
    lowerCopyAZ(lower, folder);
    if (strstr(lower, "\\vorn"))
        return;
    const char *suffix = folder[length - 1] == '\\' ? "Vorn" : "\\Vorn";
    // A folder with no room left stays as it is; installing into it is refused.
    char joined[PATH_CAPACITY];
    if (joinPath(joined, sizeof joined, folder, suffix))
        strcpy(folder, joined);
}
