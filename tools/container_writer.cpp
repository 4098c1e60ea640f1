#include "tools/container_writer.h"

#include <string.h>

#include <stdexcept>

#include "decode/lzhuf.h"
#include "engine/session.h"
#include "tools/container_reader.h"

namespace vornpack {

namespace {

// Each retry adds one parse limit; collisions are rare (about one in 4 GB of
// output), so running out of attempts means the input is built to defeat us.
const int MAX_ATTEMPTS = 200;
const size_t HEADER_SIZE = 4;

// The limit that changes the item whose code holds `bit`: a shorter match
// there, or, for a literal, a shorter match at the nearest match before it.
bool limitForBit(const std::vector<EncodedItem> &items, uint64_t bit, ParseLimit &limit)
{
    size_t k = items.size();
    while (k > 0 && items[k - 1].bitOffset > bit)
        --k;
    while (k > 0) {
        const EncodedItem &item = items[--k];
        if (item.length >= MIN_MATCH) {
            limit = ParseLimit{item.position, item.length - 1};
            return true;
        }
    }
    return false;
}

}  // namespace

Collision findCollision(const std::vector<uint8_t> &segment)
{
    if (segment.empty())
        return Collision{Collision::Empty, 0};
    const uint8_t *bytes = segment.data();
    size_t size = segment.size();
    for (size_t i = 0; i + MARKER_SIZE <= size; ++i) {
        if (bytes[i] == uint8_t(MARKER[0]) && memcmp(bytes + i, MARKER, MARKER_SIZE) == 0)
            return Collision{Collision::Inside, i};
    }
    for (size_t prefix = MARKER_SIZE - 1; prefix > 0; --prefix) {
        if (size >= prefix && memcmp(bytes + size - prefix, MARKER, prefix) == 0)
            return Collision{Collision::AtEnd, size - prefix};
    }
    return Collision{};
}

SafeEncoding encodeSafeSegment(const uint8_t *data, size_t size, const EncodeOptions &options)
{
    if (size == 0)
        throw std::runtime_error("an empty file cannot travel in the payload");
    SafeEncoding result;
    std::vector<ParseLimit> limits;
    std::vector<EncodedItem> items;
    for (result.attempts = 1; result.attempts <= MAX_ATTEMPTS; ++result.attempts) {
        result.segment = encodeSegment(data, size, options, limits, &items);
        Collision collision = findCollision(result.segment);
        if (collision.kind == Collision::None)
            return result;
        if (collision.kind == Collision::AtEnd) {
            // Bytes after the last code are never interpreted; a zero byte can
            // neither start nor complete a marker.
            result.segment.push_back(0);
            result.padded = true;
            if (findCollision(result.segment).kind == Collision::None)
                return result;
            continue;
        }
        uint64_t offset = collision.offset < HEADER_SIZE ? HEADER_SIZE : collision.offset;
        if (collision.offset + MARKER_SIZE <= HEADER_SIZE)
            throw std::runtime_error("the file's size spells the marker in the segment header");
        ParseLimit limit;
        if (!limitForBit(items, offset * 8, limit))
            break;
        limits.push_back(limit);
    }
    throw std::runtime_error("no encoding without a marker collision was found");
}

std::vector<uint8_t> assembleContainer(const std::vector<std::vector<uint8_t>> &segments)
{
    if (segments.size() != SLOT_COUNT)
        throw std::runtime_error("the container needs exactly ten segments");
    std::vector<uint8_t> out(MARKER, MARKER + MARKER_SIZE);
    for (const auto &segment : segments) {
        if (findCollision(segment).kind != Collision::None)
            throw std::runtime_error("a segment breaks the container rules");
        out.insert(out.end(), segment.begin(), segment.end());
        out.insert(out.end(), MARKER, MARKER + MARKER_SIZE);
    }
    out.insert(out.end(), MARKER, MARKER + MARKER_SIZE);
    out.push_back('\r');
    out.push_back('\n');

    // Read it back the way the installer does before anyone relies on it.
    ContainerLayout layout = splitContainer(out.data(), out.size());
    if (!layout.closed || layout.segments.size() != segments.size())
        throw std::runtime_error("the container does not split back into its segments");
    for (size_t k = 0; k < segments.size(); ++k) {
        if (layout.segments[k] != segments[k])
            throw std::runtime_error("a segment does not read back as written");
    }
    return out;
}

}  // namespace vornpack
