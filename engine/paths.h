// Path helpers shared by the engine, the wizard and the shell code: the split of
// a path into its parts, bounded joins, the existence test and the case rules.
// Every helper that fills a buffer refuses (answers false) rather than cut.
#pragma once
#include <stddef.h>

enum {
    SPLIT_LOOKED_AT = 260,   // only this many characters of a path are split
    DRIVE_CAPACITY = 3,      // a letter and a colon
    PART_CAPACITY = 256,     // directory, file name or extension: 255 characters
};

struct SplitPath {
    char drive[DRIVE_CAPACITY];     // "C:" or empty
    char directory[PART_CAPACITY];  // up to and including the last '\' or '/'
    char name[PART_CAPACITY];       // the file name without its extension
    char extension[PART_CAPACITY];  // from the last dot of the name, with the dot
};

// Splits path into its parts. False, with every part empty, when the path is
// 260 characters or longer or a part would not fit.
bool splitPath(const char *path, SplitPath *parts);

// The last component of path: what follows its last '\', '/' or drive colon.
const char *pathFileName(const char *path);

// Joins up to three texts into out (capacity bytes). False, with out empty, when
// the result would not fit. Null pieces count as empty.
bool joinPath(char *out, size_t capacity, const char *a, const char *b, const char *c = nullptr);

// Case rules: only the letters A to Z have a lower case.
char lowerAZ(char c);
void lowerCopyAZ(char *out, const char *text);   // out holds strlen(text) + 1
bool equalsIgnoringCaseAZ(const char *a, const char *b);

// True when anything, a file or a folder, exists at path.
bool pathExists(const char *path);
