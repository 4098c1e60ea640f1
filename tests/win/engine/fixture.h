// Shared fixture of the engine's Windows tests: files and folders, the real
// payload split into its segments, containers built from them, runs driven
// through the pump, and message boxes watched as a user would see them.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#include "tests/win/common/file_probe.h"
#include "tests/win/common/ui_probe.h"

// Product files and payload, from the command line (see main.cpp).
extern char productFolder[MAX_PATH];
extern char payloadPath[MAX_PATH];   // the payload file vornpack built
extern Bytes payloadBytes;
extern Bytes segments[10];       // the payload's ten segments, split here
extern Bytes productFiles[10];   // the ten product files, in slot order

bool loadFixture(const char *productDir, const char *payloadPath);

bool isReadOnly(const char *path);
void makeFolder(const char *path);
int countEntries(const char *folder);        // files and folders inside

// A container: filler bytes, opening marker, the segments (each followed by a
// marker), the closing marker and the line end. replaceSlot, when 0..9, gets
// replacement bytes instead of its segment. cutAfterSlot, when 0..9, ends the
// file after that slot's data and the first cutMarker characters of its marker.
struct ContainerLayout {
    size_t filler;
    int replaceSlot;
    const char *replacement;
    size_t replacementSize;
    int cutAfterSlot;
    int cutMarker;
};
Bytes buildContainer(const ContainerLayout &layout);

// Begins a run as the wizard does: options, resetSession, createDestinationFolder.
int beginRun(const char *folder, int backupFiles, int keepSettings);
// Opens a file as the run's installer file, as openPayload leaves it.
bool openInstaller(const char *path);
// Steps the pump until it answers anything but Yield; *steps counts the calls.
int pumpToEnd(int *steps);

// Feedback recorded by the test's own feedback operations.
struct Recorded {
    int statusLines;                   // updateStatusLine calls
    char extracting[10][64];           // "Extracting file: ..." texts, by slot
    int extractingCount;
    bool tempMatched[10];              // temp file held exactly the expected bytes
    Bytes expectedTemp[10];            // what each slot's temp file should hold
    int overallBars;
};
extern Recorded recorded;
void resetRecorded();

// Answers, as a failure, any error box left open for 30 s (one no watch
// expected), so that a fault never hangs the program.
void startBoxGuard();

// Watches for the installer's error box number (0: for no box at all) while
// the code under test runs; verify checks caption, text and icon, presses OK.
void watchBox(BoxWatch *watch, int number);
void verifyBox(BoxWatch *watch, int number, const char *what);

// check() with a formatted message.
bool checkf(bool ok, const char *format, ...);

// Test groups.
void runGroup();
void pumpGroup();
void policyGroup();
void faultGroup();
void registryGroup();
void folderGroup();
