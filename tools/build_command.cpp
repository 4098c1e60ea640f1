#include <stdio.h>

#include <chrono>

#include "engine/container.h"
#include "engine/session.h"
#include "tools/commands.h"
#include "tools/container_reader.h"
#include "tools/container_writer.h"
#include "tools/files.h"

namespace vornpack {

std::vector<uint8_t> buildPayload(const std::string &productDir, const EncodeOptions &options,
                                  bool quiet)
{
    std::vector<std::vector<uint8_t>> segments;
    auto started = std::chrono::steady_clock::now();
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        std::string path = productDir + "/" + SLOT_FILE_NAMES[slot];
        std::vector<uint8_t> data = readWholeFile(path);
        if (data.empty())
            throw ToolError(path + ": file is empty; an empty file cannot travel in the payload");
        if (data.size() > UINT32_MAX)
            throw ToolError(path + ": file is larger than 4 GiB");
        SafeEncoding encoded;
        try {
            encoded = encodeSafeSegment(data.data(), data.size(), options);
        } catch (const std::runtime_error &e) {
            throw ToolError(path + ": " + e.what());
        }
        if (!quiet) {
            double seconds = std::chrono::duration<double>(
                std::chrono::steady_clock::now() - started).count();
            fprintf(stderr, "[%2d/10] %-12s %10zu -> %9zu bytes%s  (%.1f s)\n", slot + 1,
                    SLOT_FILE_NAMES[slot], data.size(), encoded.segment.size(),
                    encoded.attempts > 1 || encoded.padded ? "  (re-encoded around a marker)" : "",
                    seconds);
        }
        segments.push_back(std::move(encoded.segment));
    }
    return assembleContainer(segments);
}

// Rewrites the header only when its text changes, so dependants rebuild only
// for a new payload.
static void writeCrcHeader(const std::string &path, uint32_t crc)
{
    char text[96];
    int length = snprintf(text, sizeof text, "#pragma once\n#define PAYLOAD_CRC 0x%08Xu\n", crc);
    std::vector<uint8_t> content(text, text + length);
    try {
        if (readWholeFile(path) == content)
            return;
    } catch (const ToolError &) {
        // Not there yet (or unreadable): write it afresh.
    }
    writeWholeFile(path, content);
}

int runBuild(const BuildRequest &request)
{
    try {
        std::vector<uint8_t> payload = buildPayload(request.productDir, request.options,
                                                    request.quiet);
        uint32_t crc = splitContainer(payload.data(), payload.size()).crc;
        writeWholeFile(request.output, payload);
        if (!request.header.empty())
            writeCrcHeader(request.header, crc);
        printf("%s: %zu bytes, CRC-32 0x%08X\n", request.output.c_str(), payload.size(), crc);
        return EXIT_OK;
    } catch (const std::exception &e) {
        fprintf(stderr, "vornpack build: %s\n", e.what());
        return EXIT_FAILED;
    }
}

}  // namespace vornpack
