// The pure helpers of paths.h; the existence test is in path_exists.cpp.
#include "engine/paths.h"

#include <string.h>

namespace {

bool copyPart(char *out, const char *begin, const char *end)
{
    size_t length = (size_t)(end - begin);
    if (length >= PART_CAPACITY)
        return false;
    memcpy(out, begin, length);
    out[length] = 0;
    return true;
}

}  // namespace

bool splitPath(const char *path, SplitPath *parts)
{
    parts->drive[0] = parts->directory[0] = parts->name[0] = parts->extension[0] = 0;
    size_t length = strlen(path);
    // A longer path is refused whole: splitting only its first characters would
    // hand out parts of a different, cut path.
    if (length >= SPLIT_LOOKED_AT)
        return false;
    const char *rest = path;
    if (length >= 2 && path[1] == ':') {
        parts->drive[0] = path[0];
        parts->drive[1] = ':';
        parts->drive[2] = 0;
        rest = path + 2;
    }
    const char *name = pathFileName(rest);
    const char *end = path + length;
    const char *dot = strrchr(name, '.');
    if (!dot)
        dot = end;
    if (copyPart(parts->directory, rest, name) && copyPart(parts->name, name, dot) &&
        copyPart(parts->extension, dot, end))
        return true;
    parts->drive[0] = parts->directory[0] = parts->name[0] = parts->extension[0] = 0;
    return false;
}

const char *pathFileName(const char *path)
{
    const char *name = path;
    if (path[0] && path[1] == ':')
        name = path + 2;
    for (const char *p = name; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    return name;
}

bool joinPath(char *out, size_t capacity, const char *a, const char *b, const char *c)
{
    const char *pieces[3] = {a, b, c};
    size_t used = 0;
    for (const char *piece : pieces) {
        if (!piece)
            continue;
        size_t length = strlen(piece);
        if (used + length >= capacity) {
            out[0] = 0;
            return false;
        }
        memcpy(out + used, piece, length);
        used += length;
    }
    out[used] = 0;
    return true;
}

char lowerAZ(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

void lowerCopyAZ(char *out, const char *text)
{
    while ((*out++ = lowerAZ(*text++)))
        ;
}

bool equalsIgnoringCaseAZ(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b)
        if (lowerAZ(*a) != lowerAZ(*b))
            return false;
    return *a == *b;
}
