// Faults of the real world, each with its message, a complete rollback and the
// user's own files untouched. Drive T: is a small tmpfs that the wrapper script
// mounts (64 KiB, 64 inodes).
#include "tests/win/engine/fixture.h"

#include "engine/paths.h"
#include "engine/placement.h"
#include "engine/session.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

void checkRolledBack(const char *what)
{
    checkf(session.slotIndex == 0 && session.folderCreated == 0, "%s: run counted back", what);
    checkf(!session.installerFile && !session.tempFile, "%s: files closed", what);
    checkf(!pathExists(session.tempPath), "%s: temporary file gone", what);
}

int runPayload(const char *folder, int backupFiles)
{
    if (beginRun(folder, backupFiles, 0) != Done || !openInstaller(payloadPath))
        return -1;
    return pumpToEnd(nullptr);
}

// The destination disk fills up while vorn.exe is decoded.
void fullDestinationDisk()
{
    const char *what = "full destination disk";
    writeText("T:\\mine.txt", "mine");
    BoxWatch box;
    watchBox(&box, 5);
    int answer = runPayload("T:\\Vorn", 0);
    verifyBox(&box, 5, what);
    checkf(answer == Failed, "%s: Failed (%d)", what, answer);
    checkRolledBack(what);
    check(!pathExists("T:\\Vorn"), "full destination disk: created folder removed");
    check(fileHasText("T:\\mine.txt", "mine") && countEntries("T:\\") == 1,
          "full destination disk: the user's file alone and untouched");
    DeleteFileA("T:\\mine.txt");
}

// Fills the rest of drive T: with one file.
void fillDriveT()
{
    FILE *filler = fopen("T:\\filler", "wb");
    static char block[4096];
    while (filler && fwrite(block, 1, sizeof block, filler) == sizeof block)
        ;
    if (filler)
        fclose(filler);
}

// A small file fits the stream's buffer, so only its close meets the full disk:
// the failed close must count as a failed placement, and the file must go.
void failedClose()
{
    const char *what = "failed close on a full disk";
    makeFolder("T:\\Vorn");
    fillDriveT();
    writeAll("C:\\work\\segment3.bin", segments[3].data, segments[3].size);
    strcpy(session.destinationFolder, "T:\\Vorn");
    resetSession();
    session.slotIndex = 3;
    BoxWatch box;
    watchBox(&box, 5);
    int answer = decodeToDestination("C:\\work\\segment3.bin", "T:\\Vorn\\readme.txt");
    verifyBox(&box, 5, what);
    checkf(answer == Failed && session.slotIndex == 0, "%s: not placed (%d)", what, answer);
    checkf(!pathExists("T:\\Vorn\\readme.txt"), "%s: cut file removed", what);
    DeleteFileA("T:\\filler");
    removeTree("T:\\Vorn");
    checkf(countEntries("T:\\") == 0, "%s: T: cleaned", what);
}

// The temporary folder's disk fills up while a segment is copied: nothing may
// be placed from the cut segment. A large segment fails on a write; a small one,
// held in the stream's buffer, only when the file is closed.
void fullTemporaryDisk()
{
    struct Row {
        const char *what;
        bool smallSegment;
    } rows[] = {{"full temporary disk", false}, {"full temporary disk, small segment", true}};
    const char *smallContainer = "C:\\work\\small.bin";
    Bytes bytes = buildContainer({0, 0, (const char *)segments[3].data, segments[3].size, -1, 0});
    writeAll(smallContainer, bytes.data, bytes.size);
    free(bytes.data);
    for (const Row &row : rows) {
        char savedTmp[MAX_PATH], savedTemp[MAX_PATH];
        GetEnvironmentVariableA("TMP", savedTmp, sizeof savedTmp);
        GetEnvironmentVariableA("TEMP", savedTemp, sizeof savedTemp);
        SetEnvironmentVariableA("TMP", "T:\\");
        SetEnvironmentVariableA("TEMP", "T:\\");
        removeTree("C:\\work\\fulltemp");
        if (row.smallSegment)
            fillDriveT();
        BoxWatch box;
        watchBox(&box, 17);
        int answer = -1;
        if (beginRun("C:\\work\\fulltemp", 0, 0) == Done &&
            openInstaller(row.smallSegment ? smallContainer : payloadPath))
            answer = pumpToEnd(nullptr);
        verifyBox(&box, 17, row.what);
        SetEnvironmentVariableA("TMP", savedTmp);
        SetEnvironmentVariableA("TEMP", savedTemp);
        checkf(answer == Failed, "%s: Failed (%d)", row.what, answer);
        checkf(!strcmp(session.tempPath, "T:\\vorn.tmp"), "%s: temporary file on T: (%s)", row.what,
               session.tempPath);
        checkRolledBack(row.what);
        checkf(!pathExists("C:\\work\\fulltemp"), "%s: nothing placed, folder removed", row.what);
        DeleteFileA("T:\\filler");
        checkf(countEntries("T:\\") == 0, "%s: T: empty again", row.what);
    }
}

