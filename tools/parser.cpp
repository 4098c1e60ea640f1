#include "tools/parser.h"

#include <algorithm>

#include "decode/lzhuf_model.h"
#include "tools/position_code.h"

namespace vornpack {

namespace {
// Bytes per optimal-parse block: paths cut at block ends cost little at this
// size, and the tree changes slowly enough that its lengths stay current.
const size_t OPTIMAL_BLOCK = 16384;
const uint32_t UNREACHED = UINT32_MAX;
// The second pass prices with the tree that the first pass's items would leave:
// about 0.1% smaller for a fraction of the time.
const int OPTIMAL_PASSES = 2;
}  // namespace

Parser::Parser(const uint8_t *data, size_t size, const EncodeOptions &options,
               const std::vector<ParseLimit> &limits)
    : data_(data), size_(size), mode_(options.mode), limits_(limits),
      finder_(data, size, options.chainLimit)
{
    std::sort(limits_.begin(), limits_.end(),
              [](const ParseLimit &a, const ParseLimit &b) { return a.position < b.position; });
}

int Parser::maxLengthAt(size_t position) const
{
    size_t left = size_ - position;
    int limit = left < size_t(MAX_MATCH) ? int(left) : MAX_MATCH;
    auto it = std::lower_bound(limits_.begin(), limits_.end(), position,
                               [](const ParseLimit &l, size_t p) { return l.position < p; });
    for (; it != limits_.end() && it->position == position; ++it)
        limit = std::min(limit, it->maxLength);
    return limit;
}

Item Parser::matchOrLiteral(size_t position, Match match) const
{
    if (match.length >= MIN_MATCH)
        return Item{position, match.length, match.distance};
    return Item{position, 1, 0};
}

void Parser::next(size_t position, const HuffmanTree &tree, std::vector<Item> &out)
{
    out.clear();
    switch (mode_) {
    case ParseMode::Greedy:
        out.push_back(matchOrLiteral(position, finder_.longest(position, maxLengthAt(position))));
        return;
    case ParseMode::Lazy: {
        Match here = finder_.longest(position, maxLengthAt(position));
        if (here.length >= MIN_MATCH && position + 1 < size_) {
            Match after = finder_.longest(position + 1, maxLengthAt(position + 1));
            if (after.length > here.length) {
                out.push_back(Item{position, 1, 0});
                out.push_back(Item{position + 1, after.length, after.distance});
                return;
            }
        }
        out.push_back(matchOrLiteral(position, here));
        return;
    }
    case ParseMode::Optimal:
        nextOptimal(position, tree, out);
        return;
    }
}

// Code length in bits of every symbol in the tree.
static void symbolCosts(const HuffmanTree &tree, uint8_t *cost)
{
    uint8_t depth[NODE_COUNT];
    depth[ROOT_NODE] = 0;
    // Parents always have higher indices than their children.
    for (int n = ROOT_NODE - 1; n >= 0; --n) {
        unsigned d = depth[tree.parent[n]] + 1u;
        depth[n] = uint8_t(d > 255 ? 255 : d);
    }
    for (int s = 0; s < SYMBOL_COUNT; ++s)
        cost[s] = depth[tree.parent[LEAF_BASE + s]];
}


// Shortest path over the block's positions: a literal steps one byte, a match of
// length L steps L bytes. Matches may not cross the block's end; the next block
// starts there. The first pass prices symbols with the tree as it stands; later
// passes with the tree as the previous pass's items would leave it.
void Parser::nextOptimal(size_t position, const HuffmanTree &tree, std::vector<Item> &out)
{
    size_t end = std::min(size_, position + OPTIMAL_BLOCK);
    size_t count = end - position;
    candidateStart_.resize(count + 1);
    candidates_.clear();
    for (size_t k = 0; k < count; ++k) {
        size_t i = position + k;
        candidateStart_[k] = candidates_.size();
        int maxLength = std::min<size_t>(maxLengthAt(i), count - k);
        finder_.candidates(i, maxLength, found_);
        candidates_.insert(candidates_.end(), found_.begin(), found_.end());
    }
    candidateStart_[count] = candidates_.size();

    uint8_t cost[SYMBOL_COUNT];
    symbolCosts(tree, cost);
    solveBlock(position, count, cost, out);
    for (int pass = 1; pass < OPTIMAL_PASSES; ++pass) {
        HuffmanTree after = tree;
        for (const Item &item : out)
            updateModel(after, item.distance ? 256 + item.length - MIN_MATCH : data_[item.position]);
        symbolCosts(after, cost);
        solveBlock(position, count, cost, out);
    }
}

void Parser::solveBlock(size_t position, size_t count, const uint8_t *symbolCost,
                        std::vector<Item> &out)
{
    const PositionPrefix *prefixes = positionPrefixes();
    price_.assign(count + 1, UNREACHED);
    viaLength_.resize(count + 1);
    viaDistance_.resize(count + 1);
    price_[0] = 0;
    for (size_t k = 0; k < count; ++k) {
        uint32_t base = price_[k];
        uint32_t literal = base + symbolCost[data_[position + k]];
        if (literal < price_[k + 1]) {
            price_[k + 1] = literal;
            viaLength_[k + 1] = 1;
            viaDistance_[k + 1] = 0;
        }
        int shorter = MIN_MATCH - 1;
        for (size_t c = candidateStart_[k]; c < candidateStart_[k + 1]; ++c) {
            const Match &m = candidates_[c];
            uint32_t positionBits = base + prefixes[(m.distance - 1) >> 6].bits + 6u;
            const uint8_t *lengthCost = symbolCost + 256 - MIN_MATCH;
            uint32_t *price = price_.data() + k;
            for (int length = shorter + 1; length <= m.length; ++length) {
                uint32_t cost = positionBits + lengthCost[length];
                if (cost < price[length]) {
                    price[length] = cost;
                    viaLength_[k + size_t(length)] = uint8_t(length);
                    viaDistance_[k + size_t(length)] = uint16_t(m.distance);
                }
            }
            shorter = m.length;
        }
    }
    out.clear();
    for (size_t k = count; k > 0; k -= viaLength_[k]) {
        int length = viaLength_[k];
        out.push_back(Item{position + k - size_t(length), length, viaDistance_[k]});
    }
    std::reverse(out.begin(), out.end());
}

}  // namespace vornpack
