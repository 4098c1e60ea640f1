// The installer's whole state: one record for the life of the process, with a run
// part that resetSession clears at the start of every installation run and a
// persistent part holding folders, options and the current wizard page.
#pragma once
#include <stdint.h>
#include <stdio.h>

enum {
    SLOT_COUNT = 10,
    PATH_CAPACITY = 300,       // folders and paths: at most 299 characters
    TEXT_BUFFER_SIZE = 900,    // formatted commands, messages and the installer path
    MARKER_LENGTH = 4,
};

// Answers of the engine's steps. Yield comes from the pump, Skip from the
// existing-file policy; both are 3.
enum StepResult {
    Failed = 0,
    Done = 1,
    BackToOptions = 2,
    Yield = 3,
    Skip = 3,
};

enum SettingsPolicy {
    SettingsUndecided = 0,
    SettingsKeep = 1,
    SettingsReplace = 2,
};

enum WizardPage {
    PageWelcome = 0,
    PageLicence = 1,
    PageOptions = 2,
    PageProgress = 3,
    PageFinish = 4,
};

struct InstallSession {
    // Run part, cleared by resetSession. A run is active exactly while
    // installerFile is open.
    char tempPath[PATH_CAPACITY];
    char backupFolder[PATH_CAPACITY];   // empty, or "<destination>\backup\"
    char targetPath[PATH_CAPACITY];
    char marker[MARKER_LENGTH + 1];
    FILE *installerFile;
    FILE *tempFile;
    int32_t matchPos;                   // 0..3, carries over between pump steps
    int32_t bytesSinceYield;
    int32_t slotIndex;                  // slots processed so far, 0..10
    int32_t settingsPolicy;
    int32_t abortRequested;
    int32_t folderCreated;
    int32_t installerSize;              // 0 until the overall bar measures it
    int32_t overallProgress;            // filled pixels of the overall bar
    // 1 for each slot whose destination file this run opened for writing: the
    // rollback deletes exactly these, never a kept settings file of the user.
    int32_t slotWritten[SLOT_COUNT];

    // Persistent part, untouched by resetSession.
    char previousFolder[PATH_CAPACITY];
    char destinationFolder[PATH_CAPACITY];
    char installerPath[TEXT_BUFFER_SIZE];
    int32_t backupFiles;
    int32_t keepSettings;
    int32_t launchProgram;
    int32_t finished;
    int32_t openHelp;
    int32_t currentPage;
    int32_t createIcons;
};

extern InstallSession session;

// File names of the ten slots, in payload order.
extern const char *const SLOT_FILE_NAMES[SLOT_COUNT];

void resetSession();

// Destination path of a slot into out (capacity PATH_CAPACITY); an empty text for
// an index outside 0..9.
void slotPath(char *out, int index);

// Size of an open file in bytes; its read position is left where it was.
int32_t fileSize(FILE *file);
