// Codes each item with the shared adaptive tree and updates the tree exactly as
// the decoder does after every symbol, so both sides stay in step.
#include "tools/encoder.h"

#include <stdexcept>

#include "decode/lzhuf_model.h"
#include "tools/bit_writer.h"
#include "tools/parser.h"
#include "tools/position_code.h"

namespace vornpack {

namespace {

// A symbol's code is its path from the root; walking up from the leaf gives the
// bits last first. Paths can exceed 32 levels, so they are written in pieces.
void emitSymbol(HuffmanTree &tree, BitWriter &writer, unsigned symbol)
{
    uint8_t path[NODE_COUNT];
    int depth = 0;
    unsigned n = tree.parent[LEAF_BASE + symbol];
    while (n != ROOT_NODE) {
        unsigned up = tree.parent[n];
        path[depth++] = uint8_t(n - tree.child[up]);
        n = up;
    }
    while (depth > 0) {
        int piece = depth < 32 ? depth : 32;
        uint32_t bits = 0;
        for (int k = 0; k < piece; ++k)
            bits = (bits << 1) | path[depth - 1 - k];
        writer.put(bits, piece);
        depth -= piece;
    }
    updateModel(tree, symbol);
}

void emitPosition(BitWriter &writer, int distance)
{
    unsigned position = unsigned(distance - 1);
    const PositionPrefix &prefix = positionPrefixes()[position >> 6];
    writer.put(prefix.code, prefix.bits);
    writer.put(position & 0x3F, 6);
}

}  // namespace

std::vector<uint8_t> encodeSegment(const uint8_t *data, size_t size,
                                   const EncodeOptions &options,
                                   const std::vector<ParseLimit> &limits,
                                   std::vector<EncodedItem> *items)
{
    if (uint64_t(size) > UINT32_MAX)
        throw std::length_error("file too large for a segment (4 GiB at most)");
    std::vector<uint8_t> out;
    out.reserve(size / 2 + 16);
    for (int k = 0; k < 4; ++k)
        out.push_back(uint8_t(size >> (8 * k)));
    if (items)
        items->clear();

    HuffmanTree tree;
    resetModel(tree);
    BitWriter writer(out);
    Parser parser(data, size, options, limits);
    std::vector<Item> batch;
    size_t position = 0;
    while (position < size) {
        parser.next(position, tree, batch);
        for (const Item &item : batch) {
            if (items)
                items->push_back(EncodedItem{item.position, 32 + writer.bitCount(), item.length});
            if (item.distance == 0) {
                emitSymbol(tree, writer, data[item.position]);
            } else {
                emitSymbol(tree, writer, 256 + item.length - MIN_MATCH);
                emitPosition(writer, item.distance);
            }
            position = item.position + size_t(item.length);
        }
    }
    writer.flush();
    return out;
}

std::vector<uint8_t> encodeSegment(const uint8_t *data, size_t size, const EncodeOptions &options)
{
    return encodeSegment(data, size, options, {}, nullptr);
}

}  // namespace vornpack
