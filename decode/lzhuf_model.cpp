// Position tables and the non-inline parts of the adaptive model.
#include "decode/lzhuf_model.h"

// Prefix code for the upper six bits of a match position, read from the leading
// byte of a position code. Rows: leading bytes 0x00, 0x20, 0x50, 0x90, 0xC0, 0xF0
// start prefixes of 3 to 8 bits standing for 0, 1, 4, 12, 24, 48; each value
// owns 2^(8 - length) consecutive leading bytes.
constexpr uint8_t offsetHigh[256] = {
     0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,
     2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,
     3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,
     4,  4,  4,  4,  4,  4,  4,  4,  5,  5,  5,  5,  5,  5,  5,  5,
     6,  6,  6,  6,  6,  6,  6,  6,  7,  7,  7,  7,  7,  7,  7,  7,
     8,  8,  8,  8,  8,  8,  8,  8,  9,  9,  9,  9,  9,  9,  9,  9,
    10, 10, 10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 11, 11, 11, 11,
    12, 12, 12, 12, 13, 13, 13, 13, 14, 14, 14, 14, 15, 15, 15, 15,
    16, 16, 16, 16, 17, 17, 17, 17, 18, 18, 18, 18, 19, 19, 19, 19,
    20, 20, 20, 20, 21, 21, 21, 21, 22, 22, 22, 22, 23, 23, 23, 23,
    24, 24, 25, 25, 26, 26, 27, 27, 28, 28, 29, 29, 30, 30, 31, 31,
    32, 32, 33, 33, 34, 34, 35, 35, 36, 36, 37, 37, 38, 38, 39, 39,
    40, 40, 41, 41, 42, 42, 43, 43, 44, 44, 45, 45, 46, 46, 47, 47,
    48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63,
};

constexpr uint8_t offsetBits[256] = {
     3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,
     3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,
     4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,
     4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,
     4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,  4,
     5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
     5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
     5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
     5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
     6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,
     6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,
     6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  6,
     7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,
     7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,
     7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,
     8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,
};

namespace {

struct OffsetRow { unsigned first, length, value; };
constexpr OffsetRow OFFSET_ROWS[] = {
    {0x00, 3, 0}, {0x20, 4, 1}, {0x50, 5, 4}, {0x90, 6, 12}, {0xC0, 7, 24}, {0xF0, 8, 48},
};

// The written-out tables must follow the row rule above, entry for entry.
constexpr bool offsetTablesFollowRows()
{
    unsigned row = 0;
    for (unsigned b = 0; b < 256; ++b) {
        if (row + 1 < sizeof OFFSET_ROWS / sizeof OFFSET_ROWS[0] && b >= OFFSET_ROWS[row + 1].first)
            ++row;
        const OffsetRow &r = OFFSET_ROWS[row];
        if (offsetBits[b] != r.length)
            return false;
        if (offsetHigh[b] != r.value + (b - r.first) / (1u << (8 - r.length)))
            return false;
    }
    return true;
}
static_assert(offsetTablesFollowRows(), "position tables out of line with their rows");
static_assert(offsetHigh[0xFF] == 63 && offsetBits[0x1F] == 3, "position table ends");

}  // namespace

void resetModel(HuffmanTree &tree)
{
    for (unsigned s = 0; s < SYMBOL_COUNT; ++s) {
        tree.weight[s] = 1;
        tree.child[s] = (uint16_t)(s + LEAF_BASE);
        tree.parent[s + LEAF_BASE] = (uint16_t)s;
    }
    for (unsigned n = SYMBOL_COUNT, i = 0; n < NODE_COUNT; ++n, i += 2) {
        tree.weight[n] = (uint16_t)(tree.weight[i] + tree.weight[i + 1]);
        tree.child[n] = (uint16_t)i;
        tree.parent[i] = tree.parent[i + 1] = (uint16_t)n;
    }
    tree.weight[NODE_COUNT] = 0xFFFF;
    tree.parent[ROOT_NODE] = 0;
}

void rebuildTree(HuffmanTree &tree)
{
    uint16_t *weight = tree.weight;
    uint16_t *child = tree.child;
    // Leaves to the front, in their order, with halved weights rounded up.
    unsigned j = 0;
    for (unsigned n = 0; n < NODE_COUNT; ++n) {
        if (child[n] >= LEAF_BASE) {
            weight[j] = (uint16_t)((weight[n] + 1) / 2);
            child[j] = child[n];
            ++j;
        }
    }
    // Pair the two lightest remaining nodes; the new node goes after every node
    // not heavier than it, which keeps the weights sorted.
    for (unsigned n = SYMBOL_COUNT, i = 0; n < NODE_COUNT; ++n, i += 2) {
        unsigned w = weight[i] + weight[i + 1];
        weight[n] = (uint16_t)w;
        unsigned k = n - 1;
        while (w < weight[k])
            --k;
        ++k;
        for (unsigned m = n; m > k; --m) {
            weight[m] = weight[m - 1];
            child[m] = child[m - 1];
        }
        weight[k] = (uint16_t)w;
        child[k] = (uint16_t)i;
    }
    for (unsigned n = 0; n < NODE_COUNT; ++n) {
        unsigned c = child[n];
        tree.parent[c] = (uint16_t)n;
        if (c < LEAF_BASE)
            tree.parent[c + 1] = (uint16_t)n;
    }
}
