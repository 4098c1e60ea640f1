// Files and folders as the Windows test programs set them up and read them back.
#pragma once
#include <stddef.h>

// A whole file in memory; data comes from malloc and is the caller's to free.
struct Bytes {
    unsigned char *data;
    size_t size;
};

// The whole file; data null when it cannot be read.
Bytes readAll(const char *path);
// Makes the file hold exactly these bytes; false when they were not all written.
bool writeAll(const char *path, const void *data, size_t size);
bool writeText(const char *path, const char *text);

// True when the file holds exactly these bytes, or this text.
bool fileEquals(const char *path, const void *data, size_t size);
bool fileHasText(const char *path, const char *text);
// True when both files can be read and hold the same bytes.
bool sameFileContents(const char *a, const char *b);

// True when anything, a file or a folder, exists at path.
bool fileExists(const char *path);
// Removes a folder and all it holds, read-only entries too; true when it is gone.
bool removeTree(const char *path);
