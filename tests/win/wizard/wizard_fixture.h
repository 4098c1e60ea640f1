// The wizard dialog for test programs: created from the real INSTALL_DLG
// template with a small procedure that paints what the installer's paints (icon 2
// and, on the progress page, the overall bar), plus screenshots and pixel reads.
#pragma once
#include <windows.h>

// Creates the dialog (modeless, visible), sets wizardDialog and the texts that the
// real procedure sets when it opens. Null on failure.
HWND createWizard();
void destroyWizard(HWND dialog);

// Whether the test procedure repaints the overall bar on the progress page, as the
// installer's does (on by default). Off lets a test see what a draw call alone did.
void setPaintsOverallBar(bool paints);

// Lets every pending message (paints included) be handled.
void drainMessages();

// A control's rectangle in the dialog's client coordinates.
RECT controlRect(HWND dialog, int id);

// A copy of part of a device context's pixels, read back in one go: GetPixel
// pixel by pixel is slow under Wine.
struct Pixels {
    int left, top, width, height;
    unsigned *bits;   // top-down, 0x00RRGGBB
    HBITMAP bitmap;
};
Pixels copyPixels(HDC dc, RECT area);
COLORREF pixelAt(const Pixels &pixels, int x, int y);  // x, y as in the DC
void freePixels(Pixels &pixels);

// Writes the dialog window as shown (with its caption on a virtual desktop) to
// path as a PNG. False on failure.
bool saveScreenshot(HWND dialog, const char *path);
