// The destination folder rules against Wine's registry and folders. Drive D: is
// a folder of the build tree that the wrapper script maps.
#include "tests/win/engine/fixture.h"

#include "engine/folder.h"
#include "engine/paths.h"
#include "engine/session.h"
#include "shell/registry.h"

#include <stdio.h>
#include <string.h>

namespace {

const char KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";

void normalising()
{
    struct Row {
        const char *previous, *picked, *expected;
    } rows[] = {
        {"", "D:\\", "D:\\Vorn"},
        {"", "D:\\Games", "D:\\Games\\Vorn"},
        {"", "D:\\Games\\", "D:\\Games\\Vorn"},
        {"", "D:\\vornstuff", "D:\\vornstuff"},
        {"", "D:\\Games\\VORN", "D:\\Games\\VORN"},
        {"", "D:\\Vorn\\Downloads", "D:\\Vorn\\Downloads"},
        {"", "D:\\xvorn", "D:\\xvorn\\Vorn"},
        {"C:\\Apps\\Chat", "c:\\apps\\chat", "c:\\apps\\chat"},
        {"C:\\Apps\\Chat", "C:\\Apps", "C:\\Apps\\Vorn"},
        {"", "X", "C:\\Program Files\\Vorn"},
        {"", "", "C:\\Program Files\\Vorn"},
    };
    for (const Row &row : rows) {
        strcpy(session.previousFolder, row.previous);
        strcpy(session.destinationFolder, row.picked);
        normaliseDestinationFolder();
        checkf(!strcmp(session.destinationFolder, row.expected), "normalise \"%s\": \"%s\" (got \"%s\")",
               row.picked, row.expected, session.destinationFolder);
    }
    // A folder with no room left for the product's name is not cut.
    char full[PATH_CAPACITY];
    memset(full, 'a', sizeof full - 1);
    full[sizeof full - 1] = 0;
    full[0] = 'D', full[1] = ':', full[2] = '\\';
    session.previousFolder[0] = 0;
    strcpy(session.destinationFolder, full);
    normaliseDestinationFolder();
    check(!strcmp(session.destinationFolder, full), "normalise a full buffer: left as it is");
}

void proposals()
{
    makeFolder("C:\\Apps");
    makeFolder("C:\\Apps\\Chat");
    makeFolder("D:\\Apps");
    makeFolder("D:\\Apps\\Chat");
    HWND dialog = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    CreateWindowA("EDIT", "", WS_CHILD, 0, 0, 10, 10, dialog, (HMENU)152, nullptr, nullptr);
    struct Row {
        const char *registered;   // null: no registration
        const char *previous, *proposed;
    } rows[] = {
        {nullptr, "", "C:\\Program Files\\Vorn"},
        {"\"C:\\Apps\\Chat\\vorn.exe\" -uninstall", "C:\\Apps\\Chat", "C:\\Apps\\Chat"},
        {"C:\\Apps\\Chat\\vorn.exe -uninstall", "C:\\Apps\\Chat", "C:\\Apps\\Chat"},
        {"\"   C:\\Apps\\Chat\\vorn.exe\" -uninstall", "C:\\Apps\\Chat", "C:\\Apps\\Chat"},
        {"\"C:\\Gone\\vorn.exe\" -uninstall", "", "C:\\Program Files\\Vorn"},
        {"\"C:\\vorn.exe\" -uninstall", "C:", "C:"},
        {"\"D:\\Apps\\Chat\\vorn.exe\" -uninstall", "D:\\Apps\\Chat", "D:\\Apps\\Chat"},
    };
    for (const Row &row : rows) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, KEY);
        if (row.registered)
            writeUninstallValue("UninstallString", row.registered);
        SetCurrentDirectoryA("C:\\work");
        initDestinationFolder(dialog);
        char shown[PATH_CAPACITY] = "", current[MAX_PATH] = "";
        GetDlgItemTextA(dialog, 152, shown, sizeof shown);
        GetCurrentDirectoryA(sizeof current, current);
        const char *what = row.registered ? row.registered : "no registration";
        checkf(!strcmp(session.previousFolder, row.previous), "%s: previous folder \"%s\" (got \"%s\")",
               what, row.previous, session.previousFolder);
        checkf(!strcmp(session.destinationFolder, row.proposed), "%s: proposed \"%s\" (got \"%s\")",
               what, row.proposed, session.destinationFolder);
        checkf(!strcmp(shown, row.proposed), "%s: edit box shows the proposal", what);
        // The proposal becomes the current directory only where it exists.
        const char *expectedCurrent = pathExists(row.proposed) && strlen(row.proposed) > 2
                                          ? row.proposed : "C:\\work";
        checkf(equalsIgnoringCaseAZ(current, expectedCurrent), "%s: current directory %s (got %s)",
               what, expectedCurrent, current);
    }
    DestroyWindow(dialog);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, KEY);
}

// No program folder on the Windows drive: the installer's own drive is used.
// A copy of this program started from D:\Downloads makes the proposal.
void installerDriveDefault()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, KEY);
    bool moved = MoveFileA("C:\\Program Files", "C:\\Program Files.away");
    check(moved, "no program folder: C:\\Program Files moved away");
    makeFolder("D:\\Downloads");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    CopyFileA(self, "D:\\Downloads\\engine_tests.exe", FALSE);
    DeleteFileA("C:\\work\\proposal.txt");
    char command[] = "D:\\Downloads\\engine_tests.exe propose C:\\work\\proposal.txt";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    DWORD exitCode = 1;
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "D:\\Downloads",
                       &startup, &child)) {
        if (WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(child.hProcess, &exitCode);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    if (moved)
        MoveFileA("C:\\Program Files.away", "C:\\Program Files");
    check(exitCode == 0 && fileHasText("C:\\work\\proposal.txt", "D:\\Vorn"),
          "no program folder, installer on D:\\Downloads: D:\\Vorn proposed");
    DeleteFileA("D:\\Downloads\\engine_tests.exe");
}

}  // namespace

void folderGroup()
{
    if (!check(pathExists("D:\\"), "drive D: is mapped"))
        return;
    normalising();
    proposals();
    installerDriveDefault();
}
