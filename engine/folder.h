// Which destination folder the wizard proposes, and how a picked one is adjusted.
#pragma once
#include <windows.h>

void initDestinationFolder(HWND dialog);
void normaliseDestinationFolder();
