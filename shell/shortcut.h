// The desktop shortcut to the installed program.
#pragma once
#include <windows.h>

LONG createDesktopShortcut(const char *target);   // 0, -1, or a failing HRESULT
bool shellDeleteFile(const char *path);
