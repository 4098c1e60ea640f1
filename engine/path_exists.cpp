#include "engine/paths.h"

#include <windows.h>

bool pathExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
