#include "tests/host/decode/literal_decoder.h"

#include <stdint.h>

#include "decode/lzhuf.h"

namespace {

struct LiteralState {
    uint16_t weight[NODE_COUNT + 1];
    uint16_t child[NODE_COUNT];
    uint16_t parent[NODE_COUNT + SYMBOL_COUNT];
    uint8_t ring[RING_SIZE];
    uint16_t bitBuffer;
    uint16_t bitCount;
    FILE *input;
};
LiteralState st;

void refill()
{
    while (st.bitCount <= 8) {
        int c = getc(st.input);
        if (c == EOF)
            c = 0;
        st.bitBuffer = (uint16_t)(st.bitBuffer | (c << (8 - st.bitCount)));
        st.bitCount = (uint16_t)(st.bitCount + 8);
    }
}

unsigned readBit()
{
    refill();
    unsigned bit = st.bitBuffer >> 15;
    st.bitBuffer = (uint16_t)(st.bitBuffer << 1);
    st.bitCount--;
    return bit;
}

unsigned readByte()
{
    refill();
    unsigned byte = st.bitBuffer >> 8;
    st.bitBuffer = (uint16_t)(st.bitBuffer << 8);
    st.bitCount = (uint16_t)(st.bitCount - 8);
    return byte;
}

void reset()
{
    st.bitBuffer = st.bitCount = 0;
    for (int s = 0; s < SYMBOL_COUNT; ++s) {
        st.weight[s] = 1;
        st.child[s] = (uint16_t)(s + NODE_COUNT);
        st.parent[s + NODE_COUNT] = (uint16_t)s;
    }
    for (int i = 0, n = SYMBOL_COUNT; n < NODE_COUNT; ++n, i += 2) {
        st.weight[n] = (uint16_t)(st.weight[i] + st.weight[i + 1]);
        st.child[n] = (uint16_t)i;
        st.parent[i] = st.parent[i + 1] = (uint16_t)n;
    }
    st.weight[NODE_COUNT] = 0xFFFF;
    st.parent[ROOT_NODE] = 0;
}

void rebuild()
{
    int j = 0;
    for (int n = 0; n < NODE_COUNT; ++n)
        if (st.child[n] >= NODE_COUNT) {
            st.weight[j] = (uint16_t)((st.weight[n] + 1) / 2);
            st.child[j] = st.child[n];
            ++j;
        }
    for (int i = 0, n = SYMBOL_COUNT; n < NODE_COUNT; i += 2, ++n) {
        unsigned w = st.weight[i] + st.weight[i + 1];
        st.weight[n] = (uint16_t)w;
        int k = n - 1;
        while (w < st.weight[k])
            --k;
        ++k;
        for (int m = n; m > k; --m) {
            st.weight[m] = st.weight[m - 1];
            st.child[m] = st.child[m - 1];
        }
        st.weight[k] = (uint16_t)w;
        st.child[k] = (uint16_t)i;
    }
    for (int n = 0; n < NODE_COUNT; ++n) {
        int c = st.child[n];
        if (c >= NODE_COUNT)
            st.parent[c] = (uint16_t)n;
        else
            st.parent[c] = st.parent[c + 1] = (uint16_t)n;
    }
}

void update(int s)
{
    if (st.weight[ROOT_NODE] == WEIGHT_LIMIT)
        rebuild();
    int n = st.parent[s + NODE_COUNT];
    do {
        unsigned k = ++st.weight[n];
        if (st.weight[n + 1] < k) {
            int l = n + 1;
            while (st.weight[l + 1] < k)
                ++l;
            st.weight[n] = st.weight[l];
            st.weight[l] = (uint16_t)k;
            int a = st.child[n];
            st.parent[a] = (uint16_t)l;
            if (a < NODE_COUNT)
                st.parent[a + 1] = (uint16_t)l;
            int b = st.child[l];
            st.child[l] = (uint16_t)a;
            st.parent[b] = (uint16_t)n;
            if (b < NODE_COUNT)
                st.parent[b + 1] = (uint16_t)n;
            st.child[n] = (uint16_t)b;
            n = l;
        }
        n = st.parent[n];
    } while (n != 0);
}

int decodeSymbol()
{
    int n = st.child[ROOT_NODE];
    while (n < NODE_COUNT)
        n = st.child[n + readBit()];
    n -= NODE_COUNT;
    update(n);
    return n;
}

int decodeOffset()
{
    unsigned b = readByte();
    unsigned h = offsetHigh[b];
    unsigned v = b;
    for (int i = offsetBits[b] - 2; i > 0; --i)
        v = v * 2 + readBit();
    return (int)(h * 64 + (v & 0x3F));
}

}  // namespace

bool literalDecodeSegment(FILE *input, FILE *output, uint64_t maxOutput)
{
    uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size |= (uint32_t)(getc(input) & 0xFF) << (8 * i);
    if (ferror(input) || size == 0)
        return false;
    st.input = input;
    reset();
    // The whole ring, like the installer's decoder: a damaged stream that reads
    // the unwritten tail must not see an earlier decode.
    for (int i = 0; i < RING_SIZE; ++i)
        st.ring[i] = ' ';
    unsigned r = RING_START;
    uint64_t limit = maxOutput ? maxOutput : UINT64_MAX;
    uint64_t c = 0;
    while (c < size) {
        int s = decodeSymbol();
        if (s < 256) {
            if (putc(s, output) == EOF)
                return false;
            st.ring[r] = (uint8_t)s;
            r = (r + 1) & 0xFFF;
            ++c;
        } else {
            unsigned q = (r - decodeOffset() - 1) & 0xFFF;
            for (int k = 0; k < s - 253; ++k) {
                uint8_t byte = st.ring[(q + k) & 0xFFF];
                if (putc(byte, output) == EOF)
                    return false;
                st.ring[r] = byte;
                r = (r + 1) & 0xFFF;
                ++c;
            }
        }
        if (c >= limit)
            return false;
    }
    return true;
}
