#include "tests/win/e2e/pages.h"

#include "wizard/controls.h"
#include "wizard/licence.h"

#include <string.h>

namespace {

const char *const PAGE_NAMES[] = {"welcome", "licence", "options", "progress", "finish"};

struct PageRow {
    const char *forwardText;
    bool forwardShown, forwardEnabled;
    const char *cancelText;
    bool fieldEnabled;
    int focus;
};

// Button 1, button 2, the folder field and the focus on each page.
const PageRow PAGE_TABLE[] = {
    {"&Next >", true, true, "Cancel", false, ID_FORWARD},
    {"&Yes", true, true, "&No", false, ID_LICENCE_TEXT},
    {"&Install", true, true, "Cancel", true, ID_FORWARD},
    {"&Install", true, false, "Abort", false, ID_CANCEL},
    {"&Install", false, false, "&Finish", false, ID_CANCEL},
};

const char WELCOME_TEXT[] =
    "Welcome to the Vorn installation program! This program will install Vorn v6.02 on your computer.";

struct FocusWait {
    Installer *installer;
    int id;
};

bool focusOn(void *param)
{
    FocusWait *wait = (FocusWait *)param;
    return hasFocus(wait->installer, wait->installer->wizard, wait->id);
}

void expectText(HWND dialog, int id, const char *expected, const char *page)
{
    char text[DRIVER_TEXT_CAPACITY];
    controlText(dialog, id, text, sizeof text);
    expect(strcmp(text, expected) == 0, "%s page: control %d reads '%s', expected '%s'", page, id, text,
           expected);
}

void checkOwnControls(HWND dialog, int page)
{
    const char *name = PAGE_NAMES[page];
    switch (page) {
    case PAGE_WELCOME:
        expectText(dialog, ID_WELCOME_TEXT, WELCOME_TEXT, name);
        expectText(dialog, ID_WELCOME_CONTINUE, "", name);
        break;
    case PAGE_LICENCE:
        expectText(dialog, ID_LICENCE_TEXT, licenceText(), name);
        break;
    case PAGE_OPTIONS:
        for (int id = ID_BROWSE; id <= ID_CREATE_ICONS; ++id)
            expect(isShown(dialog, id) && isEnabled(dialog, id), "options page: control %d not usable", id);
        expect(!(GetWindowLongA(control(dialog, ID_FOLDER_FIELD), GWL_STYLE) & ES_READONLY),
               "options page: folder field read-only");
        break;
    case PAGE_PROGRESS:
        expect(isShown(dialog, ID_FOLDER_FIELD), "progress page: folder field not in view");
        expect(isShown(dialog, ID_BROWSE) && !isEnabled(dialog, ID_BROWSE),
               "progress page: Browse not shown disabled");
        for (int id = ID_OPTIONS_HEADING; id <= ID_OPTIONS_INSTALL_NOTE; ++id)
            expect(!isShown(dialog, id), "progress page: option control %d still shown", id);
        expect(!isShown(dialog, ID_FILE_BAR) && !isShown(dialog, ID_OVERALL_BAR),
               "progress page: a bar placeholder is shown as a control");
        break;
    case PAGE_FINISH:
        expect(!isTicked(dialog, ID_OPEN_HELP) && !isTicked(dialog, ID_LAUNCH_PROGRAM),
               "finish page: a finish option is ticked at first");
        expect(!isShown(dialog, ID_FOLDER_FIELD), "finish page: folder field shown");
        break;
    }
}

}  // namespace

void checkPage(Installer *installer, int page)
{
    HWND dialog = installer->wizard;
    const char *name = PAGE_NAMES[page];
    const PageRow &row = PAGE_TABLE[page];
    if (!expect(waitForPage(installer, page), "%s page never shown", name))
        return;
    char text[DRIVER_TEXT_CAPACITY];
    controlText(dialog, ID_FORWARD, text, sizeof text);
    expect(strcmp(text, row.forwardText) == 0, "%s page: button 1 reads '%s'", name, text);
    expect(isShown(dialog, ID_FORWARD) == row.forwardShown, "%s page: button 1 shown is wrong", name);
    expect(isEnabled(dialog, ID_FORWARD) == row.forwardEnabled, "%s page: button 1 enabled is wrong", name);
    controlText(dialog, ID_CANCEL, text, sizeof text);
    expect(strcmp(text, row.cancelText) == 0, "%s page: button 2 reads '%s'", name, text);
    expect(isShown(dialog, ID_CANCEL) && isEnabled(dialog, ID_CANCEL), "%s page: button 2 not usable", name);
    expect(!isShown(dialog, ID_BACK) && !isEnabled(dialog, ID_BACK), "%s page: Back is usable", name);
    expect(isEnabled(dialog, ID_FOLDER_FIELD) == row.fieldEnabled, "%s page: folder field enabled is wrong",
           name);
    FocusWait focus = {installer, row.focus};
    expect(waitUntil(focusOn, &focus, 5000), "%s page: focus not on control %d", name, row.focus);
    checkOwnControls(dialog, page);
}

bool openToOptions(Installer *installer, const char *exePath, bool checkEach,
                   void (*seen)(HWND wizard, int page))
{
    if (!expect(launchInstaller(installer, exePath), "cannot start %s", exePath))
        return false;
    if (!expect(waitForWizard(installer), "the wizard never appeared"))
        return false;
    for (int page = PAGE_WELCOME; page <= PAGE_LICENCE; ++page) {
        if (checkEach)
            checkPage(installer, page);
        if (!expect(waitForPage(installer, page), "%s page never shown", PAGE_NAMES[page]))
            return false;
        if (seen)
            seen(installer->wizard, page);
        if (!expect(click(installer->wizard, ID_FORWARD), "%s page: cannot press button 1", PAGE_NAMES[page]))
            return false;
    }
    if (checkEach)
        checkPage(installer, PAGE_OPTIONS);
    return expect(waitForPage(installer, PAGE_OPTIONS), "options page never shown");
}
