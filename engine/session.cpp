#include "engine/session.h"

#include <string.h>

InstallSession session;

const char *const SLOT_FILE_NAMES[SLOT_COUNT] = {
    "vorn.exe", "vorn.hlp", "ircintro.hlp", "readme.txt", "versions.txt",
    "vorn.ini", "aliases.ini", "popups.ini", "servers.ini", "urls.ini",
};

// The marker is joined from two pieces at run time, so that its four characters
// never stand together in the installer's code or data before the payload. The
// pieces sit in separate volatile objects: otherwise the optimiser folds them into
// one 32-bit immediate that spells the marker.
static volatile const char MARKER_HEAD = 'Z';
static volatile const char MARKER_TAIL[4] = {'O', 'L', 'T', 0};

void resetSession()
{
    session.tempPath[0] = 0;
    session.backupFolder[0] = 0;
    session.targetPath[0] = 0;
    session.marker[0] = MARKER_HEAD;
    for (int i = 0; i < 4; ++i)
        session.marker[1 + i] = MARKER_TAIL[i];
    session.installerFile = nullptr;
    session.tempFile = nullptr;
    session.matchPos = 0;
    session.bytesSinceYield = 0;
    session.slotIndex = 0;
    session.settingsPolicy = SettingsUndecided;
    session.abortRequested = 0;
    session.folderCreated = 0;
    session.installerSize = 0;
    session.overallProgress = 0;
    for (int32_t &written : session.slotWritten)
        written = 0;
}

void slotPath(char *out, int index)
{
    out[0] = 0;
    if (index < 0 || index >= SLOT_COUNT)
        return;
    const char *folder = session.destinationFolder;
    const char *name = SLOT_FILE_NAMES[index];
    size_t folderLength = strlen(folder);
    // A path that would not fit is refused (empty), never cut.
    if (folderLength + 1 + strlen(name) >= PATH_CAPACITY)
        return;
    memcpy(out, folder, folderLength);
    out[folderLength] = '\\';
    strcpy(out + folderLength + 1, name);
}

int32_t fileSize(FILE *file)
{
    long position = ftell(file);
    if (position < 0 || fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = ftell(file);
    fseek(file, position, SEEK_SET);
    return (int32_t)size;
}
