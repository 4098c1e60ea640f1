// The wizard's five pages: the first layout of the control groups and the switch
// between pages.
#pragma once
#include <windows.h>

void moveGroup(HWND dialog, int firstId);
void showGroup(HWND dialog, int firstId, int show);
void invalidateControl(HWND dialog, int id);
void switchPage(HWND dialog, int page);   // 0..4, or -1 for the first layout
