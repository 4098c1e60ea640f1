// The existing-file policy over whole runs, and the rollback after a decode
// that fails part-way through a run.
#include "tests/win/engine/fixture.h"

#include "engine/paths.h"
#include "engine/placement.h"
#include "engine/session.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

enum { PRODUCT = 1, TEXT, ABSENT };

struct Existing {
    const char *name;   // inside the folder; "backup\..." creates the backup folder
    const char *text;
    bool readOnly;
};

struct Expect {
    const char *name;
    int kind;
    const char *text;   // for TEXT: the content, and the file must be writable
};

struct PolicyCase {
    const char *what;
    const char *folder;
    int backupFiles, keepSettings;
    Existing existing[3];
    Expect expect[5];
};

const PolicyCase POLICY_CASES[] = {
    {"keep settings",
     "C:\\work\\keep", 1, 1,
     {{"vorn.ini", "user ini", true}, {"servers.ini", "user servers", false}},
     {{"vorn.ini", TEXT, "user ini"}, {"servers.ini", TEXT, "user servers"},
      {"backup", ABSENT}}},
    {"replace settings with a backup",
     "C:\\work\\replace", 1, 0,
     {{"vorn.ini", "user ini", false}},
     {{"vorn.ini", PRODUCT}, {"backup\\vorn.ini", TEXT, "user ini"}}},
    {"read-only file overwritten without backup",
     "C:\\work\\readonly", 0, 0,
     {{"vorn.exe", "old exe", true}},
     {{"vorn.exe", PRODUCT}, {"backup", ABSENT}}},
    {"old backup replaced",
     "C:\\work\\oldbackup", 1, 0,
     {{"vorn.exe", "current exe", false}, {"backup\\vorn.exe", "older exe", true}},
     {{"vorn.exe", PRODUCT}, {"backup\\vorn.exe", TEXT, "current exe"}}},
    {"vorn32.exe backed up",
     "C:\\work\\old32", 1, 0,
     {{"vorn32.exe", "old program", false}},
     {{"vorn32.exe", ABSENT}, {"backup\\vorn32.exe", TEXT, "old program"}}},
    {"vorn32.exe left without backup",
     "C:\\work\\keep32", 0, 0,
     {{"vorn32.exe", "old program", true}},
     {{"vorn32.exe", TEXT, "old program"}, {"backup", ABSENT}}},
    {"help index files removed",
     "C:\\work\\gid", 0, 0,
     {{"vorn.gid", "index", true}, {"ircintro.gid", "index", false}},
     {{"vorn.gid", ABSENT}, {"ircintro.gid", ABSENT}}},
    {"folder name with .ini: every existing file is a settings file",
     "C:\\work\\chat.ini", 1, 1,
     {{"vorn.exe", "user exe", false}, {"readme.txt", "user readme", false}},
     {{"vorn.exe", TEXT, "user exe"}, {"readme.txt", TEXT, "user readme"}, {"backup", ABSENT}}},
};

void setUpFolder(const char *folder, const Existing *existing, int count)
{
    removeTree(folder);
    makeFolder(folder);
    for (int i = 0; i < count && existing[i].name; ++i) {
        char path[MAX_PATH];
        if (!strncmp(existing[i].name, "backup\\", 7)) {
            snprintf(path, sizeof path, "%s\\backup", folder);
            makeFolder(path);
        }
        snprintf(path, sizeof path, "%s\\%s", folder, existing[i].name);
        writeText(path, existing[i].text);
        if (existing[i].readOnly)
            SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    }
}

bool listed(const char *name, const Existing *existing, int count)
{
    for (int i = 0; i < count && existing[i].name; ++i)
        if (!strcmp(existing[i].name, name))
            return true;
    return false;
}

void checkExpect(const char *what, const char *folder, const Expect &expect)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", folder, expect.name);
    if (expect.kind == ABSENT) {
        checkf(!pathExists(path), "%s: %s absent", what, expect.name);
    } else if (expect.kind == TEXT) {
        checkf(fileHasText(path, expect.text), "%s: %s holds \"%s\"", what, expect.name, expect.text);
        checkf(!isReadOnly(path), "%s: %s writable", what, expect.name);
    } else {
        const char *name = pathFileName(expect.name);
        for (int slot = 0; slot < 10; ++slot)
            if (!strcmp(name, SLOT_FILE_NAMES[slot]))
                checkf(fileEquals(path, productFiles[slot].data, productFiles[slot].size),
                       "%s: %s is the product file", what, expect.name);
    }
}

