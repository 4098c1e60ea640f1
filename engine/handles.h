// Process-wide window and DDE handles, one each for the life of the process.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;  // the executable's own module, for its resources
extern HWND hostWindow;        // owner of the wizard and of the program-group prompt
extern HWND wizardDialog;      // owner of every error box; the bars are drawn on it
extern DWORD ddeInstance;      // 0 when the DDE library could not be initialised
