// Looking at the installer's windows as a user would, for Windows test programs
// run under Wine: wait (with a deadline) for a top-level window by its exact
// caption, read its text, icon and buttons, and press a button.
//
// Typical use, around a call that shows a message box on this thread:
//     BoxWatch watch = {"Vorn Installation Error [10]", IDOK};
//     startBoxWatch(&watch);
//     int result = openPayload();          // blocks until the box is answered
//     finishBoxWatch(&watch);
//     check(watch.seen, "box [10] shown");
//     check(strcmp(watch.text, expected) == 0, "box [10] text");
//
// Windows of other processes on the same desktop are found and pressed too; the
// icon check compares handles and so only works for boxes of the same process.
#pragma once
#include <windows.h>

enum { PROBE_TEXT_CAPACITY = 1024, PROBE_MAX_BUTTONS = 8 };

// Waits until a visible top-level window with exactly this caption exists (any
// process), polling every few milliseconds; null once timeoutMs has passed. A
// caption ending in '*' matches every caption that begins with the text before it.
HWND waitForWindow(const char *caption, DWORD timeoutMs);

// Waits until the window no longer exists; false once timeoutMs has passed.
bool waitForWindowGone(HWND window, DWORD timeoutMs);

// The text of a dialog or message box: its first static control that shows no
// icon. False when there is none; out is always terminated.
bool readDialogText(HWND dialog, char *out, int capacity);

// The icon shown by the dialog's first icon static control, or null.
HICON dialogIcon(HWND dialog);

// True when the dialog shows the system icon id (IDI_HAND, IDI_QUESTION ...).
// Only meaningful for a dialog of this process.
bool dialogShowsSystemIcon(HWND dialog, LPCSTR id);

// The control ids of the dialog's visible push buttons, in z-order; returns how
// many were stored (at most capacity).
int dialogButtons(HWND dialog, int *ids, int capacity);

// Presses the dialog's button id as a click would (WM_COMMAND BN_CLICKED posted
// to the dialog). False when the dialog has no such button.
bool pressButton(HWND dialog, int id);

// A watcher thread: waits for one window with the caption, records what it shows,
// presses button and waits for the window to go.
struct BoxWatch {
    const char *caption;   // in: exact caption
    int button;            // in: id of the button to press, e.g. IDOK or IDNO
    DWORD timeoutMs;       // in: deadline for the window to appear; 0 means 20 s

    bool seen;             // out: the window appeared before the deadline
    char shownCaption[256];           // out: its caption (useful with a '*' pattern)
    bool pressed;          // out: the button existed and the window went away
    char text[PROBE_TEXT_CAPACITY];   // out: its text
    int buttons[PROBE_MAX_BUTTONS];   // out: its push buttons' ids
    int buttonCount;
    HWND owner;            // out: its owner window (GW_OWNER), or null
    bool errorIcon;        // out: it shows the system error icon (same process)
    bool questionIcon;     // out: it shows the system question icon (same process)
    HANDLE thread;
    volatile LONG cancelled;
};

void startBoxWatch(BoxWatch *watch);

// Joins the watcher (it ends by its own deadline); returns watch->seen.
bool finishBoxWatch(BoxWatch *watch);

// Stops waiting for the window (when the code under test has already returned,
// so the window would be a fault), joins the watcher; returns watch->seen.
bool cancelBoxWatch(BoxWatch *watch);

// Failure counting for test programs: prints "FAIL: what" when ok is false.
// testExitCode() is 0 when every check passed, else 1.
bool check(bool ok, const char *what);
int testExitCode();