// Another process that holds a file open without sharing (this program's
// "hold" mode), until stopHolder.
struct Holder {
    HANDLE ready, release;
    PROCESS_INFORMATION child;
};

bool startHolder(Holder *holder, const char *path)
{
    holder->ready = CreateEventA(nullptr, TRUE, FALSE, "VornTestHoldReady");
    holder->release = CreateEventA(nullptr, TRUE, FALSE, "VornTestHoldRelease");
    ResetEvent(holder->ready);
    ResetEvent(holder->release);
    char self[MAX_PATH], command[3 * MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    snprintf(command, sizeof command, "\"%s\" hold %s", self, path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    holder->child = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &holder->child))
        return false;
    HANDLE waits[2] = {holder->ready, holder->child.hProcess};
    return WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
}

void stopHolder(Holder *holder)
{
    SetEvent(holder->release);
    if (holder->child.hProcess) {
        WaitForSingleObject(holder->child.hProcess, 30000);
        CloseHandle(holder->child.hProcess);
        CloseHandle(holder->child.hThread);
    }
    CloseHandle(holder->ready);
    CloseHandle(holder->release);
}

// readme.txt is held: the run stops at slot 3 and leaves that file exactly as
// it was.
void heldFile(int backupFiles)
{
    const char *what = backupFiles ? "held file with backup" : "held file";
    const char *folder = "C:\\work\\held";
    removeTree(folder);
    makeFolder(folder);
    writeText("C:\\work\\held\\readme.txt", "user readme");
    writeText("C:\\work\\held\\mine.txt", "mine");
    Holder holder;
    if (!checkf(startHolder(&holder, "C:\\work\\held\\readme.txt"),
                "%s: other process holds readme.txt", what)) {
        stopHolder(&holder);
        return;
    }
    int error = backupFiles ? 7 : 4;
    BoxWatch box;
    watchBox(&box, error);
    int answer = runPayload(folder, backupFiles);
    verifyBox(&box, error, what);
    if (backupFiles) {
        checkf(answer == BackToOptions, "%s: back to the options (%d)", what, answer);
        rollback();   // as the wizard does after BackToOptions
    } else {
        checkf(answer == Failed, "%s: Failed (%d)", what, answer);
    }
    stopHolder(&holder);

    checkRolledBack(what);
    checkf(fileHasText("C:\\work\\held\\readme.txt", "user readme"), "%s: held file untouched", what);
    checkf(fileHasText("C:\\work\\held\\mine.txt", "mine"), "%s: user's file untouched", what);
    checkf(countEntries(folder) == 2 + backupFiles, "%s: only the user's files (and backup) left",
           what);
    checkf(!backupFiles || countEntries("C:\\work\\held\\backup") == 0, "%s: backup empty", what);
}

// A held vorn32.exe cannot be backed up: the message shows, but the run goes on.
void heldOldProgram()
{
    const char *what = "held vorn32.exe";
    const char *folder = "C:\\work\\held32";
    removeTree(folder);
    makeFolder(folder);
    writeText("C:\\work\\held32\\vorn32.exe", "old program");
    Holder holder;
    if (!checkf(startHolder(&holder, "C:\\work\\held32\\vorn32.exe"), "%s: held", what)) {
        stopHolder(&holder);
        return;
    }
    BoxWatch box;
    watchBox(&box, 7);
    int answer = runPayload(folder, 1);
    verifyBox(&box, 7, what);
    stopHolder(&holder);
    checkf(answer == Done && session.slotIndex == 10, "%s: the run goes on to Done (%d)", what,
           answer);
    checkf(fileHasText("C:\\work\\held32\\vorn32.exe", "old program"), "%s: left in place", what);
    checkf(countEntries(folder) == 12, "%s: ten files, vorn32.exe and the backup folder", what);
}

