// LZHUF decoder: bit reader, symbol and position codes, and the LZSS copy loop.
#include "decode/lzhuf.h"
#include "decode/lzhuf_model.h"
#include "decode/stream_access.h"
#include "engine/feedback.h"

namespace {

// ---- Bit reader ----
// The input's bits, most significant first, then zero bits for ever: the end of
// the input and a read error both read as zeros.
// Invariants: `count` bits are pending, left-aligned in `buffer` (the next bit is
// bit 63); every bit below them is 0.
struct BitReader {
    uint64_t buffer;
    unsigned count;
    FILE *input;
};

// Longest item: a symbol code (the tree's depth is bounded by its weight limit:
// a leaf at depth d needs a root weight of at least Fibonacci(d + 2), so d <= 21)
// plus a position code of at most 14 bits. One refill covers a whole item.
enum { REFILL_FLOOR = 64 - 8 + 1 };   // after a refill: at least 57 bits
static_assert(21 + 14 <= REFILL_FLOOR, "one refill must cover an item");

inline void refill(BitReader &in)
{
    if (in.count >= REFILL_FLOOR)
        return;
    const uint8_t *at;
    if (readableRun(in.input, &at) >= 8) {
        uint64_t buffer = in.buffer;
        unsigned count = in.count;
        unsigned taken = 0;
        do {
            buffer |= (uint64_t)at[taken++] << (56 - count);
            count += 8;
        } while (count < REFILL_FLOOR);
        consumeRun(in.input, taken);
        in.buffer = buffer;
        in.count = count;
        return;
    }
    while (in.count < REFILL_FLOOR) {
        int byte = STREAM_GET(in.input);
        if (byte == EOF) {
            in.count = 64;   // the bits below the pending ones are already 0
            return;
        }
        in.buffer |= (uint64_t)(unsigned)byte << (56 - in.count);
        in.count += 8;
    }
}

// Takes n bits (1..32) from a buffer refilled for this item.
inline unsigned takeBits(BitReader &in, unsigned n)
{
    unsigned value = (unsigned)(in.buffer >> (64 - n));
    in.buffer <<= n;
    in.count = n < in.count ? in.count - n : 0;
    return value;
}

inline unsigned readBit(BitReader &in) { return takeBits(in, 1); }
inline unsigned readByte(BitReader &in) { return takeBits(in, 8); }

// ---- Codes ----
// Deepest code: a leaf at depth d needs a root weight of at least
// Fibonacci(d + 2), and the root stays below WEIGHT_LIMIT during a walk, so
// d <= 21. The path buffer has room to spare; its index is masked all the same.
enum { PATH_CAPACITY = 32 };

// The walk from the root to a leaf, one bit per level, with the model's update
// folded in. updateModel climbs from the leaf and moves a node that outgrows its
// successor; until such a move, the climb increments exactly the nodes the walk
// passes. So the walk increments them on its way down and notes the deepest node
// that would move. Without one, only the root is left; with one, the increments
// from it up are taken back and updateModel's climb takes over there. (The
// order of increments does not change a comparison: a node's successor is never
// below it, and an ancestor outweighs it by a sibling's weight of at least 1.)
inline unsigned decodeSymbol(HuffmanTree &tree, BitReader &in)
{
    uint16_t *weight = tree.weight;
    const uint16_t *child = tree.child;
    if (weight[ROOT_NODE] == WEIGHT_LIMIT) {
        // The rebuild comes between the walk and the climb.
        unsigned n = child[ROOT_NODE];
        while (n < LEAF_BASE)
            n = child[n + readBit(in)];
        updateModel(tree, n - LEAF_BASE);
        return n - LEAF_BASE;
    }
    uint16_t path[PATH_CAPACITY];
    uint64_t bits = in.buffer;
    unsigned depth = 0;
    unsigned moving = 0;   // 1 + path index of the deepest node that must move, or 0
    unsigned n = child[ROOT_NODE];
    while (n < LEAF_BASE) {
        unsigned node = n + (unsigned)(bits >> 63);
        n = child[node];
        bits <<= 1;
        unsigned k = ++weight[node];
        path[depth & (PATH_CAPACITY - 1)] = (uint16_t)node;
        ++depth;
        if (weight[node + 1] < k)
            moving = depth;
    }
    in.buffer = bits;
    in.count = depth < in.count ? in.count - depth : 0;
    unsigned symbol = n - LEAF_BASE;
    if (moving == 0) {
        ++weight[ROOT_NODE];   // the sentinel above it never lets the root move
    } else {
        for (unsigned i = 0; i < moving; ++i)
            --weight[path[(i & (PATH_CAPACITY - 1))]];
        climbFrom(tree, path[(moving - 1) & (PATH_CAPACITY - 1)]);
    }
    return symbol;
}

// The leading byte chooses the prefix length L; the code is that byte and L - 2
// more bits, of which the last six are the position's low bits.
inline unsigned decodeOffset(BitReader &in)
{
    unsigned lead = (unsigned)(in.buffer >> 56);
    unsigned code = takeBits(in, offsetBits[lead] + 6u);
    return (unsigned)offsetHigh[lead] << 6 | (code & 0x3F);
}

// ---- Decoder state ----
// One instance, reset by every decode that gets past the header.
// Invariants: `tree` keeps HuffmanTree's; ring holds the last RING_SIZE bytes
// written (it starts as spaces), the next going to ring[position]; position <
// RING_SIZE.
struct DecoderState {
    HuffmanTree tree;
    uint8_t ring[RING_SIZE];
};
DecoderState decoder;

// Reads the 4-byte little-endian decoded size. False when the input ends or
// fails before four bytes: a short segment is never decoded.
bool readSize(FILE *input, uint32_t *size)
{
    uint32_t value = 0;
    for (unsigned i = 0; i < 4; ++i) {
        int byte = getc(input);
        if (byte == EOF)
            return false;
        value |= (uint32_t)(unsigned)byte << (8 * i);
    }
    *size = value;
    return true;
}

}  // namespace

