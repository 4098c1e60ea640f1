// The uninstall registration under HKEY_LOCAL_MACHINE, and the settings file's
// "ignore" key.
#include "shell/registry.h"

#include "engine/session.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";
const char IGNORE_LIST[] =
    "*.exe,*.com,*.bat,*.dll,*.ini,*.vns,*.vbs,*.js,*.pif,*.scr,*.lnk,*.pl,*.shs,*.htm,*.html";

enum { VALUE_CAPACITY = PATH_CAPACITY };   // a value of at most 299 characters

}  // namespace

bool readUninstallValue(const char *valueName, char *out)
{
    out[0] = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // The stored bytes need not end with a NUL (any type is taken as it is), so
    // they are read into a buffer of their own and terminated here.
    char data[VALUE_CAPACITY];
    DWORD size = sizeof data;
    LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr, (BYTE *)data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || size > sizeof data)
        return false;
    size_t length = strnlen(data, size);
    // 300 characters without a NUL do not fit with their terminator: absent.
    if (length == 0 || length >= VALUE_CAPACITY)
        return false;
    memcpy(out, data, length);
    out[length] = 0;
    return true;
}

bool writeUninstallValue(const char *valueName, const char *text)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, (char *)"", REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE *)text,
                                 (DWORD)strlen(text) + 1);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void registerUninstall()
{
    // Neither result is examined: the finishing actions go on in every case.
    writeUninstallValue("DisplayName", "Vorn");
    char command[TEXT_BUFFER_SIZE];   // the folder (299 at most) and 22 more
    snprintf(command, sizeof command, "\"%s\\vorn.exe\" -uninstall", session.destinationFolder);
    writeUninstallValue("UninstallString", command);
}

void adjustSettingsFile(const char *settingsPath)
{
    // Deliberately unchecked: a failed write leaves the file as it was.
    WritePrivateProfileStringA("text", "ignore", IGNORE_LIST, settingsPath);
}
