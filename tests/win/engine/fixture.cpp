#include "tests/win/engine/fixture.h"

#include "engine/container.h"
#include "engine/errors.h"
#include "engine/placement.h"
#include "engine/pump.h"
#include "engine/session.h"
#include "tests/win/common/expected_errors.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

char productFolder[MAX_PATH];
char payloadPath[MAX_PATH];
Bytes payloadBytes;
Bytes segments[10];
Bytes productFiles[10];
Recorded recorded;

namespace {

// The marker as resetSession builds it: this program carries the payload too,
// so its four characters must never stand together in its own code or data.
#define MARKER session.marker

void append(Bytes *out, const void *data, size_t size)
{
    out->data = (unsigned char *)realloc(out->data, out->size + size + 1);
    memcpy(out->data + out->size, data, size);
    out->size += size;
}

// Splits the payload with the shared matching rule into its ten segments.
bool splitPayload()
{
    const char *marker = session.marker;
    int32_t pos = 0;
    int slot = -1;
    for (size_t i = 0; i < payloadBytes.size && slot < 10; ++i) {
        int byte = payloadBytes.data[i];
        int data = matchMarkerByte(marker, &pos, byte);
        if (data == MatchMarker) {
            ++slot;
            continue;
        }
        if (data == MatchPending || slot < 0 || slot >= 10)
            continue;
        append(&segments[slot], marker, (size_t)data);
        append(&segments[slot], &byte, 1);
    }
    return slot == 10;
}

}  // namespace

bool loadFixture(const char *productDir, const char *payloadFile)
{
    snprintf(productFolder, sizeof productFolder, "%s", productDir);
    snprintf(payloadPath, sizeof payloadPath, "%s", payloadFile);
    resetSession();
    payloadBytes = readAll(payloadFile);
    if (!payloadBytes.data || !splitPayload())
        return false;
    for (int slot = 0; slot < 10; ++slot) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", productDir, SLOT_FILE_NAMES[slot]);
        productFiles[slot] = readAll(path);
        if (!productFiles[slot].data)
            return false;
    }
    return true;
}

bool isReadOnly(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void makeFolder(const char *path)
{
    CreateDirectoryA(path, nullptr);
}

int countEntries(const char *folder)
{
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

Bytes buildContainer(const ContainerLayout &layout)
{
    Bytes out = {(unsigned char *)malloc(1), 0};
    for (size_t i = 0; i < layout.filler; ++i)
        append(&out, "x", 1);
    append(&out, MARKER, 4);
    for (int slot = 0; slot < 10; ++slot) {
        if (slot == layout.replaceSlot)
            append(&out, layout.replacement, layout.replacementSize);
        else
            append(&out, segments[slot].data, segments[slot].size);
        if (slot == layout.cutAfterSlot) {
            append(&out, MARKER, (size_t)layout.cutMarker);
            return out;
        }
        append(&out, MARKER, 4);
    }
    append(&out, MARKER, 4);
    append(&out, "\r\n", 2);
    return out;
}

int beginRun(const char *folder, int backupFiles, int keepSettings)
{
    snprintf(session.destinationFolder, sizeof session.destinationFolder, "%s", folder);
    session.backupFiles = backupFiles;
    session.keepSettings = keepSettings;
    resetSession();
    resetRecorded();
    return createDestinationFolder();
}

bool openInstaller(const char *path)
{
    session.installerFile = fopen(path, "rb");
    return session.installerFile != nullptr;
}

int pumpToEnd(int *steps)
{
    int answer;
    int count = 0;
    do {
        answer = pumpStep();
        ++count;
    } while (answer == Yield && count < 100000);
    if (steps)
        *steps = count;
    return answer;
}

void resetRecorded()
{
    Bytes expected[10];
    memcpy(expected, recorded.expectedTemp, sizeof expected);
    memset(&recorded, 0, sizeof recorded);
    memcpy(recorded.expectedTemp, expected, sizeof expected);
}

namespace {

// A box that no watcher expects would block this thread until ctest's deadline.
// The guard answers any error box still open after GUARD_MS, as a failure.
const DWORD GUARD_MS = 30000;
const DWORD GUARD_POLL_MS = 500;

DWORD WINAPI guardBoxes(void *)
{
    for (;;) {
        HWND box = waitForWindow("Vorn Installation Error*", 0);
        if (!box) {
            Sleep(GUARD_POLL_MS);   // a polling interval: the guard is in no hurry
            continue;
        }
        if (waitForWindowGone(box, GUARD_MS))
            continue;
        char caption[64] = "";
        GetWindowTextA(box, caption, sizeof caption);
        checkf(false, "unexpected box \"%s\" answered by the guard", caption);
        pressButton(box, IDOK);
        waitForWindowGone(box, GUARD_MS);
    }
}

}  // namespace

void startBoxGuard()
{
    CreateThread(nullptr, 0, guardBoxes, nullptr, 0, nullptr);
}

void watchBox(BoxWatch *watch, int number)
{
    static char captions[64][40];
    memset(watch, 0, sizeof *watch);
    if (number > 0 && number < 64) {
        expectedErrorCaption(captions[number], number);
        watch->caption = captions[number];
    } else {
        watch->caption = "Vorn Installation Error*";
    }
    watch->button = IDOK;
    startBoxWatch(watch);
}

void verifyBox(BoxWatch *watch, int number, const char *what)
{
    if (number == 0) {
        checkf(!cancelBoxWatch(watch), "%s: no error box", what);
        return;
    }
    finishBoxWatch(watch);
    checkf(watch->seen, "%s: box [%d] shown", what, number);
    if (!watch->seen)
        return;
    const char *expected = expectedErrorText(number);
    checkf(expected && strcmp(watch->text, expected) == 0, "%s: text of box [%d] (saw \"%s\")",
           what, number, watch->text);
    checkf(watch->errorIcon, "%s: box [%d] has the error icon", what, number);
    checkf(watch->buttonCount == 1 && watch->buttons[0] == IDOK, "%s: box [%d] has only OK", what,
           number);
    checkf(watch->pressed, "%s: box [%d] answered", what, number);
}

bool checkf(bool ok, const char *format, ...)
{
    char what[512];
    va_list args;
    va_start(args, format);
    vsnprintf(what, sizeof what, format, args);
    va_end(args);
    return check(ok, what);
}
