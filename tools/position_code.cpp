#include "tools/position_code.h"

#include "decode/lzhuf.h"

namespace vornpack {

namespace {

struct PrefixTable {
    PositionPrefix entries[64] = {};

    PrefixTable()
    {
        // Every leading byte with the same prefix maps to the same upper bits,
        // so the first such byte carries the prefix in its top bits.
        bool seen[64] = {};
        for (int b = 0; b < 256; ++b) {
            int high = offsetHigh[b];
            if (seen[high])
                continue;
            seen[high] = true;
            int bits = offsetBits[b];
            entries[high] = PositionPrefix{uint8_t(b >> (8 - bits)), uint8_t(bits)};
        }
    }
};

}  // namespace

const PositionPrefix *positionPrefixes()
{
    static const PrefixTable table;
    return table.entries;
}

}  // namespace vornpack
