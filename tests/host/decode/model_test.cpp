// The shared adaptive model: its invariants under updates, the moment of the
// first rebuild and what the rebuild keeps. The position tables' prefix code.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "decode/lzhuf_model.h"

namespace {

// Sibling property and links: sorted weights, each inner node the sum of its two
// children (which come before it), parents pointing back, every symbol on a leaf.
void expectWellFormed(const HuffmanTree &t)
{
    ASSERT_EQ(t.weight[NODE_COUNT], 0xFFFF);
    int leaves = 0;
    for (unsigned n = 0; n < NODE_COUNT; ++n) {
        if (n + 1 < NODE_COUNT) {
            ASSERT_LE(t.weight[n], t.weight[n + 1]) << n;
        }
        unsigned c = t.child[n];
        if (c >= LEAF_BASE) {
            ++leaves;
            ASSERT_EQ(t.parent[c], n);
        } else {
            ASSERT_LT(c + 1, n);
            ASSERT_EQ(t.parent[c], n);
            ASSERT_EQ(t.parent[c + 1], n);
            ASSERT_EQ(t.weight[n], t.weight[c] + t.weight[c + 1]) << n;
        }
    }
    ASSERT_EQ(leaves, SYMBOL_COUNT);
    ASSERT_EQ(t.parent[ROOT_NODE], 0);
}

// (symbol, weight) of the leaves in node order.
std::vector<std::pair<unsigned, unsigned>> leavesOf(const HuffmanTree &t)
{
    std::vector<std::pair<unsigned, unsigned>> leaves;
    for (unsigned n = 0; n < NODE_COUNT; ++n)
        if (t.child[n] >= LEAF_BASE)
            leaves.emplace_back(t.child[n] - LEAF_BASE, t.weight[n]);
    return leaves;
}

// Skewed symbols, as real data gives: a few frequent, the rest rare.
unsigned skewedSymbol(std::mt19937 &rng)
{
    return rng() % 8 ? rng() % 24 : rng() % SYMBOL_COUNT;
}

TEST(Model, StaysWellFormedThroughUpdatesAndRebuilds)
{
    static HuffmanTree tree;
    resetModel(tree);
    expectWellFormed(tree);
    std::mt19937 rng(1);
    for (int i = 0; i < 200000; ++i) {
        updateModel(tree, skewedSymbol(rng));
        if (i % 997 == 0)
            expectWellFormed(tree);
    }
    expectWellFormed(tree);
}

TEST(Model, FirstRebuildComesWithThe32455thSymbolAndHalvesLeaves)
{
    static HuffmanTree tree;
    resetModel(tree);
    EXPECT_EQ(tree.weight[ROOT_NODE], 314);
    std::mt19937 rng(2);
    for (int i = 0; i < 32454; ++i)
        updateModel(tree, skewedSymbol(rng));
    ASSERT_EQ(tree.weight[ROOT_NODE], WEIGHT_LIMIT);   // not rebuilt yet

    auto before = leavesOf(tree);
    static HuffmanTree rebuilt;
    rebuilt = tree;
    rebuildTree(rebuilt);
    expectWellFormed(rebuilt);
    auto after = leavesOf(rebuilt);
    ASSERT_EQ(after.size(), before.size());
    unsigned total = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first) << "leaf order kept";
        EXPECT_EQ(after[i].second, (before[i].second + 1) / 2);
        total += after[i].second;
    }
    EXPECT_EQ(rebuilt.weight[ROOT_NODE], total);

    // The 32455th update rebuilds before it counts its symbol.
    unsigned s = skewedSymbol(rng);
    updateModel(tree, s);
    expectWellFormed(tree);
    EXPECT_EQ(tree.weight[ROOT_NODE], total + 1);
    for (auto [symbol, weight] : leavesOf(tree)) {
        unsigned old = 0;
        for (auto [b, w] : before)
            if (b == symbol)
                old = w;
        EXPECT_EQ(weight, (old + 1) / 2 + (symbol == s)) << symbol;
    }
}

// Each upper-six-bit value owns a run of leading bytes of length 2^(8 - L), the
// runs in value order and covering all 256 bytes: a complete prefix code.
TEST(PositionTables, FormACompletePrefixCodeInValueOrder)
{
    unsigned b = 0;
    for (unsigned value = 0; value < 64; ++value) {
        ASSERT_LT(b, 256u);
        unsigned length = offsetBits[b];
        ASSERT_GE(length, 3u);
        ASSERT_LE(length, 8u);
        unsigned run = 1u << (8 - length);
        EXPECT_EQ(b % run, 0u) << "prefix aligned";
        for (unsigned i = 0; i < run; ++i) {
            EXPECT_EQ(offsetHigh[b + i], value);
            EXPECT_EQ(offsetBits[b + i], length);
        }
        if (value > 0) {
            EXPECT_GE(length, offsetBits[b - 1]) << "lengths never shrink";
        }
        b += run;
    }
    EXPECT_EQ(b, 256u);
}

}  // namespace
