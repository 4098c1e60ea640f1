// Placing each segment as its file in the destination folder: the existing-file
// policy (keep settings, back up), the decode itself, and the rollback.
#include "engine/placement.h"

#include "decode/lzhuf.h"
#include "engine/errors.h"
#include "engine/feedback.h"
#include "engine/paths.h"
#include "engine/session.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

const char OLD_PROGRAM[] = "vorn32.exe";
const char BACKUP_FOLDER[] = "\\backup";
// Help index files that go stale when their help file is replaced, by slot.
const char *const HELP_INDEX_FILES[SLOT_COUNT] = {nullptr, "vorn.gid", "ircintro.gid"};

// The longest name the run places, backs up or removes inside the folder.
size_t longestFileName()
{
    size_t longest = strlen(OLD_PROGRAM);
    for (const char *name : SLOT_FILE_NAMES)
        if (strlen(name) > longest)
            longest = strlen(name);
    for (const char *name : HELP_INDEX_FILES)
        if (name && strlen(name) > longest)
            longest = strlen(name);
    return longest;
}

// Whether every path this run may form in the destination folder fits its
// buffer: "<folder>\<name>", and "<folder>\backup\<name>" when backing up.
bool destinationPathsFit()
{
    size_t length = strlen(session.destinationFolder) + 1 + longestFileName();
    if (session.backupFiles)
        length += strlen(BACKUP_FOLDER);
    return length < PATH_CAPACITY;
}

// Clears read-only, hidden, system and archive. The outcome is deliberately not
// examined: a file that stays read-only fails later where that is reported.
void clearAttributes(const char *path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
}

// Whether every write to file reached the disk. The last bytes are flushed
// first: some C runtimes (Wine's among them) let fclose lose a failed flush.
bool closeChecked(FILE *file)
{
    bool ok = fflush(file) == 0 && !ferror(file);
    if (fclose(file) != 0)
        ok = false;
    return ok;
}

// Error [6] or [7] end this file's placement with BackToOptions.
int backupFailed(int error)
{
    showInstallError(error);
    return BackToOptions;
}

int moveToBackup(const char *path)
{
    if (!session.backupFolder[0]) {
        char folder[PATH_CAPACITY];
        if (!joinPath(folder, sizeof folder, session.destinationFolder, BACKUP_FOLDER))
            return backupFailed(ERR_PATH_TOO_LONG);
        // An existing folder (or file) of that name is used as it is.
        if (!pathExists(folder) && !CreateDirectoryA(folder, nullptr))
            return backupFailed(ERR_BACKUP_FOLDER);   // backupFolder stays empty: retried
        if (!joinPath(session.backupFolder, sizeof session.backupFolder, folder, "\\"))
            return backupFailed(ERR_PATH_TOO_LONG);
    }
    char backupPath[PATH_CAPACITY];
    if (!joinPath(backupPath, sizeof backupPath, session.backupFolder, pathFileName(path)))
        return backupFailed(ERR_PATH_TOO_LONG);
    // An older backup of the same name is replaced.
    clearAttributes(backupPath);
    deleteWithRetry(backupPath);
    if (!MoveFileA(path, backupPath))
        return backupFailed(ERR_BACKUP_MOVE);
    return Done;
}

// Deletes the help index that belongs to the help file of slot, when it exists.
void removeHelpIndex(int slot)
{
    if (slot < 0 || slot >= SLOT_COUNT || !HELP_INDEX_FILES[slot])
        return;
    // The target's drive and directory are the destination folder and a backslash.
    char index[PATH_CAPACITY];
    if (!joinPath(index, sizeof index, session.destinationFolder, "\\", HELP_INDEX_FILES[slot]))
        return;
    // Making it writable succeeds only when it exists; one deletion, unreported.
    if (SetFileAttributesA(index, FILE_ATTRIBUTE_NORMAL))
        DeleteFileA(index);
}

// Rolls back, then tells the user: the placed files are gone when the box shows.
int failAfterRollback(int error)
{
    rollback();
    showInstallError(error);
    return Failed;
}

}  // namespace

int createDestinationFolder()
{
    // Refused before anything exists on disk, so that no path is ever cut.
    if (!destinationPathsFit()) {
        showInstallError(ERR_PATH_TOO_LONG);
        return BackToOptions;
    }
    if (pathExists(session.destinationFolder))
        return Done;
    // One level only: the parent has to exist.
    if (!CreateDirectoryA(session.destinationFolder, nullptr)) {
        showInstallError(ERR_FOLDER_CREATE);
        return BackToOptions;
    }
    session.folderCreated = 1;
    return Done;
}

