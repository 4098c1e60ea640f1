// LZHUF decoder: bit reader, symbol and position codes, and the LZSS copy loop.
#include "decode/lzhuf.h"
#include "decode/lzhuf_model.h"
#include "engine/feedback.h"

// Byte access to the streams without a call per byte: the streams belong to one
// thread, so the lock-free forms are safe. msvcrt's are inline macros.
#if defined(_WIN32)
#define STREAM_GET(stream) _getc_nolock(stream)
#define STREAM_PUT(byte, stream) _putc_nolock(byte, stream)
#elif defined(__getc_unlocked_body)
// glibc's bodies of getc_unlocked/putc_unlocked, inline at every optimisation level.
#define STREAM_GET(stream) __getc_unlocked_body(stream)
#define STREAM_PUT(byte, stream) __putc_unlocked_body(byte, stream)
#else
#define STREAM_GET(stream) getc(stream)
#define STREAM_PUT(byte, stream) putc(byte, stream)
#endif

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
// The walk from the root to a leaf, one bit per level.
inline unsigned decodeSymbol(HuffmanTree &tree, BitReader &in)
{
    const uint16_t *child = tree.child;
    uint64_t bits = in.buffer;
    unsigned depth = 0;
    unsigned n = child[ROOT_NODE];
    while (n < LEAF_BASE) {
        n = child[n + (unsigned)(bits >> 63)];
        bits <<= 1;
        ++depth;
    }
    in.buffer = bits;
    in.count = depth < in.count ? in.count - depth : 0;
    unsigned symbol = n - LEAF_BASE;
    updateModel(tree, symbol);
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
        if (symbol < 256) {
            if (STREAM_PUT((int)symbol, output) == EOF)
                return false;
            ring[position] = (uint8_t)symbol;
            position = (position + 1) & (RING_SIZE - 1);
            length = 1;
        } else {
            // The copy goes byte by byte: a source overlapping the bytes being
            // written repeats them. The whole match is written, even past size.
            length = symbol - (256 - MIN_MATCH);
            unsigned source = position - decodeOffset(in) - 1;
            for (unsigned k = 0; k < length; ++k) {
                uint8_t byte = ring[(source + k) & (RING_SIZE - 1)];
                if (STREAM_PUT(byte, output) == EOF)
                    return false;
                ring[position] = byte;
                position = (position + 1) & (RING_SIZE - 1);
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
