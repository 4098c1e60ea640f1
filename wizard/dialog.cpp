#include "wizard/dialog.h"

#include "engine/errors.h"
#include "engine/feedback.h"
#include "engine/folder.h"
#include "engine/handles.h"
#include "engine/payload.h"
#include "engine/placement.h"
#include "engine/pump.h"
#include "engine/session.h"
#include "shell/progman.h"
#include "wizard/browse.h"
#include "wizard/controls.h"
#include "wizard/licence.h"
#include "wizard/pages.h"

namespace {

const char WIZARD_TITLE[] = "Vorn v6.02 Installation";
const char WELCOME_TEXT[] =
    "Welcome to the Vorn installation program! This program will install Vorn v6.02 on your computer.";
const char ABORT_QUESTION[] = "Are you sure you want to abort the installation?";
const char ABORT_CAPTION[] = "Vorn Installation Warning";

enum { STEP_DELAY_MS = 25 };

int isTicked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

// The field is limited to PATH_CAPACITY - 1 characters, so this never cuts a path.
void readFolderField(HWND dialog)
{
    SendDlgItemMessageA(dialog, ID_FOLDER_FIELD, WM_GETTEXT, PATH_CAPACITY,
                        (LPARAM)session.destinationFolder);
}

// Asks [15] until the group is made or the user gives up; the files stay either way.
void buildProgramGroup()
{
    char caption[40];
    installErrorCaption(caption, ERR_PROGRAM_GROUP);
    while (!createProgramGroup()) {
        int answer = MessageBoxA(hostWindow, installErrorText(ERR_PROGRAM_GROUP), caption,
                                 MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES)
            break;
    }
}

// Runs when the dialog is created, before it is shown.
INT_PTR onInitDialog(HWND dialog)
{
    wizardDialog = dialog;
    CheckDlgButton(dialog, ID_BACKUP_FILES, BST_CHECKED);
    CheckDlgButton(dialog, ID_KEEP_SETTINGS, BST_CHECKED);
    CheckDlgButton(dialog, ID_CREATE_ICONS, BST_CHECKED);
    CheckDlgButton(dialog, ID_OPEN_HELP, BST_UNCHECKED);
    CheckDlgButton(dialog, ID_LAUNCH_PROGRAM, BST_UNCHECKED);
    // A longer folder could not be copied into the session whole; refuse it at the keyboard.
    SendDlgItemMessageA(dialog, ID_FOLDER_FIELD, EM_LIMITTEXT, PATH_CAPACITY - 1, 0);
    setWizardTexts(dialog);
    initDestinationFolder(dialog);
    switchPage(dialog, -1);
    return 0;   // no default focus: the page switch has placed it
}

// Runs when the dialog is about to be shown.
INT_PTR onShowWindow(HWND dialog)
{
    centreWindow(dialog);
    SetFocus(GetDlgItem(dialog, ID_FORWARD));
    return 0;
}

// Runs whenever part of the dialog needs repainting: the icon and, on the
// progress page, the overall bar (it is not a control and has no paint of its own).
INT_PTR onPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC deviceContext = BeginPaint(dialog, &paint);
    RECT frame;
    GetWindowRect(GetDlgItem(dialog, ID_ICON_FRAME), &frame);
    POINT corner = {frame.left, frame.top};
    ScreenToClient(dialog, &corner);
    DrawIcon(deviceContext, corner.x, corner.y, LoadIconA(appInstance, MAKEINTRESOURCEA(ICON_WIZARD)));
    if (IsWindowVisible(GetDlgItem(dialog, ID_STATUS_LINE)))
        drawOverallBar((DeviceContext)deviceContext, nullptr);
    EndPaint(dialog, &paint);
    return 0;
}

// Runs when a timer of the dialog expires: the delay between two pump steps is over.
INT_PTR onTimer(HWND dialog, WPARAM timer)
{
    if (timer == STEP_TIMER) {
        KillTimer(dialog, STEP_TIMER);
        PostMessageA(dialog, UM_PUMP, 0, 0);
    }
    return 0;
}

// Runs for every UM_PUMP: one step of the extraction.
INT_PTR onPump(HWND dialog)
{
    // Dropped while the abort question is open, and when no run is active: a
    // message left over from a run that an abort has already rolled back.
    if (session.abortRequested || !session.installerFile)
        return 0;
    int result = pumpStep();
    if (result == Yield) {
        SetTimer(dialog, STEP_TIMER, STEP_DELAY_MS, nullptr);
        return 0;
    }
    if (result == Done) {
        if (session.slotIndex == 0) {
            rollback();
            showInstallError(ERR_NO_SEGMENT);
            EndDialog(dialog, 0);
            return 1;
        }
        if (session.createIcons)
            buildProgramGroup();
        switchPage(dialog, PageFinish);
        return 1;
    }
    // The failing step has already told the user what went wrong.
    rollback();
    if (result == BackToOptions)
        switchPage(dialog, PageOptions);
    else
        EndDialog(dialog, 0);
    return 1;
}

