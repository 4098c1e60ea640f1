// Opening the installer's own executable for a run: the integrity scan first,
// then a second open for the pump.
#include "engine/payload.h"

#include "engine/container.h"
#include "engine/errors.h"
#include "engine/feedback.h"
#include "engine/session.h"

#include <windows.h>

int openPayload()
{
    DWORD length = GetModuleFileNameA(nullptr, session.installerPath, sizeof session.installerPath);
    // A path that filled the buffer may have been cut: never read some other file.
    if (length == 0 || length >= sizeof session.installerPath) {
        session.installerPath[0] = 0;
        showInstallError(ERR_SCAN_READ);
        return 0;
    }

    uint32_t crc = scanPayloadCrc(session.installerPath);
    if (crc == 0) {
        showInstallError(ERR_SCAN_READ);
        return 0;
    }
    if (crc != PAYLOAD_CRC) {
        showInstallError(ERR_CRC);
        return 0;
    }

    session.installerFile = fopen(session.installerPath, "rb");
    if (!session.installerFile) {
        showInstallError(ERR_PUMP_OPEN);
        return 0;
    }
    setStatusText("Scanning files...");
    // installerSize is 0 after the reset, so this measures the file; the bar shows 0.
    drawOverallBar(nullptr, session.installerFile);
    return 1;
}
