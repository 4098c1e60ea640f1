// The encoder's side of the position prefix code: for each value of a position's
// upper six bits, the prefix that the decoder's offsetHigh/offsetBits tables map
// back to it.
#pragma once
#include <stdint.h>

namespace vornpack {

struct PositionPrefix {
    uint8_t code;   // the prefix bits, right-aligned
    uint8_t bits;   // 3..8
};

// Indexed by position >> 6 (0..63), derived from the decoder's tables.
const PositionPrefix *positionPrefixes();

// Bits that position code for a match `distance` bytes back (1..4096) takes.
inline int positionCodeBits(int distance)
{
    return positionPrefixes()[(distance - 1) >> 6].bits + 6;
}

}  // namespace vornpack
