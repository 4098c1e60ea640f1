// Crafts compressed segments item by item for the tests: each symbol is coded
// from a copy of the shared adaptive model, which is updated as the decoder will.
#pragma once
#include <stdint.h>

#include <vector>

#include "decode/lzhuf_model.h"

class StreamWriter {
public:
    explicit StreamWriter(uint32_t size)
    {
        resetModel(tree_);
        for (int i = 0; i < 4; ++i)
            bytes_.push_back((uint8_t)(size >> (8 * i)));
    }

    void literal(uint8_t byte) { symbol(byte); }

    // length 3..60; position 0..4095 (0: the byte just written).
    void match(unsigned length, unsigned position)
    {
        symbol(256 - MIN_MATCH + length);
        unsigned high = position >> 6;
        unsigned lead = 0;
        while (offsetHigh[lead] != high)
            ++lead;
        unsigned prefixLength = offsetBits[lead];
        bits(lead >> (8 - prefixLength), prefixLength);
        bits(position & 0x3F, 6);
    }

    void symbol(unsigned s)
    {
        // Leaf to root gives the code backwards; a node is a second child when
        // its parent's first child is its predecessor.
        std::vector<unsigned> path;
        for (unsigned n = tree_.parent[LEAF_BASE + s]; n != ROOT_NODE; n = tree_.parent[n])
            path.push_back(tree_.child[tree_.parent[n]] != n);
        for (size_t i = path.size(); i-- > 0;)
            bits(path[i], 1);
        updateModel(tree_, s);
    }

    void bits(uint32_t value, unsigned count)
    {
        for (unsigned i = count; i-- > 0;) {
            if (bitCount_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1)
                bytes_.back() |= (uint8_t)(0x80 >> (bitCount_ % 8));
            ++bitCount_;
        }
    }

    const HuffmanTree &tree() const { return tree_; }
    const std::vector<uint8_t> &bytes() const { return bytes_; }

private:
    HuffmanTree tree_;
    std::vector<uint8_t> bytes_;
    uint64_t bitCount_ = 0;
};
