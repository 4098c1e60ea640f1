// openPayload on this program's own file, which carries the build's payload as
// the installer does, and on copies of it that are damaged in the ways a user's
// download can be. Each copy runs as a child process with "--expect N": it calls
// openPayload and looks at the message box as a user would.
#include "engine/errors.h"
#include "engine/handles.h"
#include "engine/payload.h"
#include "engine/container.h"
#include "engine/session.h"
#include "tests/win/common/expected_errors.h"
#include "tests/win/common/file_probe.h"
#include "tests/win/common/ui_probe.h"
#include "tests/win/payload/recording_feedback.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

const DWORD CHILD_TIMEOUT_MS = 60000;

// A stand-in for the wizard dialog: the owner every error box must have.
HWND createOwner()
{
    return CreateWindowExA(0, "STATIC", "Vorn Installer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           100, 100, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The error box number must appear with its exact text, the error icon and one
// OK button, owned by the wizard; openPayload then answers 0 with no file open.
int expectError(int number)
{
    resetSession();
    wizardDialog = createOwner();
    check(wizardDialog != nullptr, "owner window created");
    // Any error box is answered, so that a wrong one cannot leave the copy hanging.
    BoxWatch watch = {};
    watch.caption = "Vorn Installation Error*";
    watch.button = IDOK;
    startBoxWatch(&watch);
    int result = openPayload();
    finishBoxWatch(&watch);

    char caption[40];
    expectedErrorCaption(caption, number);
    char what[160];
    snprintf(what, sizeof what, "box \"%s\" shown", caption);
    check(watch.seen && strcmp(watch.shownCaption, caption) == 0, what);
    if (watch.seen && strcmp(watch.shownCaption, caption) != 0)
        printf("  shown: \"%s\"\n", watch.shownCaption);
    check(watch.pressed, "box closed by its OK button");
    check(strcmp(watch.text, expectedErrorText(number)) == 0, "box text");
    if (watch.seen && strcmp(watch.text, expectedErrorText(number)) != 0)
        printf("  shown: \"%s\"\n", watch.text);
    check(watch.buttonCount == 1 && watch.buttons[0] == IDOK, "box has exactly one button, OK");
    check(watch.errorIcon, "box shows the error icon");
    check(watch.owner == wizardDialog, "box owned by the wizard dialog");
    check(result == 0, "openPayload answers 0");
    check(session.installerFile == nullptr, "no installer file left open");
    check(recorded.statusCalls == 0, "status line untouched");
    return testExitCode();
}

void checkAccepted()
{
    resetSession();
    wizardDialog = createOwner();
    BoxWatch watch = {};
    watch.caption = "Vorn Installation Error*";
    watch.button = IDOK;
    startBoxWatch(&watch);
    int result = openPayload();
    cancelBoxWatch(&watch);

    check(!watch.seen, "no error box for an intact payload");
    if (watch.seen)
        printf("  shown: \"%s\"\n", watch.text);
    check(result == 1, "openPayload accepts this program's own payload");
    char modulePath[MAX_PATH];
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    check(strcmp(session.installerPath, modulePath) == 0, "installerPath is the module's path");
    check(session.installerFile != nullptr, "installerFile open");
    if (session.installerFile) {
        check(ftell(session.installerFile) == 0, "installerFile at its first byte");
        fclose(session.installerFile);
        session.installerFile = nullptr;
    }
    check(strcmp(recorded.statusText, "Scanning files...") == 0, "status line says Scanning files...");
    check(recorded.overallBarCalls == 1 && recorded.overallBarFile != nullptr &&
              recorded.overallBarPosition == 0,
          "overall bar drawn once, from the installer file at its first byte");
    check(recorded.waitCursorShown == 1 && recorded.cursorRestored == 1,
          "wait cursor shown during the scan and the previous one put back");
    DestroyWindow(wizardDialog);
}

// scanPayloadCrc answers 0 for what it cannot read, and leaves nothing open.
void checkUnreadable(const char *folder)
{
    resetSession();
    char missing[MAX_PATH], locked[MAX_PATH];
    snprintf(missing, sizeof missing, "%s\\no such file.exe", folder);
    snprintf(locked, sizeof locked, "%s\\locked.exe", folder);
    HANDLE lock = CreateFileA(locked, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    check(lock != INVALID_HANDLE_VALUE, "locked file created");
    DWORD written;
    WriteFile(lock, "ZZ", 2, &written, nullptr);

    const struct {
        const char *path;
        const char *what;
    } cases[] = {
        {missing, "scanPayloadCrc of a missing file is 0"},
        {folder, "scanPayloadCrc of a folder is 0"},
        {locked, "scanPayloadCrc of a file another process holds without sharing is 0"},
    };
    for (const auto &c : cases)
        check(scanPayloadCrc(c.path) == 0, c.what);
    CloseHandle(lock);
    check(DeleteFileA(locked) != 0, "the scan left the file closed (it can be deleted)");
}

long findMarker(const char *data, long size, long from)
{
    for (long i = from; i + MARKER_LENGTH <= size; ++i)
        if (memcmp(data + i, session.marker, MARKER_LENGTH) == 0)
            return i;
    return -1;
}

void printReport(const char *path)
{
    FILE *report = fopen(path, "r");
    if (!report)
        return;
    char line[512];
    while (fgets(line, sizeof line, report))
        fputs(line, stdout);
    fclose(report);
}

// Runs a copy with "--expect number"; true when it exits with 0 in time. The
// copy's findings are printed here.
bool runCopy(const char *path, int number)
{
    char report[MAX_PATH + 8], command[3 * MAX_PATH];
    snprintf(report, sizeof report, "%s.txt", path);
    snprintf(command, sizeof command, "\"%s\" --expect %d \"%s\"", path, number, report);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(path, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    DWORD code = 1;
    bool ended = WaitForSingleObject(process.hProcess, CHILD_TIMEOUT_MS) == WAIT_OBJECT_0;
    if (ended)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printReport(report);
    return ended && code == 0;
}

enum Damage { FlipSegmentByte, NoMarker, EmptyFirstSegment };

// Writes a damaged copy of this program and runs it, expecting error number.
void checkDamagedCopy(const char *folder, const char *self, long selfSize, Damage damage,
                      const char *name, int number)
{
    char *copy = (char *)malloc(selfSize);
    memcpy(copy, self, selfSize);
    long start = findMarker(copy, selfSize, 0);
    switch (damage) {
    case FlipSegmentByte: {
        // A byte value outside the marker's letters can neither form nor break a marker.
        char &byte = copy[start + MARKER_LENGTH + 1000];
        byte = byte == 1 ? 2 : 1;
        break;
    }
    case NoMarker:
        for (long at = start; at >= 0; at = findMarker(copy, selfSize, at + MARKER_LENGTH))
            copy[at + MARKER_LENGTH - 1] = 'x';
        break;
    case EmptyFirstSegment:
        memcpy(copy + start + MARKER_LENGTH, session.marker, MARKER_LENGTH);
        break;
    }
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", folder, name);
    char what[200];
    snprintf(what, sizeof what, "%s: copy written", name);
    if (check(writeAll(path, copy, (size_t)selfSize), what)) {
        snprintf(what, sizeof what, "%s: openPayload shows error [%d] as expected", name, number);
        check(runCopy(path, number), what);
    }
    free(copy);
}

}  // namespace

int main(int argc, char **argv)
{
    // A copy's console output does not reach ours under Wine: it reports to a file.
    if (argc == 4 && strcmp(argv[1], "--expect") == 0) {
        if (!freopen(argv[3], "w", stdout))
            return 2;
        return expectError(atoi(argv[2]));
    }

    checkAccepted();

    char folder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    check(length > 0 && length < sizeof folder, "temporary folder");
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = 0;
    checkUnreadable(folder);

    resetSession();
    Bytes own = readAll(session.installerPath);
    const char *self = (const char *)own.data;
    long selfSize = (long)own.size;
    if (check(self != nullptr, "own file read")) {
        long start = findMarker(self, selfSize, 0);
        check(start > 0 && findMarker(self, selfSize, start + MARKER_LENGTH) > start + 1000,
              "own file carries the payload, first segment over 1000 bytes");
        if (start > 0) {
            checkDamagedCopy(folder, self, selfSize, FlipSegmentByte, "flipped.exe", ERR_CRC);
            checkDamagedCopy(folder, self, selfSize, NoMarker, "nomarker.exe", ERR_SCAN_READ);
            checkDamagedCopy(folder, self, selfSize, EmptyFirstSegment, "twomarkers.exe", ERR_SCAN_READ);
        }
    }
    free(own.data);
    return testExitCode();
}
