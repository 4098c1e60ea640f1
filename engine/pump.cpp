// The extraction pump: reads the installer's own file byte by byte, copies each
// segment into the temporary file and has it placed when its marker ends it.
#include "engine/pump.h"

#include "engine/container.h"
#include "engine/errors.h"
#include "engine/feedback.h"
#include "engine/paths.h"
#include "engine/placement.h"
#include "engine/session.h"

#include <stdio.h>
#include <windows.h>

// One byte at a time through the stream buffers, without a call and a lock per
// byte: the pump runs on one thread.
#if defined(_WIN32)
#define READ_BYTE(stream) _getc_nolock(stream)
#define WRITE_BYTE(byte, stream) _putc_nolock(byte, stream)
#else
#define READ_BYTE(stream) getc(stream)
#define WRITE_BYTE(byte, stream) putc(byte, stream)
#endif

namespace {

const char TEMP_NAME[] = "vorn.tmp";
const char TEMP_FALLBACK[] = "c:\\vorn.tmp";

// The system's temporary folder followed by the file name; the fallback when the
// system reports none, or one so long that the name would not fit.
void formTempPath()
{
    char folder[PATH_CAPACITY];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder ||
        !joinPath(session.tempPath, sizeof session.tempPath, folder, TEMP_NAME))
        joinPath(session.tempPath, sizeof session.tempPath, TEMP_FALLBACK, nullptr);
}

void closeInstaller()
{
    if (session.installerFile) {
        fclose(session.installerFile);   // read only: nothing to lose on close
        session.installerFile = nullptr;
    }
}

// Closes the temporary file. False when any write to it, or its final flush,
// failed: the segment in it is then incomplete. The flush is checked on its own
// because some C runtimes (Wine's among them) let fclose lose its failure.
bool closeTemp()
{
    bool ok = fflush(session.tempFile) == 0 && !ferror(session.tempFile);
    if (fclose(session.tempFile) != 0)
        ok = false;
    session.tempFile = nullptr;
    return ok;
}

// A segment that did not reach the temporary file in full is never placed.
int failWriting()
{
    rollback();   // also deletes the temporary file
    showInstallError(ERR_TEMP_WRITE);
    return Failed;
}

// Places the segment now complete in the temporary file, then deletes that file.
int placeTemp()
{
    if (!closeTemp())
        return failWriting();
    int answer = placeSlot(session.tempPath);
    deleteWithRetry(session.tempPath);
    return answer;
}

void writeMarkerPrefix(int count)
{
    for (int i = 0; i < count; ++i)
        WRITE_BYTE(session.marker[i], session.tempFile);
}

// End of the installer's file, or all slots processed.
int closingSteps()
{
    drawOverallBar(nullptr, session.installerFile);
    bool readFailed = ferror(session.installerFile) != 0;
    closeInstaller();
    if (readFailed) {
        // A short read would pass a cut segment off as the last one.
        rollback();
        showInstallError(ERR_PUMP_READ);
        return Failed;
    }
    if (!session.tempFile || session.slotIndex >= SLOT_COUNT)
        return Done;
    // The file ended inside a segment: it is placed as it stands, with any
    // partial marker still pending.
    writeMarkerPrefix(session.matchPos);
    return placeTemp();
}

// A marker has been read: it ends the segment being copied, if any, and begins
// the next one. Done means go on reading.
int onMarker(bool *stop)
{
    if (session.tempFile) {
        int answer = placeTemp();
        if (answer != Done) {
            closeInstaller();
            *stop = true;
            return answer;
        }
        if (session.slotIndex >= SLOT_COUNT) {
            // The closing marker and the line end are never read.
            *stop = true;
            return closingSteps();
        }
    }
    updateStatusLine();
    formTempPath();
    session.tempFile = fopen(session.tempPath, "wb");
    if (!session.tempFile) {
        showInstallError(ERR_TEMP_CREATE);
        closeInstaller();
        *stop = true;
        return Failed;
    }
    return Done;
}

}  // namespace

int pumpStep()
{
    FILE *installer = session.installerFile;
    for (;;) {
        int byte = READ_BYTE(installer);
        if (byte == EOF)
            return closingSteps();
        int data = matchMarkerByte(session.marker, &session.matchPos, byte);
        if (data == MatchMarker) {
            bool stop = false;
            int answer = onMarker(&stop);
            if (stop)
                return answer;
        } else if (data != MatchPending && session.tempFile) {
            // The characters of a broken partial match are data, then the byte.
            writeMarkerPrefix(data);
            WRITE_BYTE(byte, session.tempFile);
        }
        if (++session.bytesSinceYield > PUMP_BUDGET) {
            drawOverallBar(nullptr, installer);
            session.bytesSinceYield = 0;
            return Yield;
        }
    }
}
