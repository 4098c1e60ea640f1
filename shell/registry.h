// The uninstall registration and the settings file's "ignore" key.
#pragma once

bool readUninstallValue(const char *valueName, char *out);   // out: 300 bytes
bool writeUninstallValue(const char *valueName, const char *text);
void registerUninstall();
void adjustSettingsFile(const char *settingsPath);
