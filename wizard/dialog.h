// The wizard dialog's procedure.
#pragma once
#include <windows.h>

enum {
    UM_SHOW_WIZARD = WM_USER + 100,
    STEP_TIMER = WM_USER + 101,
    UM_PUMP = WM_USER + 102,
};

INT_PTR CALLBACK wizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void setWizardTexts(HWND dialog);
