// A feedback implementation for the tests that records the calls it gets.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

struct FeedbackLog {
    uint32_t barWidth = 100;          // what fileBarWidth answers
    int widthCalls = 0;
    std::vector<uint32_t> reports;    // `done` of every drawFileBar
    std::vector<uint32_t> totals;     // `total` of every drawFileBar
    int clears = 0;
    int cursorShows = 0;
    int cursorRestores = 0;
    bool cursorRestoredToPrevious = true;
    std::vector<std::string> events;  // call order: "width", "draw", "clear", ...
};

extern FeedbackLog feedbackLog;

// Empties the log and sets the bar width that fileBarWidth will answer.
void resetFeedbackLog(uint32_t barWidth = 100);
