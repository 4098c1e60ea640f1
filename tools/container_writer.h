// Writes the payload container: the opening marker, ten segments each followed
// by the marker, a second marker and CR LF, with every segment checked to stand
// safely between two markers.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

#include "tools/encoder.h"

namespace vornpack {

inline constexpr char MARKER[] = "ZOLT";
inline constexpr size_t MARKER_SIZE = 4;

// Where a segment would confuse the readers' marker matching.
struct Collision {
    enum Kind { None, Empty, Inside, AtEnd } kind = None;
    size_t offset = 0;   // first byte of the marker, or of the marker prefix at the end
};

// Checks a segment against the container rules: not empty, no marker inside,
// no end in the marker's first one to three characters.
Collision findCollision(const std::vector<uint8_t> &segment);

struct SafeEncoding {
    std::vector<uint8_t> segment;
    int attempts = 1;        // encodings tried
    bool padded = false;     // a byte was appended after the last code
};

// Encodes size > 0 bytes into a segment that keeps the container rules. A
// marker inside is moved out by forcing a different parse near it; a marker
// prefix at the end gets a zero byte appended, which the decoder never reads
// as a code. Throws std::runtime_error if no safe encoding is found.
SafeEncoding encodeSafeSegment(const uint8_t *data, size_t size, const EncodeOptions &options);

// The whole container for the ten segments. Throws std::runtime_error if the
// result would not split back into exactly these segments.
std::vector<uint8_t> assembleContainer(const std::vector<std::vector<uint8_t>> &segments);

}  // namespace vornpack
