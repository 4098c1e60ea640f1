// verify, list and extract: read a payload or an installer the way the
// installer itself does.
#include <stdio.h>
#include <string.h>

#include <filesystem>

#include "engine/container.h"
#include "engine/session.h"
#include "tools/commands.h"
#include "tools/container_reader.h"
#include "tools/container_writer.h"
#include "tools/files.h"

namespace vornpack {

namespace {

const char *slotName(size_t slot)
{
    return slot < SLOT_COUNT ? SLOT_FILE_NAMES[slot] : "(extra)";
}

// The installer's own scan, run on the bytes already read, so that both
// readings see the same file even if it changes meanwhile.
uint32_t installerScan(std::vector<uint8_t> &bytes)
{
    FILE *file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!file)
        throw ToolError("cannot scan: " + std::string(strerror(errno)));
    uint32_t crc = scanPayloadStream(file, MARKER);
    fclose(file);
    return crc;
}

// What is wrong with the container's shape, or empty when it is well formed.
std::vector<std::string> shapeProblems(const ContainerLayout &layout)
{
    std::vector<std::string> problems;
    if (!layout.opened) {
        problems.push_back("no payload: the marker does not occur in the file");
        return problems;
    }
    if (!layout.closed)
        problems.push_back("the payload is not closed by two markers in a row (file truncated?)");
    if (!layout.unterminated.empty())
        problems.push_back("the file ends inside a segment after " +
                           std::to_string(layout.unterminated.size()) + " bytes");
    if (layout.segments.size() != SLOT_COUNT)
        problems.push_back("found " + std::to_string(layout.segments.size()) +
                           " segments instead of 10");
    return problems;
}

double ratio(size_t compressed, size_t decoded)
{
    return decoded ? 100.0 * double(compressed) / double(decoded) : 0.0;
}

void printProblems(const char *command, const std::string &file,
                   const std::vector<std::string> &problems)
{
    fflush(stdout);   // the report first, then what is wrong with it
    for (const auto &problem : problems)
        fprintf(stderr, "vornpack %s: %s: %s\n", command, file.c_str(), problem.c_str());
}

}  // namespace

int runVerify(const VerifyRequest &request)
{
    std::vector<std::string> problems;
    try {
        std::vector<uint8_t> bytes = readWholeFile(request.file);
        uint32_t scanned = bytes.empty() ? 0 : installerScan(bytes);
        ContainerLayout layout = splitContainer(bytes.data(), bytes.size());
        printf("%s: payload at offset %zu, CRC-32 0x%08X, %zu segments\n", request.file.c_str(),
               layout.payloadOffset, scanned, layout.segments.size());
        problems = shapeProblems(layout);
        if (layout.opened && scanned == 0)
            problems.push_back("the installer's scan finds no segment data");
        if (scanned != layout.crc && scanned != 0)
            problems.push_back("internal: the split disagrees with the installer's scan");
        if (request.checkCrc && scanned != request.expectedCrc) {
            char text[80];
            snprintf(text, sizeof text, "CRC-32 0x%08X differs from the expected 0x%08X",
                     scanned, request.expectedCrc);
            problems.push_back(text);
        }
        printf("%-4s %-12s %10s %10s\n", "slot", "name", "compressed", "decoded");
        for (size_t slot = 0; slot < layout.segments.size(); ++slot) {
            const std::vector<uint8_t> &segment = layout.segments[slot];
            DecodeResult decoded = decodeWithInstallerDecoder(segment);
            printf("%4zu %-12s %10zu %10u  %s\n", slot, slotName(slot), segment.size(),
                   segmentDecodedSize(segment), decoded.ok ? "ok" : decoded.problem.c_str());
            std::string label = "slot " + std::to_string(slot) + " (" + slotName(slot) + ")";
            if (!decoded.ok) {
                problems.push_back(label + ": " + decoded.problem);
                continue;
            }
            if (request.productDir.empty() || slot >= SLOT_COUNT)
                continue;
            std::string path = request.productDir + "/" + SLOT_FILE_NAMES[slot];
            std::vector<uint8_t> original;
            try {
                original = readWholeFile(path);
            } catch (const ToolError &e) {
                problems.push_back(label + ": cannot compare: " + e.what());
                continue;
            }
            if (original == decoded.data)
                continue;
            size_t at = 0;
            while (at < original.size() && at < decoded.data.size() &&
                   original[at] == decoded.data[at])
                ++at;
            problems.push_back(label + ": decodes to " + std::to_string(decoded.data.size()) +
                               " bytes that differ from " + path + " (" +
                               std::to_string(original.size()) + " bytes) at byte " +
                               std::to_string(at));
        }
    } catch (const std::exception &e) {
        problems.push_back(e.what());
    }
    if (problems.empty()) {
        printf("OK\n");
        return EXIT_OK;
    }
    printProblems("verify", request.file, problems);
    printf("FAILED\n");
    return EXIT_FAILED;
}

