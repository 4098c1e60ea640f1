// Driving the installer as a separate process, the way a person would: its windows
// are found by caption and class, controls by identifier; buttons are clicked only
// when they are visible and enabled, and the folder field is typed into key by key.
// Every wait is a condition polled until a deadline.
#pragma once
#include <windows.h>

enum { DRIVER_TEXT_CAPACITY = 4096, WAIT_MS = 30000 };

struct Installer {
    PROCESS_INFORMATION process;
    HWND wizard;   // the wizard dialog, once found
};

// Linux path to the Wine path of the same file (Z:...).
void wineFromUnix(const char *unixPath, char *out, int capacity);

bool launchInstaller(Installer *installer, const char *exePath);

// Waits for the wizard dialog of this installer; false at the deadline.
bool waitForWizard(Installer *installer);

// Waits for a dialog (class #32770) of the installer's process with this caption.
HWND waitForBox(Installer *installer, const char *caption, DWORD timeoutMs = WAIT_MS);

// True when no dialog of the installer's process with that caption appears
// within the time (used after the run has moved on, to catch stray boxes).
bool noBoxNow(Installer *installer, const char *caption);

// Waits for the process to end; its exit code in *code.
bool waitForExit(Installer *installer, DWORD *code);
void closeInstaller(Installer *installer);

// Polls until the condition holds.
bool waitUntil(bool (*condition)(void *), void *context, DWORD timeoutMs = WAIT_MS);

// Control state read across processes.
HWND control(HWND dialog, int id);
bool isShown(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);
bool isTicked(HWND dialog, int id);
void controlText(HWND dialog, int id, char *out, int capacity);
void windowText(HWND window, char *out, int capacity);
bool hasFocus(Installer *installer, HWND dialog, int id);

// Waits until the wizard shows the page: its first group control visible and,
// when given, button 2 reading that text.
bool waitForPage(Installer *installer, int page);

// Clicks a visible, enabled button (posted, so a box it opens does not block us).
bool click(HWND dialog, int id);
// The close box of the window (the system's Close command).
void closeBox(HWND window);
// Replaces the folder field's text by typing it; true once the field reads
// expected (by default the text itself).
bool typeFolder(HWND dialog, const char *text, const char *expected = nullptr);

// The text of a message box.
void boxText(HWND box, char *out, int capacity);
// Answers a box by its button; waits for it to go.
bool answerBox(HWND box, int button);

// A top-level window of any process with this class and caption, or null.
HWND findTopWindow(const char *className, const char *caption);

// Counts a failure (through the probe's check) with a formatted message.
bool expect(bool ok, const char *format, ...);
