// The four commands of vornpack. Each prints its report and returns the exit
// code: 0 success, 1 failure (named on stderr); usage errors are vornpack.cpp's.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

#include "tools/encoder.h"

namespace vornpack {

enum ExitCode { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

struct BuildRequest {
    std::string productDir;
    std::string output;
    std::string header;   // empty: no header
    EncodeOptions options;
    bool quiet = false;
};

// Encodes the ten slot files of productDir into a container; progress goes to
// stderr unless quiet. Throws ToolError naming a missing, unreadable or empty file.
std::vector<uint8_t> buildPayload(const std::string &productDir, const EncodeOptions &options,
                                  bool quiet);

int runBuild(const BuildRequest &request);

struct VerifyRequest {
    std::string file;
    bool checkCrc = false;
    uint32_t expectedCrc = 0;
    std::string productDir;   // empty: no comparison
};
int runVerify(const VerifyRequest &request);

int runList(const std::string &file);
int runExtract(const std::string &file, const std::string &dir, bool overwrite);

}  // namespace vornpack
