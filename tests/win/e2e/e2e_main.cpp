// End-to-end runs of the installer under Wine, driven from outside as a person
// would use it. One scenario group per call:
//   e2e_driver install|cancel|abort|errors|demo|bench INSTALLER PRODUCT_DIR SHOTS_DIR [EMPTY_INSTALLER]
// (Linux paths). Each group shares launches where the steps follow on naturally.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "tests/win/common/ui_probe.h"
#include "tests/win/e2e/installed_state.h"
#include "tests/win/e2e/pages.h"
#include "tests/win/e2e/screenshot.h"
#include "wizard/controls.h"

namespace {

char installerExe[MAX_PATH];
char productDir[MAX_PATH];
char shotsDir[MAX_PATH];
char emptyInstallerExe[MAX_PATH];

const char DEFAULT_FOLDER[] = "C:\\Program Files\\Vorn";
const char CHOSEN_FOLDER[] = "C:\\Vorn Chat";
const char WARNING_CAPTION[] = "Vorn Installation Warning";
const char ABORT_QUESTION[] = "Are you sure you want to abort the installation?";
const char FOLDER_ERROR[] =
    "There seems to be a problem creating the directory you specified.\n\n"
    "Please try using a different directory name!";
const char CORRUPT_ERROR[] =
    "The installation file seems to be corrupt!\n\n"
    "Please try running the installation program again or download a new version!";
const char READ_ERROR[] =
    "There seems to be a problem reading the installation file.\n\n"
    "Please try running the installation program again!";
const char GROUP_QUESTION[] =
    "There seems to be a problem adding Vorn icons to the Program Manager!\n\n"
    "Do you want me to try again?";
const char SAMPLE_CLASS[] = "VornSample";
const char SAMPLE_TITLE[] = "Vorn 6.02";

// The Program Manager group's items as Wine's shell creates them.
const char *const GROUP_ITEMS[][2] = {
    {"Vorn.lnk", "vorn.exe"},
    {"Vorn Help.lnk", "vorn.hlp"},
    {"IRC Intro.lnk", "ircintro.hlp"},
    {"Readme.txt.lnk", "readme.txt"},
    {"Versions.txt.lnk", "versions.txt"},
};

void shot(HWND window, const char *name)
{
    if (!shotsDir[0])
        return;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s.png", shotsDir, name);
    expect(saveWindowPng(window, path), "cannot save screenshot %s", path);
}

void pathIn(char *out, const char *folder, const char *name)
{
    snprintf(out, MAX_PATH, "%s\\%s", folder, name);
}

// Answers the box with the caption after checking its text exactly.
bool expectBox(Installer *installer, const char *caption, const char *text, int button, const char *shotName)
{
    HWND box = waitForBox(installer, caption);
    if (!expect(box != nullptr, "box '%s' never shown", caption))
        return false;
    char shown[DRIVER_TEXT_CAPACITY];
    boxText(box, shown, sizeof shown);
    expect(strcmp(shown, text) == 0, "box '%s' says '%s'", caption, shown);
    if (shotName)
        shot(box, shotName);
    return expect(answerBox(box, button), "box '%s': cannot press button %d", caption, button);
}

bool endsWithCode0(Installer *installer, const char *when)
{
    DWORD code = 0;
    bool ended = waitForExit(installer, &code);
    expect(ended, "%s: the installer did not end", when);
    expect(!ended || code == 0, "%s: exit code %lu", when, code);
    closeInstaller(installer);
    return ended;
}

void expectProductFiles(const char *folder, const char *when)
{
    for (const char *name : PRODUCT_FILES) {
        char installed[MAX_PATH], original[MAX_PATH];
        pathIn(installed, folder, name);
        pathIn(original, productDir, name);
        if (!strcmp(name, "vorn.ini"))
            continue;   // gets the "ignore" key; checked on its own
        expect(sameFileContents(installed, original), "%s: %s differs from the product's", when, installed);
    }
}

void expectNoRegistration(const char *when)
{
    char value[STATE_TEXT_CAPACITY];
    expect(!readUninstall("UninstallString", value, sizeof value), "%s: uninstall value written: %s", when,
           value);
}

void expectRegistration(const char *folder)
{
    char value[STATE_TEXT_CAPACITY], expected[STATE_TEXT_CAPACITY];
    expect(readUninstall("DisplayName", value, sizeof value) && !strcmp(value, "Vorn"),
           "DisplayName is '%s'", value);
    snprintf(expected, sizeof expected, "\"%s\\vorn.exe\" -uninstall", folder);
    expect(readUninstall("UninstallString", value, sizeof value) && !strcmp(value, expected),
           "UninstallString is '%s', expected '%s'", value, expected);
}

void expectIgnoreKey(const char *folder, const char *when)
{
    char ini[MAX_PATH], value[STATE_TEXT_CAPACITY];
    pathIn(ini, folder, "vorn.ini");
    readIgnoreKey(ini, value, sizeof value);
    expect(!strcmp(value, IGNORE_LIST), "%s: ignore key of %s is '%s'", when, ini, value);
}

void expectShortcuts(const char *folder)
{
    char programs[MAX_PATH], desktop[MAX_PATH], link[MAX_PATH], group[MAX_PATH];
    char target[MAX_PATH], workIn[MAX_PATH], expected[MAX_PATH];
    expect(shellFolder(CSIDL_PROGRAMS, programs), "no Programs folder");
    pathIn(group, programs, "Vorn");
    for (const auto &item : GROUP_ITEMS) {
        pathIn(link, group, item[0]);
        pathIn(expected, folder, item[1]);
        expect(readLink(link, target, workIn) && !lstrcmpiA(target, expected),
               "group item %s points to '%s', expected '%s'", link, target, expected);
    }
    expect(shellFolder(CSIDL_DESKTOPDIRECTORY, desktop), "no Desktop folder");
    pathIn(link, desktop, "Vorn.lnk");
    pathIn(expected, folder, "vorn.exe");
    expect(readLink(link, target, workIn) && !lstrcmpiA(target, expected) && !lstrcmpiA(workIn, folder),
           "desktop shortcut %s: '%s' in '%s'", link, target, workIn);
}

void expectNoTempFile(const char *when)
{
    char temp[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    snprintf(path, sizeof path, "%svorn.tmp", temp);
    expect(!fileExists(path), "%s: %s left behind", when, path);
}

struct StatusWait {
    HWND dialog;
};

bool extractionUnderWay(void *param)
{
    char text[DRIVER_TEXT_CAPACITY];
    controlText(((StatusWait *)param)->dialog, ID_STATUS_LINE, text, sizeof text);
    return !strncmp(text, "Scanning file: ", 15);
}

// Presses Install and waits until the pump is copying files.
bool startRun(Installer *installer, bool checkProgressPage)
{
    if (!expect(click(installer->wizard, ID_FORWARD), "cannot press Install"))
        return false;
    if (checkProgressPage)
        checkPage(installer, PAGE_PROGRESS);
    StatusWait wait = {installer->wizard};
    return expect(waitUntil(extractionUnderWay, &wait), "the status line never named a file");
}

bool programWindowShown(void *)
{
    return findTopWindow(SAMPLE_CLASS, SAMPLE_TITLE) != nullptr;
}

// A full installation into a folder typed by hand, seen page by page; on the
// way, a folder that cannot be created and an abort answered No.
void firstInstallation()
{
    Installer installer;
    if (!openToOptions(&installer, installerExe, true, [](HWND wizard, int page) {
            shot(wizard, page == PAGE_WELCOME ? "page0-welcome" : "page1-licence");
        })) {
        closeInstaller(&installer);
        return;
    }
    HWND wizard = installer.wizard;
    char text[DRIVER_TEXT_CAPACITY];
    controlText(wizard, ID_FOLDER_FIELD, text, sizeof text);
    expect(!strcmp(text, DEFAULT_FOLDER), "first proposal is '%s'", text);
    shot(wizard, "page2-options");

    const char *badFolder = "C:\\No Such Parent\\Vorn";
    expect(typeFolder(wizard, badFolder), "cannot type the folder");
    click(wizard, ID_FORWARD);
    expectBox(&installer, "Vorn Installation Error [1]", FOLDER_ERROR, IDOK, "error-1");
    checkPage(&installer, PAGE_OPTIONS);
    controlText(wizard, ID_FOLDER_FIELD, text, sizeof text);
    expect(!strcmp(text, badFolder), "after [1] the field reads '%s'", text);
    expect(!fileExists("C:\\No Such Parent"), "[1] left a folder behind");

    expect(typeFolder(wizard, CHOSEN_FOLDER), "cannot type the folder");
    if (startRun(&installer, true)) {
        shot(wizard, "page3-progress");
        click(wizard, ID_CANCEL);
        expectBox(&installer, WARNING_CAPTION, ABORT_QUESTION, IDNO, "abort-question");
    }
    checkPage(&installer, PAGE_FINISH);
    shot(wizard, "page4-finish");
    closeBox(wizard);   // works as Finish here
    endsWithCode0(&installer, "first installation");

    expectProductFiles(CHOSEN_FOLDER, "first installation");
    expectIgnoreKey(CHOSEN_FOLDER, "first installation");
    expectRegistration(CHOSEN_FOLDER);
    expectShortcuts(CHOSEN_FOLDER);
    expectNoTempFile("first installation");
    expect(!programWindowShown(nullptr), "the program was started without Launch ticked");
}

// A second installation over the first: the folder comes from the registration,
// changed files are backed up, the user's settings are kept, and both finish
// options are chosen.
void secondInstallation()
{
    char readme[MAX_PATH], ini[MAX_PATH], backupReadme[MAX_PATH], backupExe[MAX_PATH], original[MAX_PATH];
    pathIn(readme, CHOSEN_FOLDER, "readme.txt");
    pathIn(ini, CHOSEN_FOLDER, "vorn.ini");
    pathIn(backupReadme, CHOSEN_FOLDER, "backup\\readme.txt");
    pathIn(backupExe, CHOSEN_FOLDER, "backup\\vorn.exe");
    const char *notes = "my own notes\r\n";
    expect(writeText(readme, notes), "cannot change %s", readme);
    WritePrivateProfileStringA("user", "nick", "me", ini);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);

    HelpRequest help;
    expect(startHelpViewer(&help), "cannot start the help viewer stand-in");

    Installer installer;
    if (!openToOptions(&installer, installerExe, false)) {
        closeInstaller(&installer);
        return;
    }
    HWND wizard = installer.wizard;
    char text[DRIVER_TEXT_CAPACITY];
    controlText(wizard, ID_FOLDER_FIELD, text, sizeof text);
    expect(!strcmp(text, CHOSEN_FOLDER), "second proposal is '%s', expected the registered folder", text);
    expect(isTicked(wizard, ID_BACKUP_FILES) && isTicked(wizard, ID_KEEP_SETTINGS) &&
               isTicked(wizard, ID_CREATE_ICONS),
           "the three options are not ticked at first");
    click(wizard, ID_FORWARD);
    if (expect(waitForPage(&installer, PAGE_FINISH), "second installation never finished")) {
        click(wizard, ID_OPEN_HELP);
        click(wizard, ID_LAUNCH_PROGRAM);
        struct Ticks {
            HWND wizard;
        } ticks = {wizard};
        expect(waitUntil([](void *p) {
                   HWND w = ((Ticks *)p)->wizard;
                   return isTicked(w, ID_OPEN_HELP) && isTicked(w, ID_LAUNCH_PROGRAM);
               }, &ticks, 5000),
               "finish options could not be ticked");
        click(wizard, ID_CANCEL);
    }
    endsWithCode0(&installer, "second installation");

    expect(sameFileContents(backupReadme, readme) == false && fileExists(backupReadme),
           "backup of readme.txt missing or equal to the new one");
    FILE *kept = fopen(backupReadme, "rb");
    char keptText[64] = "";
    if (kept) {
        fgets(keptText, sizeof keptText, kept);
        fclose(kept);
    }
    expect(!strncmp(keptText, notes, strlen(notes) - 2), "backup\\readme.txt holds '%s'", keptText);
    pathIn(original, productDir, "readme.txt");
    expect(sameFileContents(readme, original), "readme.txt was not replaced");
    pathIn(original, productDir, "vorn.exe");
    expect(sameFileContents(backupExe, original), "backup\\vorn.exe is not the previous program");
    GetPrivateProfileStringA("user", "nick", "", text, sizeof text, ini);
    expect(!strcmp(text, "me"), "the kept vorn.ini lost the user's key: '%s'", text);
    expectIgnoreKey(CHOSEN_FOLDER, "second installation");
    expectProductFiles(CHOSEN_FOLDER, "second installation");

    expect(waitUntil(programWindowShown, nullptr), "the installed program did not start");
    HWND program = findTopWindow(SAMPLE_CLASS, SAMPLE_TITLE);
    if (program)
        PostMessageA(program, WM_CLOSE, 0, 0);
    expect(waitUntil([](void *p) { return ((HelpRequest *)p)->received != 0; }, &help),
           "Windows Help was not asked for anything");
    char helpFile[MAX_PATH];
    pathIn(helpFile, CHOSEN_FOLDER, "vorn.hlp");
    expect(help.command == HELP_CONTEXT && help.data == 10 && !lstrcmpiA(help.file, helpFile),
           "help asked for command %d, context %ld, file '%s'", help.command, help.data, help.file);
}

int scenarioInstall()
{
    firstInstallation();
    secondInstallation();
    return testExitCode();
}

// Cancel and the close box on the first three pages: the wizard ends at once and
// nothing is registered; a settings file already in the proposed folder still
// gets its "ignore" key.
int scenarioCancel()
{
    struct Row {
        int page;
        bool closeBox;
    };
    const Row rows[] = {{0, false}, {0, true}, {1, false}, {1, true}, {2, false}, {2, true}};
    char ini[MAX_PATH];
    pathIn(ini, DEFAULT_FOLDER, "vorn.ini");
    for (const Row &row : rows) {
        char when[64];
        snprintf(when, sizeof when, "%s on page %d", row.closeBox ? "close box" : "Cancel", row.page);
        bool withSettings = row.page == 0 && !row.closeBox;
        if (withSettings) {
            CreateDirectoryA(DEFAULT_FOLDER, nullptr);
            writeText(ini, "[text]\r\nignore=*.txt\r\nkeep=this\r\n");
        }
        Installer installer;
        if (!expect(launchInstaller(&installer, installerExe) && waitForWizard(&installer), "%s: no wizard", when)) {
            closeInstaller(&installer);
            continue;
        }
        for (int page = 0; page < row.page; ++page) {
            waitForPage(&installer, page);
            click(installer.wizard, ID_FORWARD);
        }
        expect(waitForPage(&installer, row.page), "%s: page never shown", when);
        if (row.page == 2 && !row.closeBox) {
            // A folder longer than the session can hold is refused at the keyboard,
            // so that what is installed into is never a cut path.
            char longFolder[321] = "C:\\";
            memset(longFolder + 3, 'x', sizeof longFolder - 4);
            longFolder[sizeof longFolder - 1] = 0;
            char kept[300];
            memcpy(kept, longFolder, sizeof kept - 1);
            kept[sizeof kept - 1] = 0;
            expect(typeFolder(installer.wizard, longFolder, kept), "the field does not stop at 299 characters");
        }
        if (row.closeBox)
            closeBox(installer.wizard);
        else
            click(installer.wizard, ID_CANCEL);
        endsWithCode0(&installer, when);
        expectNoRegistration(when);
        if (withSettings) {
            expectIgnoreKey(DEFAULT_FOLDER, when);
            char kept[32];
            GetPrivateProfileStringA("text", "keep", "", kept, sizeof kept, ini);
            expect(!strcmp(kept, "this"), "%s: the settings file lost its other key", when);
            removeTree(DEFAULT_FOLDER);
        } else {
            expect(!fileExists(DEFAULT_FOLDER), "%s: the proposed folder was created", when);
        }
    }
    return testExitCode();
}

// An abort confirmed with Yes (by the close box) rolls the run back and returns
// to the options page as the user left it; Install then succeeds.
int scenarioAbort()
{
    const char *folder = "C:\\Fresh Vorn";
    Installer installer;
    if (!openToOptions(&installer, installerExe, false)) {
        closeInstaller(&installer);
        return testExitCode();
    }
    HWND wizard = installer.wizard;
    typeFolder(wizard, folder);
    click(wizard, ID_BACKUP_FILES);
    expect(waitUntil([](void *p) { return !isTicked((HWND)p, ID_BACKUP_FILES); }, wizard, 5000),
           "cannot untick Backup");
    if (startRun(&installer, false)) {
        closeBox(wizard);
        expectBox(&installer, WARNING_CAPTION, ABORT_QUESTION, IDYES, nullptr);
        checkPage(&installer, PAGE_OPTIONS);
        char text[DRIVER_TEXT_CAPACITY];
        controlText(wizard, ID_FOLDER_FIELD, text, sizeof text);
        expect(!strcmp(text, folder), "after the abort the field reads '%s'", text);
        expect(!isTicked(wizard, ID_BACKUP_FILES) && isTicked(wizard, ID_KEEP_SETTINGS) &&
                   isTicked(wizard, ID_CREATE_ICONS),
               "after the abort the options changed");
        expect(!fileExists(folder), "the rollback left %s", folder);
        expectNoTempFile("after the abort");
        click(wizard, ID_FORWARD);
        if (expect(waitForPage(&installer, PAGE_FINISH), "Install after the abort did not finish"))
            click(wizard, ID_CANCEL);
    }
    endsWithCode0(&installer, "abort and install again");
    expectProductFiles(folder, "install after the abort");
    expectRegistration(folder);
    char listing[STATE_TEXT_CAPACITY];
    listFolder(folder, listing, sizeof listing);
    expect(!strcmp(listing, "aliases.ini ircintro.hlp popups.ini readme.txt servers.ini urls.ini "
                            "versions.txt vorn.exe vorn.hlp vorn.ini"),
           "the folder holds: %s", listing);
    return testExitCode();
}

// A copy of the installer with one byte of its first segment changed.
bool makeCorruptCopy(const char *from, const char *to)
{
    FILE *in = fopen(from, "rb");
    if (!in)
        return false;
    fseek(in, 0, SEEK_END);
    long size = ftell(in);
    fseek(in, 0, SEEK_SET);
    static char bytes[8 << 20];
    bool ok = size > 0 && size <= (long)sizeof bytes && fread(bytes, 1, size, in) == (size_t)size;
    fclose(in);
    if (!ok)
        return false;
    long at = -1;
    for (long i = 0; i + 4 <= size; ++i)
        if (!memcmp(bytes + i, "ZOLT", 4)) {
            at = i + 4 + 1000;   // well inside the first segment
            break;
        }
    if (at < 0 || at >= size)
        return false;
    bytes[at] ^= 0x01;
    for (long i = at - 3; i <= at; ++i)
        if (!memcmp(bytes + i, "ZOLT", 4))
            return false;   // the change must not make a marker
    FILE *out = fopen(to, "wb");
    if (!out)
        return false;
    fwrite(bytes, 1, size, out);
    return fclose(out) == 0;
}

// Pressing Install through to the box with the caption; answers it with OK.
void installUntilBox(const char *exe, const char *caption, const char *text)
{
    Installer installer;
    if (openToOptions(&installer, exe, false)) {
        click(installer.wizard, ID_FORWARD);
        expectBox(&installer, caption, text, IDOK, nullptr);
        endsWithCode0(&installer, caption);
    }
    closeInstaller(&installer);
    expectNoRegistration(caption);
    char listing[STATE_TEXT_CAPACITY];
    listFolder(DEFAULT_FOLDER, listing, sizeof listing);
    expect(!listing[0], "%s: the folder holds %s", caption, listing);
    removeTree(DEFAULT_FOLDER);
}

// Errors as the user meets them: a changed payload byte, an installer without any
// segment, and a Program Manager that does not answer (retried once, then left).
int scenarioErrors()
{
    CreateDirectoryA("C:\\copies", nullptr);
    const char *corrupt = "C:\\copies\\vorn-setup.exe";
    if (expect(makeCorruptCopy(installerExe, corrupt), "cannot make the corrupt copy"))
        installUntilBox(corrupt, "Vorn Installation Error [10]", CORRUPT_ERROR);
    if (emptyInstallerExe[0])
        installUntilBox(emptyInstallerExe, "Vorn Installation Error [2]", READ_ERROR);

    DWORD ddeClient = startDdeClient();
    if (expect(waitForWineProgman(ddeClient, WAIT_MS), "Wine's Program Manager server never came up"))
        expect(removeForeignDdeServers(ddeClient), "the Program Manager server still answers");
    Installer installer;
    if (openToOptions(&installer, installerExe, false)) {
        click(installer.wizard, ID_FORWARD);
        const char *caption = "Vorn Installation Error [15]";
        // While the question is open the wizard stays usable: Abort and the close
        // box must not end it before the product is registered.
        if (expect(waitForBox(&installer, caption) != nullptr, "box '%s' never shown", caption)) {
            expect(click(installer.wizard, ID_CANCEL), "Abort cannot be pressed during [15]");
            closeBox(installer.wizard);
        }
        expectBox(&installer, caption, GROUP_QUESTION, IDYES, nullptr);
        expectBox(&installer, caption, GROUP_QUESTION, IDNO, nullptr);
        if (expect(waitForPage(&installer, PAGE_FINISH), "no finish page after [15]")) {
            expect(noBoxNow(&installer, caption), "a third [15] question");
            click(installer.wizard, ID_CANCEL);
        }
        endsWithCode0(&installer, "[15]");
    }
    closeInstaller(&installer);
    expectProductFiles(DEFAULT_FOLDER, "after [15]");
    expectRegistration(DEFAULT_FOLDER);
    DdeUninitialize(ddeClient);
    return testExitCode();
}

// The demonstration: a full installation with the defaults, then what it left.
int scenarioDemo()
{
    Installer installer;
    if (openToOptions(&installer, installerExe, false, [](HWND wizard, int page) {
            shot(wizard, page == PAGE_WELCOME ? "page0-welcome" : "page1-licence");
        })) {
        HWND wizard = installer.wizard;
        char folder[MAX_PATH];
        controlText(wizard, ID_FOLDER_FIELD, folder, sizeof folder);
        printf("Installing into %s\n", folder);
        shot(wizard, "page2-options");
        if (startRun(&installer, false))
            shot(wizard, "page3-progress");
        if (expect(waitForPage(&installer, PAGE_FINISH), "the installation did not finish")) {
            shot(wizard, "page4-finish");
            click(wizard, ID_CANCEL);
        }
        endsWithCode0(&installer, "demo");
        char listing[STATE_TEXT_CAPACITY], value[STATE_TEXT_CAPACITY];
        listFolder(folder, listing, sizeof listing);
        printf("Installed files: %s\n", listing);
        expectProductFiles(folder, "demo");
        if (readUninstall("UninstallString", value, sizeof value))
            printf("Registered for removal: HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn, "
                   "UninstallString = %s\n", value);
        char programs[MAX_PATH], group[MAX_PATH], desktop[MAX_PATH];
        if (shellFolder(CSIDL_PROGRAMS, programs)) {
            pathIn(group, programs, "Vorn");
            listFolder(group, listing, sizeof listing);
            printf("Start Menu group %s: %s\n", group, listing);
        }
        if (shellFolder(CSIDL_DESKTOPDIRECTORY, desktop))
            printf("Desktop shortcut: %s\\Vorn.lnk%s\n", desktop,
                   fileExists((pathIn(value, desktop, "Vorn.lnk"), value)) ? "" : " (missing)");
    }
    closeInstaller(&installer);
    return testExitCode();
}

// Time from pressing Install to the finish page, over a few runs: with the
// program group (the default, which waits on Program Manager) and without it.
int scenarioBench()
{
    enum { RUNS = 3 };
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int run = 0; run < 2 * RUNS; ++run) {
        bool icons = run < RUNS;
        Installer installer;
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "C:\\Bench %d", run);
        if (openToOptions(&installer, installerExe, false) && typeFolder(installer.wizard, folder)) {
            if (!icons) {
                click(installer.wizard, ID_CREATE_ICONS);
                waitUntil([](void *w) { return !isTicked((HWND)w, ID_CREATE_ICONS); }, installer.wizard, 5000);
            }
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            click(installer.wizard, ID_FORWARD);
            if (expect(waitForPage(&installer, PAGE_FINISH), "run %d did not finish", run)) {
                QueryPerformanceCounter(&end);
                printf("install to finish page, %s program group: %.0f ms\n", icons ? "with" : "without",
                       (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
                fflush(stdout);
                click(installer.wizard, ID_CANCEL);
            }
            endsWithCode0(&installer, "bench");
        }
        closeInstaller(&installer);
    }
    return testExitCode();
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        printf("usage: e2e_driver install|cancel|abort|errors|demo|bench INSTALLER PRODUCT SHOTS [EMPTY]\n");
        return 2;
    }
    CoInitialize(nullptr);
    wineFromUnix(argv[2], installerExe, sizeof installerExe);
    wineFromUnix(argv[3], productDir, sizeof productDir);
    if (strcmp(argv[4], "-") != 0) {
        wineFromUnix(argv[4], shotsDir, sizeof shotsDir);
        CreateDirectoryA(shotsDir, nullptr);
    }
    if (argc > 5)
        wineFromUnix(argv[5], emptyInstallerExe, sizeof emptyInstallerExe);
    // Wine draws the windows' captions itself, as on Windows, when no window
    // manager does; the screenshots need them.
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Decorated", 0, REG_SZ, (const BYTE *)"N", 2);
        RegCloseKey(key);
    }

    const char *scenario = argv[1];
    int result = 2;
    if (!strcmp(scenario, "install"))
        result = scenarioInstall();
    else if (!strcmp(scenario, "cancel"))
        result = scenarioCancel();
    else if (!strcmp(scenario, "abort"))
        result = scenarioAbort();
    else if (!strcmp(scenario, "errors"))
        result = scenarioErrors();
    else if (!strcmp(scenario, "demo"))
        result = scenarioDemo();
    else if (!strcmp(scenario, "bench"))
        result = scenarioBench();
    else
        printf("unknown scenario %s\n", scenario);
    CoUninitialize();
    printf(result ? "e2e %s: FAILED\n" : "e2e %s: passed\n", scenario);
    return result;
}
