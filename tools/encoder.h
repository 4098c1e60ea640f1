// LZHUF encoder: writes one compressed segment exactly as the installer's decoder
// reads it (4-byte little-endian decoded size, then the bit stream).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

namespace vornpack {

enum class ParseMode {
    Greedy,    // longest match at every position; kept as the baseline
    Lazy,      // defers a match by one byte when the next one is longer
    Optimal,   // cheapest path per block, priced with the current tree
};

struct EncodeOptions {
    ParseMode mode = ParseMode::Optimal;
    int chainLimit = 64;   // hash-chain candidates looked at per position
};

// Where a later encoding must choose differently: at data position `position`
// no match longer than `maxLength` may start (below 3: a literal). Used by the
// container writer to move a marker collision out of a segment.
struct ParseLimit {
    size_t position;
    int maxLength;
};

// Segment for size > 0 bytes of data; throws std::length_error beyond 4 GiB,
// which the size header cannot hold.
std::vector<uint8_t> encodeSegment(const uint8_t *data, size_t size,
                                   const EncodeOptions &options = {});

// Same, with parse limits (in any order) and, when items is not null, for each
// coded item the data position where it starts and the bit offset of its code
// in the segment.
struct EncodedItem {
    size_t position;
    uint64_t bitOffset;
    int length;   // 1 for a literal
};
std::vector<uint8_t> encodeSegment(const uint8_t *data, size_t size,
                                   const EncodeOptions &options,
                                   const std::vector<ParseLimit> &limits,
                                   std::vector<EncodedItem> *items);

}  // namespace vornpack
