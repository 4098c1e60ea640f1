#include "tests/win/common/file_probe.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

Bytes readAll(const char *path)
{
    Bytes bytes = {nullptr, 0};
    FILE *file = fopen(path, "rb");
    if (!file)
        return bytes;
    char block[65536];
    size_t got;
    bytes.data = (unsigned char *)malloc(1);   // an empty file still reads as data
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        bytes.data = (unsigned char *)realloc(bytes.data, bytes.size + got);
        memcpy(bytes.data + bytes.size, block, got);
        bytes.size += got;
    }
    fclose(file);
    return bytes;
}

bool writeAll(const char *path, const void *data, size_t size)
{
    FILE *file = fopen(path, "wb");
    if (!file)
        return false;
    bool ok = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

bool writeText(const char *path, const char *text)
{
    return writeAll(path, text, strlen(text));
}

bool fileEquals(const char *path, const void *data, size_t size)
{
    Bytes bytes = readAll(path);
    bool same = bytes.data && bytes.size == size && memcmp(bytes.data, data, size) == 0;
    free(bytes.data);
    return same;
}

bool fileHasText(const char *path, const char *text)
{
    return fileEquals(path, text, strlen(text));
}

bool sameFileContents(const char *a, const char *b)
{
    Bytes first = readAll(a);
    bool same = first.data && fileEquals(b, first.data, first.size);
    free(first.data);
    return same;
}

bool fileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool removeTree(const char *path)
{
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", path);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, ".."))
                continue;
            char child[MAX_PATH];
            snprintf(child, sizeof child, "%s\\%s", path, found.cFileName);
            SetFileAttributesA(child, FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path);
    return !fileExists(path);
}