bool decodeSegment(FILE *input, FILE *output)
{
    uint32_t size;
    if (!readSize(input, &size) || size == 0)
        return false;

    HuffmanTree &tree = decoder.tree;
    uint8_t *ring = decoder.ring;
    resetModel(tree);
    // A well-formed stream writes the last MAX_MATCH ring bytes before it reads
    // them; spaces there too keep a damaged one from showing an earlier decode.
    for (unsigned i = 0; i < RING_SIZE; ++i)
        ring[i] = ' ';
    unsigned position = RING_START;
    BitReader in = {0, 0, input};

    // Progress at every multiple of size / width; a bar without width reports
    // only the whole size.
    uint32_t width = fileBarWidth();
    uint32_t interval = width ? size / width : size;
    if (interval == 0)
        interval = 1;
    uint32_t phase = 0;   // written % interval, kept without a division per item

    uint32_t written = 0;
    uint32_t left = size;   // counts down, so a last match cannot wrap the count
    while (left != 0) {
        refill(in);
        unsigned symbol = decodeSymbol(tree, in);
        unsigned length;
        uint8_t *out;
        size_t room = writableRun(output, &out);
        if (symbol < 256) {
            length = 1;
            if (room) {
                *out = (uint8_t)symbol;
                commitRun(output, 1);
            } else if (STREAM_PUT((int)symbol, output) == EOF) {
                return false;
            }
            ring[position] = (uint8_t)symbol;
            position = (position + 1) & (RING_SIZE - 1);
        } else {
            // The copy goes byte by byte: a source overlapping the bytes being
            // written repeats them. The whole match is written, even past size.
            length = symbol - (256 - MIN_MATCH);
            unsigned source = position - decodeOffset(in) - 1;
            if (room >= length) {
                for (unsigned k = 0; k < length; ++k) {
                    uint8_t byte = ring[(source + k) & (RING_SIZE - 1)];
                    out[k] = byte;
                    ring[(position + k) & (RING_SIZE - 1)] = byte;
                }
                commitRun(output, length);
                position = (position + length) & (RING_SIZE - 1);
            } else {
                for (unsigned k = 0; k < length; ++k) {
                    uint8_t byte = ring[(source + k) & (RING_SIZE - 1)];
                    if (STREAM_PUT(byte, output) == EOF)
                        return false;
                    ring[position] = byte;
                    position = (position + 1) & (RING_SIZE - 1);
                }
            }
        }
        written += length;
        left = length < left ? left - length : 0;
        phase += length;
        if (phase >= interval)
            phase %= interval;
        if (phase == 0)
            drawFileBar(nullptr, written, size);
    }
    clearFileBar();
    return true;
}
