// The uninstall registration in Wine's real registry, and the settings key.
#include "tests/win/engine/fixture.h"

#include "engine/session.h"
#include "shell/registry.h"

#include <stdio.h>
#include <string.h>

namespace {

const char KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";

bool storeRaw(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
        return false;
    bool ok = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

DWORD storedSize(const char *name)
{
    HKEY key;
    DWORD size = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
    }
    return size;
}

// Reads into a 300-byte buffer followed by guard bytes that must stay as they are.
bool readGuarded(const char *name, char *text, bool *guardIntact)
{
    char buffer[PATH_CAPACITY + 16];
    memset(buffer, '#', sizeof buffer);
    bool found = readUninstallValue(name, buffer);
    *guardIntact = true;
    for (size_t i = PATH_CAPACITY; i < sizeof buffer; ++i)
        *guardIntact = *guardIntact && buffer[i] == '#';
    buffer[PATH_CAPACITY - 1 + 1] = 0;   // for the caller's comparison only
    strcpy(text, buffer);
    return found;
}

void valueLengths()
{
    char long299[300], long300[301], text[PATH_CAPACITY + 16];
    memset(long299, 'a', 299);
    long299[299] = 0;
    memset(long300, 'b', 300);
    long300[300] = 0;
    static const char dword[4] = {'A', 'B', 0, 0};
    struct Row {
        const char *what;
        DWORD type;
        const char *data;
        DWORD size;
        bool found;
        const char *expected;
    } rows[] = {
        {"299 characters", REG_SZ, long299, 300, true, long299},
        {"300 characters", REG_SZ, long300, 301, false, ""},
        {"empty value", REG_SZ, "", 1, false, ""},
        {"299 bytes without a NUL", REG_BINARY, long299, 299, true, long299},
        {"300 bytes without a NUL", REG_BINARY, long300, 300, false, ""},
        {"a number", REG_DWORD, dword, 4, true, "AB"},
    };
    for (const Row &row : rows) {
        storeRaw("UninstallString", row.type, row.data, row.size);
        bool guard;
        bool found = readGuarded("UninstallString", text, &guard);
        checkf(found == row.found && !strcmp(text, row.expected) && guard,
               "read back %s: %s, terminated inside the buffer", row.what,
               row.found ? "in full" : "absent and empty");
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, KEY);
    bool guard;
    check(!readGuarded("UninstallString", text, &guard) && !text[0], "missing key: absent");
}

void registration()
{
    strcpy(session.destinationFolder, "C:\\Program Files\\Vorn");
    registerUninstall();
    char text[PATH_CAPACITY + 16];
    bool guard;
    check(readGuarded("DisplayName", text, &guard) && !strcmp(text, "Vorn"), "DisplayName is Vorn");
    const char *expected = "\"C:\\Program Files\\Vorn\\vorn.exe\" -uninstall";
    check(readGuarded("UninstallString", text, &guard) && !strcmp(text, expected) &&
              strlen(expected) == 43,
          "UninstallString names the installed program");
    checkf(storedSize("UninstallString") == 44, "UninstallString stored with its NUL (%lu bytes)",
           (unsigned long)storedSize("UninstallString"));

    // A second finished installation replaces the first.
    strcpy(session.destinationFolder, "D:\\");
    registerUninstall();
    check(readGuarded("UninstallString", text, &guard) &&
              !strcmp(text, "\"D:\\\\vorn.exe\" -uninstall"),
          "second installation replaces UninstallString, folder inserted unchanged");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, KEY);
}

void settingsFile()
{
    const char *path = "C:\\work\\vorn.ini";
    writeText(path,
              "[servers]\r\nhost=irc.example.net\r\n"
              "[text]\r\ncolour=4\r\nignore=*.txt,*.doc\r\nfont=Courier\r\n");
    adjustSettingsFile(path);
    char value[256];
    GetPrivateProfileStringA("text", "ignore", "", value, sizeof value, path);
    check(!strcmp(value,
                  "*.exe,*.com,*.bat,*.dll,*.ini,*.vns,*.vbs,*.js,*.pif,*.scr,*.lnk,*.pl,*.shs,"
                  "*.htm,*.html"),
          "settings: the user's ignore list is replaced");
    GetPrivateProfileStringA("text", "colour", "", value, sizeof value, path);
    check(!strcmp(value, "4"), "settings: other keys of the section kept");
    GetPrivateProfileStringA("text", "font", "", value, sizeof value, path);
    check(!strcmp(value, "Courier"), "settings: keys after ignore kept");
    GetPrivateProfileStringA("servers", "host", "", value, sizeof value, path);
    check(!strcmp(value, "irc.example.net"), "settings: other sections kept");
}

}  // namespace

void registryGroup()
{
    valueLengths();
    registration();
    settingsFile();
}