int prepareTarget(const char *path)
{
    if (!pathExists(path))
        return Done;
    // Before the policy: a kept settings file loses its attributes too.
    clearAttributes(path);
    if (session.settingsPolicy != SettingsReplace && strstr(path, ".ini")) {
        if (session.settingsPolicy == SettingsKeep)
            return Skip;
        if (session.keepSettings) {
            session.settingsPolicy = SettingsKeep;
            return Skip;
        }
        session.settingsPolicy = SettingsReplace;
    }
    if (!session.backupFiles)
        return Done;
    return moveToBackup(path);
}

int placeSlot(const char *source)
{
    int slot = session.slotIndex;
    // The pump stops after ten slots; a further segment has no file to become.
    if (slot < 0 || slot >= SLOT_COUNT)
        return failAfterRollback(ERR_DECODE);

    SplitPath file;
    splitPath(SLOT_FILE_NAMES[slot], &file);   // a short fixed name: always splits
    char status[TEXT_BUFFER_SIZE];
    snprintf(status, sizeof status, "Extracting file: %s%s", file.name, file.extension);
    setStatusText(status);

    if (slot == 0) {
        // The older version's program. A failure has shown its message; the
        // answer is deliberately ignored and slot 0 goes on.
        if (joinPath(session.targetPath, sizeof session.targetPath, session.destinationFolder,
                     "\\", OLD_PROGRAM))
            prepareTarget(session.targetPath);
    }

    slotPath(session.targetPath, slot);
    if (!session.targetPath[0])
        return failAfterRollback(ERR_PATH_TOO_LONG);

    int policy = prepareTarget(session.targetPath);
    if (policy == Skip) {
        ++session.slotIndex;
        return Done;
    }
    if (policy != Done)
        return policy;

    if (!decodeToDestination(source, session.targetPath))
        return Failed;
    removeHelpIndex(slot);
    ++session.slotIndex;
    return Done;
}

int decodeToDestination(const char *source, const char *target)
{
    FILE *input = fopen(source, "rb");
    if (!input)
        return failAfterRollback(ERR_TEMP_READ);
    FILE *output = fopen(target, "wb");
    if (!output) {
        fclose(input);
        return failAfterRollback(ERR_TARGET_OPEN);
    }
    // From here the target is cut: the rollback removes it, even half written.
    int slot = session.slotIndex;
    if (slot >= 0 && slot < SLOT_COUNT)
        session.slotWritten[slot] = 1;

    bool ok = decodeSegment(input, output);
    // A failed write, or a failed flush of the last bytes on close, means the
    // file is incomplete and must not count as placed.
    if (!closeChecked(output))
        ok = false;
    fclose(input);   // read only: nothing to lose on close
    if (!ok)
        return failAfterRollback(ERR_DECODE);
    return Done;
}

void rollback()
{
    if (session.tempFile) {
        fclose(session.tempFile);   // its content is discarded anyway
        session.tempFile = nullptr;
    }
    if (session.installerFile) {
        fclose(session.installerFile);
        session.installerFile = nullptr;
    }
    if (session.tempPath[0])
        deleteWithRetry(session.tempPath);

    char path[PATH_CAPACITY];
    // The slot whose decode failed was opened (and cut) but not counted.
    int slot = session.slotIndex;
    if (slot >= 0 && slot < SLOT_COUNT && session.slotWritten[slot]) {
        slotPath(path, slot);
        deleteWithRetry(path);
        session.slotWritten[slot] = 0;
    }
    while (session.slotIndex > 0) {
        slot = --session.slotIndex;
        if (slot < SLOT_COUNT && session.slotWritten[slot]) {
            slotPath(path, slot);
            deleteWithRetry(path);
            session.slotWritten[slot] = 0;
        }
    }
    if (session.folderCreated) {
        // Succeeds only when the folder is empty; the outcome is not reported.
        if (!RemoveDirectoryA(session.destinationFolder))
            RemoveDirectoryA(session.destinationFolder);
        session.folderCreated = 0;
    }
}

void deleteWithRetry(const char *path)
{
    // The outcome is deliberately not reported: callers go on either way.
    if (!DeleteFileA(path))
        DeleteFileA(path);
}
