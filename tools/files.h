// Whole-file reads and writes for the tool, with errors that name the file.
#pragma once
#include <stdint.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace vornpack {

// A failure the user can act on; the message names the file concerned.
struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<uint8_t> readWholeFile(const std::string &path);

// Writes through a temporary file in the same folder and renames it over the
// target, so a failed run never leaves a half-written file behind.
void writeWholeFile(const std::string &path, const std::vector<uint8_t> &data);

}  // namespace vornpack
