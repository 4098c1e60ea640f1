// What each wizard page shows, as a user sees it, and the walk through the
// first pages.
#pragma once
#include "tests/win/e2e/wizard_driver.h"

enum { PAGE_WELCOME, PAGE_LICENCE, PAGE_OPTIONS, PAGE_PROGRESS, PAGE_FINISH };

// Checks the buttons, the folder field, the focus and the page's own texts
// against the page table; names the page in every failure.
void checkPage(Installer *installer, int page);

// Starts the installer and goes Next and Yes to the options page, checking each
// page on the way when checkEach is set; seen (when given) is called on pages 0
// and 1 before leaving them.
bool openToOptions(Installer *installer, const char *exePath, bool checkEach,
                   void (*seen)(HWND wizard, int page) = nullptr);
