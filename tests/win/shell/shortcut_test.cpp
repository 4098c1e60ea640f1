// createDesktopShortcut on the desktop of the test's own prefix: the saved link,
// the old Vorn32.lnk deleted outright, an existing Vorn.lnk replaced, what gives
// -1 and touches nothing, desktops whose paths are near or past the 260-character
// link path, and a thread without COM.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "engine/handles.h"
#include "engine/session.h"
#include "shell/shortcut.h"
#include "tests/win/common/file_probe.h"
#include "tests/win/common/shell_probe.h"
#include "check.h"

static const char DESTINATION[] = "C:\\Program Files\\Vorn";
static const char TARGET[] = "C:\\Program Files\\Vorn\\vorn.exe";
static const char OLD_CONTENT[] = "not a link";

static const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Checks that path is a link to TARGET working in DESTINATION.
static void checkLink(const char *path)
{
    char target[MAX_PATH] = "";
    char folder[MAX_PATH] = "";
    CHECK(readLink(path, target, folder), "cannot read the link %s", path);
    CHECK(lstrcmpiA(target, TARGET) == 0, "%s points to '%s'", path, target);
    CHECK(strcmp(folder, DESTINATION) == 0, "%s works in '%s'", path, folder);
}

static void setDesktop(const char *folder)
{
    HKEY key;
    CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS,
          "cannot open the shell folders key");
    RegSetValueExA(key, "Desktop", 0, REG_EXPAND_SZ, (const BYTE *)folder, (DWORD)strlen(folder) + 1);
    RegCloseKey(key);
}

// The desktop path as this program's shell reports it, with a final backslash.
static void shellDesktop(char *out)
{
    out[0] = 0;
    CHECK(SHGetSpecialFolderPathA(nullptr, out, CSIDL_DESKTOPDIRECTORY, FALSE), "no desktop folder");
    size_t length = strlen(out);
    if (length > 0 && out[length - 1] != '\\')
        strcat(out, "\\");
}

// Makes a folder and all its parents.
static void makeFolders(const char *path)
{
    char partial[MAX_PATH];
    for (size_t i = 3; i <= strlen(path); ++i)
        if (path[i] == '\\' || path[i] == 0) {
            memcpy(partial, path, i);
            partial[i] = 0;
            CreateDirectoryA(partial, nullptr);
        }
}

// The shell reads the desktop's path once a process, so each other desktop is
// tried in a child process of this program; its exit code is the result.
static LONG shortcutInChild()
{
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    char commandLine[MAX_PATH + 16];
    snprintf(commandLine, sizeof commandLine, "\"%s\" child", program);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child;
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
        return 1;
    DWORD code = 1;
    CHECK(WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0, "child hangs");
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return (LONG)code;
}

static DWORD WINAPI withoutCom(void *result)
{
    *(LONG *)result = createDesktopShortcut(TARGET);
    return 0;
}

int main(int argc, char **argv)
{
    CoInitialize(nullptr);
    strcpy(session.destinationFolder, DESTINATION);
    if (argc > 1 && strcmp(argv[1], "child") == 0)
        return (int)createDesktopShortcut(TARGET);
    makeFolders(DESTINATION);
    CHECK(writeText(TARGET, "program"), "cannot write the target");

    char desktop[MAX_PATH];
    shellDesktop(desktop);
    CHECK(insideTestTree(desktop), "the desktop %s lies outside the test's prefix", desktop);
    char oldLink[MAX_PATH];
    char link[MAX_PATH];
    snprintf(oldLink, sizeof oldLink, "%sVorn32.lnk", desktop);
    snprintf(link, sizeof link, "%sVorn.lnk", desktop);

    // A target without a file-name part: -1, and neither shortcut is touched.
    writeText(oldLink, OLD_CONTENT);
    writeText(link, OLD_CONTENT);
    const char *const NO_FILE_NAME[] = {"C:\\Program Files\\Vorn\\", "C:\\Program Files\\Vorn/", "C:", "",
                                        "C:\\Program Files\\Vorn\\.exe"};
    for (const char *target : NO_FILE_NAME) {
        CHECK(createDesktopShortcut(target) == -1, "target '%s' not refused", target);
        CHECK(fileHasText(oldLink, OLD_CONTENT) && fileHasText(link, OLD_CONTENT),
              "target '%s': a shortcut was touched", target);
    }

    // Both present: the old one is deleted outright, the new one replaced.
    CHECK(createDesktopShortcut(TARGET) == 0, "shortcut not saved");
    CHECK(!fileExists(oldLink), "Vorn32.lnk still there");
    checkLink(link);
    SHQUERYRBINFO bin;
    memset(&bin, 0, sizeof bin);
    bin.cbSize = sizeof bin;
    CHECK(SUCCEEDED(SHQueryRecycleBinA(nullptr, &bin)) && bin.i64NumItems == 0,
          "the Recycle Bin holds %d item(s)", (int)bin.i64NumItems);
    char trash[MAX_PATH];
    snprintf(trash, sizeof trash, "Z:%s/.local/share/Trash/files/Vorn32.lnk", getenv("VORN_TEST_HOME"));
    for (char *c = trash; *c; ++c)
        if (*c == '/')
            *c = '\\';
    CHECK(!fileExists(trash), "Vorn32.lnk went to the trash %s", trash);

    // Without COM on the thread: the HRESULT of creating the link object; the old
    // shortcut has already gone by then.
    writeText(oldLink, OLD_CONTENT);
    DeleteFileA(link);
    LONG result = 0;
    HANDLE thread = CreateThread(nullptr, 0, withoutCom, &result, 0, nullptr);
    CHECK(WaitForSingleObject(thread, 30000) == WAIT_OBJECT_0, "thread without COM hangs");
    CloseHandle(thread);
    CHECK(result < 0 && result != -1, "without COM: result %ld", (long)result);
    CHECK(!fileExists(oldLink) && !fileExists(link), "without COM: a shortcut is on the desktop");

    CHECK(!shellDeleteFile("") && !shellDeleteFile(nullptr), "deleting no path succeeded");

    // Desktops elsewhere: a drive root already ends in a backslash; a desktop of 248
    // characters leaves just room for "\Vorn32.lnk"; one of 250 would not, and is
    // refused rather than cut.
    struct DesktopCase {
        int length;        // 0: the drive root
        LONG expected;
    };
    const DesktopCase DESKTOPS[] = {{0, 0}, {248, 0}, {250, -1}};
    for (const DesktopCase &c : DESKTOPS) {
        char folder[MAX_PATH] = "C:\\";
        if (c.length > 0) {
            strcpy(folder, "C:\\deep");
            while ((int)strlen(folder) < c.length)
                strcat(folder, (c.length - strlen(folder)) > 60 ? "\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefgh"
                                                                 : "x");
            folder[c.length] = 0;
            makeFolders(folder);
        }
        setDesktop(folder);
        shellDesktop(desktop);
        CHECK(strncmp(desktop, folder, strlen(folder)) == 0, "desktop is %s", desktop);
        LONG result = shortcutInChild();
        CHECK(result == c.expected, "desktop of %d characters: result %ld", c.length, (long)result);
        snprintf(link, sizeof link, "%sVorn.lnk", desktop);
        if (c.expected == 0)
            checkLink(link);
        else
            CHECK(!fileExists(link), "desktop of %d characters: a link was made", c.length);
    }

    CoUninitialize();
    return checksResult();
}