int runList(const std::string &file)
{
    try {
        std::vector<uint8_t> bytes = readWholeFile(file);
        ContainerLayout layout = splitContainer(bytes.data(), bytes.size());
        std::vector<std::string> problems = shapeProblems(layout);
        if (!layout.opened) {
            printProblems("list", file, problems);
            return EXIT_FAILED;
        }
        printf("%-12s %10s %10s %6s\n", "name", "size", "packed", "ratio");
        uint64_t packed = 0, size = 0;
        for (size_t slot = 0; slot < layout.segments.size(); ++slot) {
            const std::vector<uint8_t> &segment = layout.segments[slot];
            uint32_t decoded = segmentDecodedSize(segment);
            printf("%-12s %10u %10zu %5.1f%%\n", slotName(slot), decoded, segment.size(),
                   ratio(segment.size(), decoded));
            packed += segment.size();
            size += decoded;
        }
        printf("%-12s %10llu %10llu %5.1f%%\n",
               (std::to_string(layout.segments.size()) + " files").c_str(),
               (unsigned long long)size, (unsigned long long)packed, ratio(packed, size));
        printf("CRC-32 0x%08X\n", layout.crc);
        printProblems("list", file, problems);
        return problems.empty() ? EXIT_OK : EXIT_FAILED;
    } catch (const std::exception &e) {
        fprintf(stderr, "vornpack list: %s\n", e.what());
        return EXIT_FAILED;
    }
}

int runExtract(const std::string &file, const std::string &dir, bool overwrite)
{
    namespace fs = std::filesystem;
    try {
        std::vector<uint8_t> bytes = readWholeFile(file);
        ContainerLayout layout = splitContainer(bytes.data(), bytes.size());
        std::vector<std::string> problems = shapeProblems(layout);
        // Decode everything before writing anything: a damaged payload leaves
        // the target folder untouched.
        std::vector<std::vector<uint8_t>> files;
        for (size_t slot = 0; problems.empty() && slot < layout.segments.size(); ++slot) {
            DecodeResult decoded = decodeWithInstallerDecoder(layout.segments[slot]);
            if (!decoded.ok)
                problems.push_back(std::string(slotName(slot)) + ": " + decoded.problem);
            files.push_back(std::move(decoded.data));
        }
        if (!problems.empty()) {
            printProblems("extract", file, problems);
            fprintf(stderr, "vornpack extract: nothing extracted\n");
            return EXIT_FAILED;
        }
        std::vector<std::string> existing;
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            fs::path target = fs::path(dir) / SLOT_FILE_NAMES[slot];
            std::error_code ignored;
            if (fs::exists(fs::symlink_status(target, ignored)))
                existing.push_back(target.string());
        }
        if (!existing.empty() && !overwrite) {
            for (const auto &path : existing)
                fprintf(stderr, "vornpack extract: %s already exists\n", path.c_str());
            fprintf(stderr, "vornpack extract: nothing extracted; use --force to overwrite\n");
            return EXIT_FAILED;
        }
        std::error_code error;
        fs::create_directories(dir, error);
        if (error)
            throw ToolError(dir + ": cannot create folder: " + error.message());
        uint64_t total = 0;
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            std::string target = (fs::path(dir) / SLOT_FILE_NAMES[slot]).string();
            writeWholeFile(target, files[size_t(slot)]);
            printf("%s  %zu bytes\n", target.c_str(), files[size_t(slot)].size());
            total += files[size_t(slot)].size();
        }
        printf("extracted 10 files, %llu bytes, to %s\n", (unsigned long long)total, dir.c_str());
        return EXIT_OK;
    } catch (const std::exception &e) {
        fprintf(stderr, "vornpack extract: %s\n", e.what());
        return EXIT_FAILED;
    }
}

}  // namespace vornpack
