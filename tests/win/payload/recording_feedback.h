// What the engine asked the user interface to show, for checks.
#pragma once
#include "engine/feedback.h"

struct RecordedFeedback {
    char statusText[128];
    int statusCalls;
    FILE *overallBarFile;
    long overallBarPosition;   // the file's position when the bar was drawn
    int overallBarCalls;
    int waitCursorShown;
    int cursorRestored;
};

extern RecordedFeedback recorded;