// Runs when Install is pressed on the options page: starts a run.
void startInstallation(HWND dialog)
{
    readFolderField(dialog);
    session.backupFiles = isTicked(dialog, ID_BACKUP_FILES);
    session.keepSettings = isTicked(dialog, ID_KEEP_SETTINGS);
    session.createIcons = isTicked(dialog, ID_CREATE_ICONS);
    EnableWindow(GetDlgItem(dialog, ID_FOLDER_FIELD), FALSE);
    switchPage(dialog, PageProgress);
    resetSession();
    updateStatusLine();
    drawOverallBar(nullptr, nullptr);
    if (createDestinationFolder() != Done) {
        switchPage(dialog, PageOptions);   // error [1] has been shown
        return;
    }
    SetFocus(GetDlgItem(dialog, ID_CANCEL));
    if (openPayload())
        PostMessageA(dialog, UM_PUMP, 0, 0);
    else
        EndDialog(dialog, 1);   // [2], [9] or [10] has been shown
}

// Runs when button 1 (Next, Yes, Install) is pressed.
INT_PTR onForward(HWND dialog)
{
    switch (session.currentPage) {
    case PageWelcome:
        switchPage(dialog, PageLicence);
        break;
    case PageLicence:
        switchPage(dialog, PageOptions);
        break;
    case PageOptions:
        startInstallation(dialog);
        break;
    default:
        // Enter still sends this command on pages whose button 1 is disabled.
        break;
    }
    return 1;
}

// Runs when Abort is pressed during a run: asks, then goes on or rolls back.
void confirmAbort(HWND dialog)
{
    int answer = MessageBoxA(dialog, ABORT_QUESTION, ABORT_CAPTION, MB_YESNO | MB_ICONQUESTION);
    // A step timer still pending would start a second chain of steps (No) or a
    // step without a run (Yes).
    KillTimer(dialog, STEP_TIMER);
    if (answer == IDNO) {
        session.abortRequested = 0;
        PostMessageA(dialog, UM_PUMP, 0, 0);
        return;
    }
    rollback();
    resetSession();
    switchPage(dialog, PageOptions);
}

// Runs when button 2 (Cancel, No, Abort, Finish), Escape or the close box is used.
INT_PTR onCancel(HWND dialog)
{
    if (session.currentPage == PageFinish) {
        session.finished = 1;
        session.openHelp = isTicked(dialog, ID_OPEN_HELP);
        session.launchProgram = isTicked(dialog, ID_LAUNCH_PROGRAM);
        EndDialog(dialog, 1);
        return 1;
    }
    // On the progress page without a run the files are in place and the program
    // group is being made; its question leaves the wizard usable. Ending the wizard
    // here would leave an installed product unregistered, so the button waits.
    if (session.currentPage == PageProgress && !session.installerFile)
        return 1;
    session.abortRequested = 1;
    if (session.installerFile)
        confirmAbort(dialog);
    else
        EndDialog(dialog, 0);
    return 1;
}

// Runs when Browse is pressed.
INT_PTR onBrowse(HWND dialog)
{
    readFolderField(dialog);
    if (browseForFolder(dialog) == 1)
        SetDlgItemTextA(dialog, ID_FOLDER_FIELD, session.destinationFolder);
    return 0;
}

// Runs for every command of the dialog's controls.
INT_PTR onCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case ID_FORWARD:
        return onForward(dialog);
    case ID_CANCEL:
        return onCancel(dialog);
    case ID_BROWSE:
        return onBrowse(dialog);
    default:
        return 0;
    }
}

// Runs for the system menu's commands: Close acts as button 2 on every page.
INT_PTR onSysCommand(HWND dialog, WPARAM wParam)
{
    if ((wParam & 0xFFF0) != SC_CLOSE)
        return 0;
    PostMessageA(dialog, WM_COMMAND, ID_CANCEL, 0);
    return 1;
}

}  // namespace

void setWizardTexts(HWND dialog)
{
    SetWindowTextA(dialog, WIZARD_TITLE);
    SetDlgItemTextA(dialog, ID_WELCOME_TEXT, WELCOME_TEXT);
    SetDlgItemTextA(dialog, ID_WELCOME_CONTINUE, "");
    SetDlgItemTextA(dialog, ID_LICENCE_TEXT, licenceText());
}

INT_PTR CALLBACK wizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_SHOWWINDOW:
        return onShowWindow(dialog);
    case WM_PAINT:
        return onPaint(dialog);
    case WM_TIMER:
        return onTimer(dialog, wParam);
    case UM_PUMP:
        return onPump(dialog);
    case WM_COMMAND:
        return onCommand(dialog, wParam);
    case WM_SYSCOMMAND:
        return onSysCommand(dialog, wParam);
    default:
        return 0;
    }
}
