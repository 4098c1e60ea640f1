// What an installation leaves on the system, read back for the end-to-end checks:
// folders, registry values, settings keys (files and shortcuts: file_probe.h and
// shell_probe.h); and a stand-in help viewer that records what the installer asks
// Windows Help to show.
#pragma once
#include <windows.h>

#include "tests/win/common/file_probe.h"
#include "tests/win/common/shell_probe.h"

enum { STATE_TEXT_CAPACITY = 1024 };

extern const char *const PRODUCT_FILES[10];

// The names of what a folder holds, separated by spaces, sorted; empty when none.
void listFolder(const char *folder, char *out, int capacity);

// A value of the product's uninstall key; false when there is none.
bool readUninstall(const char *valueName, char *out, int capacity);
void deleteUninstallKey();

// The "ignore" key of section "text" of a settings file; empty when unset.
void readIgnoreKey(const char *iniPath, char *out, int capacity);
extern const char IGNORE_LIST[];

// A shell folder such as CSIDL_PROGRAMS or CSIDL_DESKTOPDIRECTORY.
bool shellFolder(int csidl, char *out);

// The help viewer stand-in: a window of the class Windows Help uses, which takes
// the request that WinHelp hands to a running viewer.
struct HelpRequest {
    volatile LONG received;
    int command;
    long data;
    char file[MAX_PATH];
};
bool startHelpViewer(HelpRequest *request);
