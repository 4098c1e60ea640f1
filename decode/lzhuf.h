// LZHUF decoder: LZSS over a 4096-byte ring, literals and match lengths coded with
// an adaptive Huffman tree, positions with a fixed prefix code for their upper six
// bits. Portable; works on buffered stdio streams.
#pragma once
#include <stdint.h>
#include <stdio.h>

enum {
    RING_SIZE = 4096,
    MAX_MATCH = 60,
    MIN_MATCH = 3,
    RING_START = RING_SIZE - MAX_MATCH,   // 4036: ring bytes below it start as spaces
    SYMBOL_COUNT = 256 + MAX_MATCH - MIN_MATCH + 1,   // 314
    NODE_COUNT = 2 * SYMBOL_COUNT - 1,    // 627
    ROOT_NODE = NODE_COUNT - 1,           // 626
    WEIGHT_LIMIT = 0x8000,
};

// Position prefix tables, indexed by the leading byte of a position code.
extern const uint8_t offsetHigh[256];
extern const uint8_t offsetBits[256];

// Decodes one segment (4-byte little-endian decoded size, then the bit stream)
// from input into output. False on a read error or short input while the header
// is read, a decoded size of 0, or a failed write. Neither stream is closed. The
// bit reader reads up to eight bytes ahead, so the input may end up past the
// segment's last byte: give each segment a stream of its own.
bool decodeSegment(FILE *input, FILE *output);
