// Feedback operations: the status line, the two progress bars and the wait cursor.
// The engine and the decoder call them by these names. The installer links the
// wizard's drawing code; a build without a user interface (the host tool) links
// engine/feedback_none.cpp, and tests may link recorders of their own.
#pragma once
#include <stdint.h>
#include <stdio.h>

// A device context; on Windows this is the same type as HDC.
typedef struct HDC__ *DeviceContext;

void setStatusText(const char *text);
void updateStatusLine();
void drawOverallBar(DeviceContext deviceContext, FILE *file);
uint32_t fileBarWidth();
void drawFileBar(DeviceContext deviceContext, uint32_t done, uint32_t total);
void clearFileBar();

// The wait cursor shown while the integrity scan runs. showWaitCursor returns the
// cursor to put back; restoreCursor takes it.
void *showWaitCursor();
void restoreCursor(void *previous);
