#include "tools/files.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

namespace vornpack {

namespace {

std::string reason() { return strerror(errno); }

}  // namespace

std::vector<uint8_t> readWholeFile(const std::string &path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        throw ToolError(path + ": " + reason());
    if (S_ISDIR(info.st_mode))
        throw ToolError(path + ": is a folder, not a file");
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        throw ToolError(path + ": " + reason());
    std::vector<uint8_t> data;
    data.reserve(size_t(info.st_size));
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0)
        data.insert(data.end(), block, block + got);
    bool failed = ferror(file);
    fclose(file);
    if (failed)
        throw ToolError(path + ": read error");
    return data;
}

void writeWholeFile(const std::string &path, const std::vector<uint8_t> &data)
{
    std::string temporary = path + ".tmp";
    FILE *file = fopen(temporary.c_str(), "wb");
    if (!file)
        throw ToolError(path + ": " + reason());
    bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
    written = fclose(file) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        std::string why = reason();
        remove(temporary.c_str());
        throw ToolError(path + ": cannot write: " + why);
    }
}

}  // namespace vornpack
