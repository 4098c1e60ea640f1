#include "engine/handles.h"

HINSTANCE appInstance;
HWND hostWindow;
HWND wizardDialog;
DWORD ddeInstance;
