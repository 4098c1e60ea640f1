// Whole runs through the pump: the real installer payload of this program, and
// containers built from its segments that put markers and ends where it hurts.
#include "tests/win/engine/fixture.h"

#include "engine/paths.h"
#include "engine/payload.h"
#include "engine/pump.h"
#include "engine/session.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

void expectAllTemps()
{
    for (int slot = 0; slot < 10; ++slot)
        recorded.expectedTemp[slot] = segments[slot];
}

// Slots first..last hold the product files; all later slots are absent.
void checkPlaced(const char *folder, int last, const char *what)
{
    for (int slot = 0; slot < 10; ++slot) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", folder, SLOT_FILE_NAMES[slot]);
        if (slot <= last)
            checkf(fileEquals(path, productFiles[slot].data, productFiles[slot].size),
                   "%s: %s is the product file", what, SLOT_FILE_NAMES[slot]);
        else
            checkf(!pathExists(path), "%s: %s not placed", what, SLOT_FILE_NAMES[slot]);
    }
}

void checkStopped(const char *what)
{
    checkf(!session.installerFile && !session.tempFile, "%s: installer and temporary file closed",
           what);
    checkf(!session.tempPath[0] || !pathExists(session.tempPath), "%s: temporary file gone", what);
}

}  // namespace

void runGroup()
{
    const char *folder = "C:\\Program Files\\Vorn";
    removeTree(folder);
    expectAllTemps();
    BoxWatch box;
    watchBox(&box, 0);
    int created = beginRun(folder, 1, 1);
    int opened = openPayload();
    // Every step that yields has read exactly 15001 more bytes.
    int answer, steps = 0;
    long expected = 0;
    bool exact = true;
    do {
        answer = pumpStep();
        ++steps;
        if (answer == Yield) {
            expected += PUMP_BUDGET + 1;
            exact = exact && ftell(session.installerFile) == expected;
        }
    } while (answer == Yield && steps < 100000);
    verifyBox(&box, 0, "run");

    check(created == Done && session.folderCreated == 1, "run: destination folder created");
    check(opened == 1, "run: payload accepted");
    checkf(answer == Done && session.slotIndex == 10, "run: Done with ten slots (answer %d, slot %d)",
           answer, session.slotIndex);
    checkf(exact, "run: each yield after exactly %d bytes", PUMP_BUDGET + 1);
    checkPlaced(folder, 9, "run");
    checkf(countEntries(folder) == 10, "run: nothing else in the folder");
    checkStopped("run");
    char temp[MAX_PATH], expectedTemp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    snprintf(expectedTemp, sizeof expectedTemp, "%svorn.tmp", temp);
    checkf(!strcmp(session.tempPath, expectedTemp), "run: temporary file %s (was %s)", expectedTemp,
           session.tempPath);
    // Once by openPayload, then at each yield and when the pump stops.
    checkf(recorded.overallBars == steps + 1, "run: overall bar drawn at each step's end (%d)",
           recorded.overallBars);
    checkf(recorded.statusLines == 10, "run: status line updated per segment (%d)",
           recorded.statusLines);
    for (int slot = 0; slot < 10; ++slot) {
        char text[64];
        snprintf(text, sizeof text, "Extracting file: %s", SLOT_FILE_NAMES[slot]);
        checkf(!strcmp(recorded.extracting[slot], text), "run: status \"%s\"", text);
        checkf(recorded.tempMatched[slot], "run: temporary file of slot %d is its segment", slot);
    }
}

void pumpGroup()
{
    const char *container = "C:\\work\\container.bin";
    const char *folder = "C:\\work\\pumped";
    const char *marker = session.marker;

    // A marker split between two steps: the step ends after its second character.
    size_t afterFirst = 4 + segments[0].size + 2;
    size_t stepsToFirst = (afterFirst + PUMP_BUDGET) / (PUMP_BUDGET + 1);
    struct Split {
        const char *what;
        size_t filler;
        int stepsBefore;
        bool tempOpen;
    } splits[] = {
        {"opening marker split", PUMP_BUDGET + 1 - 2, 1, false},
        {"marker after slot 0 split", stepsToFirst * (PUMP_BUDGET + 1) - afterFirst,
         (int)stepsToFirst, true},
    };
    for (const Split &split : splits) {
        Bytes bytes = buildContainer({split.filler, -1, nullptr, 0, -1, 0});
        writeAll(container, bytes.data, bytes.size);
        free(bytes.data);
        removeTree(folder);
        expectAllTemps();
        beginRun(folder, 0, 0);
        openInstaller(container);
        int answer = Yield;
        for (int i = 0; i < split.stepsBefore && answer == Yield; ++i)
            answer = pumpStep();
        checkf(answer == Yield && session.matchPos == 2 && session.slotIndex == 0 &&
                   (session.tempFile != nullptr) == split.tempOpen,
               "%s: step ends inside the marker (answer %d, match %d)", split.what, answer,
               session.matchPos);
        answer = pumpToEnd(nullptr);
        checkf(answer == Done && session.slotIndex == 10, "%s: Done with ten slots", split.what);
        checkPlaced(folder, 9, split.what);
        for (int slot = 0; slot < 10; ++slot)
            checkf(recorded.tempMatched[slot], "%s: temporary file of slot %d is its segment",
                   split.what, slot);
        checkStopped(split.what);
    }

    // The file ends inside slot 3's segment, with and without a partial marker.
    for (int pending = 0; pending <= 2; pending += 2) {
        char what[64];
        snprintf(what, sizeof what, "file ends after slot 3 and %d marker characters", pending);
        Bytes bytes = buildContainer({10, -1, nullptr, 0, 3, pending});
        writeAll(container, bytes.data, bytes.size);
        free(bytes.data);
        Bytes expected = {(unsigned char *)malloc(segments[3].size + 4), segments[3].size + pending};
        memcpy(expected.data, segments[3].data, segments[3].size);
        memcpy(expected.data + segments[3].size, marker, pending);
        removeTree(folder);
        expectAllTemps();
        recorded.expectedTemp[3] = expected;
        beginRun(folder, 0, 0);
        openInstaller(container);
        int answer = pumpToEnd(nullptr);
        checkf(answer == Done && session.slotIndex == 4, "%s: Done after four slots (%d, %d)", what,
               answer, session.slotIndex);
        checkf(recorded.tempMatched[3], "%s: last segment placed as it stands", what);
        checkPlaced(folder, 3, what);
        checkStopped(what);
        recorded.expectedTemp[3] = segments[3];
        free(expected.data);
    }

    // A file without any marker is read to its end: Done with no slot.
    {
        static char plain[20000];
        memset(plain, 'x', sizeof plain);
        writeAll(container, plain, sizeof plain);
        removeTree(folder);
        beginRun(folder, 0, 0);
        openInstaller(container);
        int steps;
        int answer = pumpToEnd(&steps);
        check(answer == Done && steps == 2 && session.slotIndex == 0,
              "no marker: Done with no slot in the second step");
        check(recorded.statusLines == 0 && !session.tempPath[0], "no marker: no segment begun");
        check(countEntries(folder) == 0, "no marker: nothing placed");
        checkStopped("no marker");
    }
}
