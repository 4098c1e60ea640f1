// The wizard dialog in this process, with the real engine and this program's own
// payload, for the two run endings that no intact installer file produces from
// outside:
//  - a payload that ends before any segment (the file changed under the pump):
//    the run is rolled back, error [14] is shown and the wizard ends with 0;
//  - a pump message that arrives after an abort was confirmed (a step timer that
//    was still pending): no step runs without an active run.
// A second thread uses the dialog as the end-to-end driver does.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "engine/handles.h"
#include "engine/session.h"
#include "tests/win/common/ui_probe.h"
#include "tests/win/e2e/installed_state.h"
#include "tests/win/e2e/pages.h"
#include "wizard/controls.h"
#include "wizard/dialog.h"

namespace {

const char CORRUPT_TEXT[] =
    "The installation file seems to be corrupt!\n\n"
    "Please try running the installation program again or download a new version!";

enum Case { EndsBeforeSegment, PumpAfterAbort };

Case currentCase;
Installer self;
HANDLE pumpsDrained;
HWND drainMark;

// Sees every message the dialog's thread takes from its queue, before dispatch.
LRESULT CALLBACK queueHook(int code, WPARAM wParam, LPARAM lParam)
{
    MSG *message = (MSG *)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        // The first step of the run: the file now reads as if it ended here.
        if (currentCase == EndsBeforeSegment && message->message == UM_PUMP && session.installerFile &&
            session.slotIndex == 0)
            fseek(session.installerFile, 0, SEEK_END);
        // Posted after the stray pump message: that one has been handled.
        if (message->message == WM_NULL && message->hwnd == drainMark && drainMark)
            SetEvent(pumpsDrained);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool statusNamesFile(void *)
{
    char text[DRIVER_TEXT_CAPACITY];
    controlText(self.wizard, ID_STATUS_LINE, text, sizeof text);
    return !strncmp(text, "Scanning file: ", 15);
}

bool goToOptions()
{
    if (!expect(waitForWizard(&self), "no wizard"))
        return false;
    for (int page = PAGE_WELCOME; page <= PAGE_LICENCE; ++page) {
        waitForPage(&self, page);
        click(self.wizard, ID_FORWARD);
    }
    return expect(waitForPage(&self, PAGE_OPTIONS), "no options page") &&
           expect(typeFolder(self.wizard, "C:\\Run Test"), "cannot type the folder");
}

DWORD WINAPI driveEndsBeforeSegment(void *)
{
    if (!goToOptions())
        return 0;
    click(self.wizard, ID_FORWARD);
    HWND box = waitForBox(&self, "Vorn Installation Error [14]");
    if (expect(box != nullptr, "[14] never shown")) {
        char text[DRIVER_TEXT_CAPACITY];
        boxText(box, text, sizeof text);
        expect(!strcmp(text, CORRUPT_TEXT), "[14] says '%s'", text);
        expect(!isShown(self.wizard, ID_FINISH_SUCCESS), "[14] over the finish page");
        answerBox(box, IDOK);
    }
    return 0;
}

DWORD WINAPI drivePumpAfterAbort(void *)
{
    if (!goToOptions())
        return 0;
    click(self.wizard, ID_FORWARD);
    if (!expect(waitUntil(statusNamesFile, nullptr), "the run never started"))
        return 0;
    click(self.wizard, ID_CANCEL);
    HWND box = waitForBox(&self, "Vorn Installation Warning");
    if (!expect(box != nullptr, "no abort question") || !answerBox(box, IDYES))
        return 0;
    if (!expect(waitForPage(&self, PAGE_OPTIONS), "no options page after the abort"))
        return 0;
    // What a step timer left pending past the confirmation would deliver.
    drainMark = self.wizard;
    PostMessageA(self.wizard, UM_PUMP, 0, 0);
    PostMessageA(self.wizard, WM_NULL, 0, 0);
    expect(WaitForSingleObject(pumpsDrained, WAIT_MS) == WAIT_OBJECT_0, "the stray pump message was never taken");
    expect(!session.installerFile && !session.tempFile && session.slotIndex == 0,
           "a pump step ran after the abort");
    expect(isShown(self.wizard, ID_BACKUP_FILES) && isEnabled(self.wizard, ID_FOLDER_FIELD),
           "the options page did not stay");
    click(self.wizard, ID_CANCEL);
    return 0;
}

INT_PTR runCase(Case which, LPTHREAD_START_ROUTINE drive)
{
    currentCase = which;
    HANDLE driver = CreateThread(nullptr, 0, drive, nullptr, 0, nullptr);
    INT_PTR result = DialogBoxParamA(appInstance, "INSTALL_DLG", nullptr, wizardDialogProc, 0);
    WaitForSingleObject(driver, WAIT_MS);
    CloseHandle(driver);
    return result;
}

}  // namespace

int main()
{
    appInstance = GetModuleHandleA(nullptr);
    self.process.dwProcessId = GetCurrentProcessId();
    self.process.dwThreadId = GetCurrentThreadId();
    pumpsDrained = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetWindowsHookExA(WH_GETMESSAGE, queueHook, nullptr, GetCurrentThreadId());

    INT_PTR result = runCase(EndsBeforeSegment, driveEndsBeforeSegment);
    expect(result == 0, "after [14] the wizard ended with %d", (int)result);
    expect(!fileExists("C:\\Run Test"), "the rollback left the folder it created");
    expect(!session.installerFile, "the installer file is still open");

    result = runCase(PumpAfterAbort, drivePumpAfterAbort);
    expect(result == 0, "after Cancel the wizard ended with %d", (int)result);
    expect(!fileExists("C:\\Run Test"), "the aborted run left its folder");

    int code = testExitCode();
    printf(code ? "dialog run test: FAILED\n" : "dialog run test: passed\n");
    return code;
}
