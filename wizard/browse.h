// The folder browser, and centring windows on the desktop.
#pragma once
#include <windows.h>

int browseForFolder(HWND owner);
int CALLBACK browseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
void centreWindow(HWND window);