// Runs the whole payload file into folder; the answer of the pump.
int runPayload(const char *folder, int backupFiles, int keepSettings, const char *container)
{
    if (beginRun(folder, backupFiles, keepSettings) != Done || !openInstaller(container))
        return -1;
    return pumpToEnd(nullptr);
}

void policyCases(const char *payloadPath)
{
    for (const PolicyCase &c : POLICY_CASES) {
        setUpFolder(c.folder, c.existing, 3);
        BoxWatch box;
        watchBox(&box, 0);
        int answer = runPayload(c.folder, c.backupFiles, c.keepSettings, payloadPath);
        verifyBox(&box, 0, c.what);
        checkf(answer == Done && session.slotIndex == 10, "%s: Done with ten slots", c.what);
        for (const Expect &expect : c.expect)
            if (expect.name)
                checkExpect(c.what, c.folder, expect);
        // Every slot that did not exist before is the product's file.
        for (int slot = 0; slot < 10; ++slot)
            if (!listed(SLOT_FILE_NAMES[slot], c.existing, 3))
                checkExpect(c.what, c.folder, {SLOT_FILE_NAMES[slot], PRODUCT, nullptr});
    }
}

struct RollbackCase {
    const char *what;
    const char *folder;
    bool folderExists;
    int failingSlot;
    int backupFiles, keepSettings;
    Existing existing[3];
    Expect expect[5];
};

const RollbackCase ROLLBACK_CASES[] = {
    {"decode of slot 3 fails in a folder the run created", "C:\\work\\fail3", false, 3, 0, 0,
     {},
     {}},
    {"decode of slot 7 fails in an existing folder", "C:\\work\\fail7", true, 7, 1, 1,
     {{"mine.txt", "mine", false}, {"readme.txt", "user readme", false},
      {"vorn.ini", "user ini", false}},
     {{"mine.txt", TEXT, "mine"}, {"vorn.ini", TEXT, "user ini"},
      {"backup\\readme.txt", TEXT, "user readme"}, {"readme.txt", ABSENT}}},
};

void rollbackCases()
{
    const char *container = "C:\\work\\failing.bin";
    // A decoded size of 0 makes the decoder fail on this slot.
    static const char emptySegment[5] = {0, 0, 0, 0, 0x55};
    for (const RollbackCase &c : ROLLBACK_CASES) {
        Bytes bytes = buildContainer({0, c.failingSlot, emptySegment, sizeof emptySegment, -1, 0});
        writeAll(container, bytes.data, bytes.size);
        free(bytes.data);
        removeTree(c.folder);
        if (c.folderExists)
            setUpFolder(c.folder, c.existing, 3);
        BoxWatch box;
        watchBox(&box, 5);
        int answer = runPayload(c.folder, c.backupFiles, c.keepSettings, container);
        verifyBox(&box, 5, c.what);
        checkf(answer == Failed, "%s: the pump answers Failed (%d)", c.what, answer);
        checkf(session.slotIndex == 0 && session.folderCreated == 0, "%s: run counted back", c.what);
        checkf(!session.installerFile && !session.tempFile, "%s: files closed", c.what);
        checkf(!pathExists(session.tempPath), "%s: temporary file gone", c.what);
        checkf(pathExists(c.folder) == c.folderExists, "%s: folder %s", c.what,
               c.folderExists ? "kept" : "removed");
        for (const Expect &expect : c.expect)
            if (expect.name)
                checkExpect(c.what, c.folder, expect);
        // Nothing the run wrote is left: every slot file is gone or the user's.
        for (int slot = 0; slot < 10; ++slot)
            if (!listed(SLOT_FILE_NAMES[slot], c.existing, 3) ||
                !strcmp(SLOT_FILE_NAMES[slot], "readme.txt"))
                checkExpect(c.what, c.folder, {SLOT_FILE_NAMES[slot], ABSENT, nullptr});
        // The wizard rolls back once more after Failed: harmless.
        rollback();
        checkf(pathExists(c.folder) == c.folderExists && session.slotIndex == 0,
               "%s: a second rollback changes nothing", c.what);
        for (const Expect &expect : c.expect)
            if (expect.name)
                checkExpect(c.what, c.folder, expect);
    }
}

}  // namespace

void policyGroup()
{
    policyCases(payloadPath);
    rollbackCases();
}
