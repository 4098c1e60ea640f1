// The test programs' feedback operations: they record what the engine reports
// and, while a slot is being extracted, what its temporary file holds.
#include "tests/win/engine/fixture.h"

#include "engine/feedback.h"
#include "engine/session.h"

#include <stdio.h>
#include <string.h>

void setStatusText(const char *text)
{
    const char prefix[] = "Extracting file: ";
    if (strncmp(text, prefix, sizeof prefix - 1) != 0)
        return;
    int slot = session.slotIndex;
    if (recorded.extractingCount < 10)
        snprintf(recorded.extracting[recorded.extractingCount++], 64, "%s", text);
    if (slot >= 0 && slot < 10 && recorded.expectedTemp[slot].data) {
        const Bytes &expected = recorded.expectedTemp[slot];
        recorded.tempMatched[slot] = fileEquals(session.tempPath, expected.data, expected.size);
    }
}

void updateStatusLine() { ++recorded.statusLines; }
void drawOverallBar(DeviceContext, FILE *) { ++recorded.overallBars; }
uint32_t fileBarWidth() { return 100; }
void drawFileBar(DeviceContext, uint32_t, uint32_t) {}
void clearFileBar() {}
void *showWaitCursor() { return nullptr; }
void restoreCursor(void *) {}