// The temporary file cannot be read back ([3]) or cannot be made at all ([11]):
// the existing target was never opened for writing and stays as it was.
void temporaryFileFaults()
{
    const char *folder = "C:\\work\\tempfault";
    removeTree(folder);
    makeFolder(folder);
    writeText("C:\\work\\tempfault\\readme.txt", "user readme");
    strcpy(session.destinationFolder, folder);
    resetSession();
    session.slotIndex = 3;
    BoxWatch box;
    watchBox(&box, 3);
    int answer = decodeToDestination("C:\\work\\no-such.tmp", "C:\\work\\tempfault\\readme.txt");
    verifyBox(&box, 3, "unreadable temporary file");
    check(answer == Failed && session.slotIndex == 0, "unreadable temporary file: Failed");
    check(fileHasText("C:\\work\\tempfault\\readme.txt", "user readme"),
          "unreadable temporary file: target left as it was");

    char savedTmp[MAX_PATH], savedTemp[MAX_PATH];
    GetEnvironmentVariableA("TMP", savedTmp, sizeof savedTmp);
    GetEnvironmentVariableA("TEMP", savedTemp, sizeof savedTemp);
    SetEnvironmentVariableA("TMP", "C:\\work\\no-such-folder");
    SetEnvironmentVariableA("TEMP", "C:\\work\\no-such-folder");
    watchBox(&box, 11);
    answer = runPayload(folder, 0);
    verifyBox(&box, 11, "temporary file cannot be made");
    SetEnvironmentVariableA("TMP", savedTmp);
    SetEnvironmentVariableA("TEMP", savedTemp);
    check(answer == Failed && !session.installerFile && !session.tempFile,
          "temporary file cannot be made: Failed, files closed");
    rollback();   // as the wizard does after Failed
    check(fileHasText("C:\\work\\tempfault\\readme.txt", "user readme") &&
              countEntries(folder) == 1,
          "temporary file cannot be made: nothing placed");
}

void missingParent()
{
    BoxWatch box;
    watchBox(&box, 1);
    int answer = beginRun("C:\\work\\nosuch\\Vorn", 0, 0);
    verifyBox(&box, 1, "missing parent");
    check(answer == BackToOptions && session.folderCreated == 0, "missing parent: back to options");
    check(!pathExists("C:\\work\\nosuch"), "missing parent: nothing created");
}

// Folders whose paths would not fit: refused before anything is written.
void overlongFolder()
{
    struct Row {
        size_t length;
        int backupFiles;
    } rows[] = {{299, 0}, {287, 0}, {280, 1}};
    removeTree("C:\\work\\long");
    makeFolder("C:\\work\\long");
    for (const Row &row : rows) {
        char folder[PATH_CAPACITY];
        strcpy(folder, "C:\\work\\long\\");
        size_t used = strlen(folder);
        memset(folder + used, 'a', row.length - used);
        folder[row.length] = 0;
        BoxWatch box;
        watchBox(&box, 16);
        int answer = beginRun(folder, row.backupFiles, 0);
        char what[64];
        snprintf(what, sizeof what, "folder of %u characters, backup %d", (unsigned)row.length,
                 row.backupFiles);
        verifyBox(&box, 16, what);
        checkf(answer == BackToOptions, "%s: refused", what);
        checkf(countEntries("C:\\work\\long") == 0, "%s: nothing created", what);
    }
}

// The backup folder cannot be made while T: has no inode left; once one is free,
// the next file that needs a backup makes it.
void backupFolderRetried()
{
    const char *what = "backup folder retried";
    makeFolder("T:\\Vorn");
    writeText("T:\\Vorn\\vorn32.exe", "old program");
    writeText("T:\\Vorn\\vorn.exe", "user exe");
    makeFolder("T:\\fill");
    int filled = 0;
    for (; filled < 1000; ++filled) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "T:\\fill\\%d", filled);
        if (!writeText(path, "")) {
            DeleteFileA(path);
            break;
        }
    }
    strcpy(session.destinationFolder, "T:\\Vorn");
    session.backupFiles = 1;
    session.keepSettings = 0;
    resetSession();

    BoxWatch box;
    watchBox(&box, 6);
    int first = prepareTarget("T:\\Vorn\\vorn32.exe");
    verifyBox(&box, 6, what);
    checkf(first == BackToOptions && !session.backupFolder[0], "%s: first attempt fails", what);
    check(fileHasText("T:\\Vorn\\vorn32.exe", "old program"), "backup folder retried: file stays");

    DeleteFileA("T:\\fill\\0");
    watchBox(&box, 0);
    int second = prepareTarget("T:\\Vorn\\vorn.exe");
    verifyBox(&box, 0, what);
    checkf(second == Done && !strcmp(session.backupFolder, "T:\\Vorn\\backup\\"),
           "%s: next file makes the folder (%d, %s)", what, second, session.backupFolder);
    check(fileHasText("T:\\Vorn\\backup\\vorn.exe", "user exe") && !pathExists("T:\\Vorn\\vorn.exe"),
          "backup folder retried: file moved into it");
    removeTree("T:\\fill");
    removeTree("T:\\Vorn");
    checkf(filled > 0 && countEntries("T:\\") == 0, "%s: T: cleaned (%d fillers)", what, filled);
}

}  // namespace

void faultGroup()
{
    if (!check(pathExists("T:\\"), "drive T: is mapped to the small tmpfs"))
        return;
    fullDestinationDisk();
    failedClose();
    fullTemporaryDisk();
    heldFile(0);
    heldFile(1);
    heldOldProgram();
    temporaryFileFaults();
    missingParent();
    overlongFolder();
    backupFolderRetried();
}
