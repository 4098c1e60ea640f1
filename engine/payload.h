// Opening the installer's own payload for a run, after its integrity check.
#pragma once

// The payload's CRC-32 fixed when this installer was built.
#include "payload_crc.h"   // generated: #define PAYLOAD_CRC 0x........u

// 1 when the payload is intact and session.installerFile is open at the
// executable's first byte; 0 after error [2], [10] or [9] has been shown.
int openPayload();
