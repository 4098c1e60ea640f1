// Splits a payload, or an installer that carries one, into its segments with the
// installer's own marker matching rule.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

namespace vornpack {

struct ContainerLayout {
    bool opened = false;        // an opening marker was found
    bool closed = false;        // two markers in a row ended the payload
    size_t payloadOffset = 0;   // file offset of the opening marker
    std::vector<std::vector<uint8_t>> segments;   // complete ones, in order
    // Data after the last marker when the file ends before the payload does.
    std::vector<uint8_t> unterminated;
    uint32_t crc = 0;           // CRC-32 of the complete segments joined
};

ContainerLayout splitContainer(const uint8_t *data, size_t size);

// Decoded size stored in a segment's header; 0 when it is shorter than that.
uint32_t segmentDecodedSize(const std::vector<uint8_t> &segment);

struct DecodeResult {
    bool ok = false;
    std::vector<uint8_t> data;
    std::string problem;   // why it failed, for the user
};

// Decodes one segment with the installer's decoder. Sizes that the segment
// cannot possibly hold are refused before anything is decoded.
DecodeResult decodeWithInstallerDecoder(const std::vector<uint8_t> &segment);

}  // namespace vornpack
