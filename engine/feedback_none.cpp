// Feedback for builds without a user interface: every operation does nothing.
#include "engine/feedback.h"

void setStatusText(const char *) {}
void updateStatusLine() {}
void drawOverallBar(DeviceContext, FILE *) {}
uint32_t fileBarWidth() { return 0; }
void drawFileBar(DeviceContext, uint32_t, uint32_t) {}
void clearFileBar() {}
void *showWaitCursor() { return nullptr; }
void restoreCursor(void *) {}
