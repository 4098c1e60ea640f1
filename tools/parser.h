// Chooses the items (literals and matches) that the encoder codes: greedy,
// lazy or, per block, the cheapest path under the tree's current code lengths.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

#include "decode/lzhuf.h"
#include "decode/lzhuf_model.h"
#include "tools/encoder.h"
#include "tools/match_finder.h"

namespace vornpack {

struct Item {
    size_t position;
    int length;     // 1 with distance 0: a literal; otherwise MIN_MATCH..MAX_MATCH
    int distance;   // 1..4096 for a match
};

class Parser {
public:
    Parser(const uint8_t *data, size_t size, const EncodeOptions &options,
           const std::vector<ParseLimit> &limits);

    // Items from `position` on (at least one). The Optimal parse prices them
    // with the tree's code lengths; the others ignore it.
    void next(size_t position, const HuffmanTree &tree, std::vector<Item> &out);

private:
    int maxLengthAt(size_t position) const;
    Item matchOrLiteral(size_t position, Match match) const;
    void nextOptimal(size_t position, const HuffmanTree &tree, std::vector<Item> &out);
    void solveBlock(size_t position, size_t count, const uint8_t *symbolCost,
                    std::vector<Item> &out);

    const uint8_t *data_;
    size_t size_;
    ParseMode mode_;
    std::vector<ParseLimit> limits_;   // sorted by position
    MatchFinder finder_;
    std::vector<Match> found_;
    // Optimal parse state, reused between blocks.
    std::vector<uint32_t> price_;
    std::vector<uint8_t> viaLength_;     // per block offset: the item that ends there
    std::vector<uint16_t> viaDistance_;
    std::vector<Match> candidates_;        // of the block's positions, in order
    std::vector<size_t> candidateStart_;   // per position: its first candidate
};

}  // namespace vornpack
