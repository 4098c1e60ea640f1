#include "tests/host/decode/recording_feedback.h"

#include "engine/feedback.h"

FeedbackLog feedbackLog;

static int cursorToken;   // stands for the cursor shown before the scan

void resetFeedbackLog(uint32_t barWidth)
{
    feedbackLog = FeedbackLog();
    feedbackLog.barWidth = barWidth;
}

void setStatusText(const char *) { feedbackLog.events.push_back("status"); }
void updateStatusLine() { feedbackLog.events.push_back("statusLine"); }
void drawOverallBar(DeviceContext, FILE *) { feedbackLog.events.push_back("overall"); }

uint32_t fileBarWidth()
{
    feedbackLog.widthCalls++;
    feedbackLog.events.push_back("width");
    return feedbackLog.barWidth;
}

void drawFileBar(DeviceContext, uint32_t done, uint32_t total)
{
    feedbackLog.reports.push_back(done);
    feedbackLog.totals.push_back(total);
    feedbackLog.events.push_back("draw");
}

void clearFileBar()
{
    feedbackLog.clears++;
    feedbackLog.events.push_back("clear");
}

void *showWaitCursor()
{
    feedbackLog.cursorShows++;
    feedbackLog.events.push_back("wait");
    return &cursorToken;
}

void restoreCursor(void *previous)
{
    feedbackLog.cursorRestores++;
    feedbackLog.cursorRestoredToPrevious = previous == &cursorToken;
    feedbackLog.events.push_back("restore");
}
