// Saving what the screen shows of a window as a PNG file.
#pragma once
#include <windows.h>

bool saveWindowPng(HWND window, const char *path);
