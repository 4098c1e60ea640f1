// The adaptive Huffman model of LZHUF: the tree of the 314 symbols (literal bytes
// and match lengths) and its update and rebuild rules. The decoder and the host
// tool's encoder share it, so both sides evolve the same tree bit for bit.
#pragma once
#include <stdint.h>
#include "decode/lzhuf.h"

// A child value of LEAF_BASE or more marks a leaf: LEAF_BASE + its symbol.
enum { LEAF_BASE = NODE_COUNT };

// Invariants:
// - weight[0..626] never decreases with the node index (the sibling property);
//   weight[627] is 0xFFFF, a sentinel above every real weight (at most 0x8000).
// - An inner node n has its children at child[n] and child[n] + 1; both have
//   lower indices than n. The root is node ROOT_NODE and its parent entry is 0,
//   which no other node has (node 0 is always a leaf).
// - parent[LEAF_BASE + s] is the node that carries symbol s.
struct HuffmanTree {
    uint16_t weight[NODE_COUNT + 1];            // + the sentinel
    uint16_t child[NODE_COUNT];
    uint16_t parent[NODE_COUNT + SYMBOL_COUNT];  // nodes, then the leaf of each symbol
};

// The starting tree: every symbol of weight 1, paired up in symbol order.
void resetModel(HuffmanTree &tree);

// Halves every leaf's weight (rounding up, so none becomes 0), keeps the leaves'
// order and rebuilds the inner nodes on top of them.
void rebuildTree(HuffmanTree &tree);

// Node n has just grown to weight k and outweighs its successor: it changes
// places with the last node lighter than k (the sentinel ends that scan), so the
// weights stay sorted. Returns n's new place.
inline unsigned moveUp(HuffmanTree &tree, unsigned n, unsigned k)
{
    uint16_t *weight = tree.weight;
    uint16_t *child = tree.child;
    uint16_t *parent = tree.parent;
    unsigned l = n + 1;
    while (weight[l + 1] < k)
        ++l;
    weight[n] = weight[l];
    weight[l] = (uint16_t)k;
    unsigned a = child[n];
    parent[a] = (uint16_t)l;
    if (a < LEAF_BASE)
        parent[a + 1] = (uint16_t)l;
    unsigned b = child[l];
    child[l] = (uint16_t)a;
    parent[b] = (uint16_t)n;
    if (b < LEAF_BASE)
        parent[b + 1] = (uint16_t)n;
    child[n] = (uint16_t)b;
    return l;
}

// Adds 1 to the weight of node n and of every node above it, moving each node
// that outgrows its successor.
inline void climbFrom(HuffmanTree &tree, unsigned n)
{
    uint16_t *weight = tree.weight;
    do {
        unsigned k = ++weight[n];
        if (weight[n + 1] < k)
            n = moveUp(tree, n, k);
        n = tree.parent[n];
    } while (n != 0);
}

// Counts one occurrence of symbol (0..313) from its leaf up to the root. Rebuilds
// first once the root has reached WEIGHT_LIMIT, so no weight passes it.
inline void updateModel(HuffmanTree &tree, unsigned symbol)
{
    if (tree.weight[ROOT_NODE] == WEIGHT_LIMIT)
        rebuildTree(tree);
    climbFrom(tree, tree.parent[LEAF_BASE + symbol]);
}
