// createProgramGroup against Wine's own PROGMAN server (the shell's DDE server
// in the desktop process): the group Vorn and its five items end up as .lnk
// files in the Start Menu's Programs folder, each pointing to its file in the
// destination folder with that folder as working folder.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include "engine/handles.h"
#include "engine/session.h"
#include "shell/progman.h"
#include "tests/win/common/file_probe.h"
#include "tests/win/common/shell_probe.h"
#include "check.h"

static const char DESTINATION[] = "C:\\Program Files\\Vorn";

struct Item {
    const char *linkName;
    const char *file;   // as the installer writes it
};

static const Item ITEMS[] = {
    {"Vorn.lnk", "vorn.exe"},
    {"Vorn Help.lnk", "vorn.hlp"},
    {"IRC Intro.lnk", "ircintro.hlp"},
    {"Readme.txt.lnk", "readme.txt"},
    {"Versions.txt.lnk", "versions.txt"},
};

int main()
{
    CoInitialize(nullptr);
    ddeInstance = startDdeClient();
    CHECK(ddeInstance != 0, "client instance");

    // The installed files: the server makes items only for files that exist.
    CreateDirectoryA(DESTINATION, nullptr);
    char path[MAX_PATH];
    for (const Item &item : ITEMS) {
        snprintf(path, sizeof path, "%s\\%s", DESTINATION, item.file);
        CHECK(writeText(path, "sample\r\n"), "cannot write %s", path);
    }
    char programs[MAX_PATH];
    CHECK(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs)), "Programs folder");
    CHECK(insideTestTree(programs), "Programs folder %s lies outside the test's prefix", programs);
    char group[MAX_PATH];
    snprintf(group, sizeof group, "%s\\Vorn", programs);
    // An item left by an earlier version, which the script's last command removes.
    char oldItem[MAX_PATH];
    snprintf(oldItem, sizeof oldItem, "%s\\Vorn32.lnk", group);
    CreateDirectoryA(group, nullptr);
    CHECK(writeText(oldItem, "old"), "cannot write %s", oldItem);

    CHECK(waitForWineProgman(ddeInstance, 30000), "Wine's PROGMAN server never came up");

    strcpy(session.destinationFolder, DESTINATION);
    // The first run meets no items to replace (those ReplaceItems fail); the second,
    // like a retry, replaces each one.
    for (int run = 1; run <= 2; ++run) {
        CHECK(createProgramGroup(), "run %d: result false", run);
        CHECK(serviceHandle == 0 && topicHandle == 0 && conversation == 0,
              "run %d: conversation state left behind", run);
        for (const Item &item : ITEMS) {
            snprintf(path, sizeof path, "%s\\%s", group, item.linkName);
            char target[MAX_PATH] = "";
            char folder[MAX_PATH] = "";
            char expected[MAX_PATH];
            snprintf(expected, sizeof expected, "%s\\%s", DESTINATION, item.file);
            CHECK(readLink(path, target, folder), "run %d: cannot read %s", run, path);
            CHECK(lstrcmpiA(target, expected) == 0, "run %d: %s points to '%s', expected '%s'",
                  run, item.linkName, target, expected);
            CHECK(strcmp(folder, DESTINATION) == 0, "run %d: %s works in '%s'", run, item.linkName, folder);
        }
        CHECK(GetFileAttributesA(oldItem) == INVALID_FILE_ATTRIBUTES, "run %d: Vorn32 item still there", run);
    }

    DdeUninitialize(ddeInstance);
    CoUninitialize();
    return checksResult();
}
