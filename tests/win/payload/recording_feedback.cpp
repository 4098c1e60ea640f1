// Feedback that records what the engine asked for, instead of drawing it.
#include "tests/win/payload/recording_feedback.h"

#include <string.h>

RecordedFeedback recorded;

void setStatusText(const char *text)
{
    strncpy(recorded.statusText, text, sizeof recorded.statusText - 1);
    recorded.statusText[sizeof recorded.statusText - 1] = 0;
    ++recorded.statusCalls;
}

void updateStatusLine() {}

void drawOverallBar(DeviceContext, FILE *file)
{
    recorded.overallBarFile = file;
    recorded.overallBarPosition = file ? ftell(file) : -1;
    ++recorded.overallBarCalls;
}

uint32_t fileBarWidth() { return 100; }
void drawFileBar(DeviceContext, uint32_t, uint32_t) {}
void clearFileBar() {}

void *showWaitCursor()
{
    ++recorded.waitCursorShown;
    return &recorded;
}

void restoreCursor(void *previous)
{
    if (previous == &recorded)
        ++recorded.cursorRestored;
}
