// The container writer keeps the marker out of every segment, even when the
// natural encoding of a file would contain it.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "engine/container.h"
#include "tools/container_reader.h"
#include "tools/container_writer.h"

using namespace vornpack;

namespace {

std::vector<uint8_t> bytesOf(const std::string &text) { return {text.begin(), text.end()}; }

const int ANY = -1;

int bitAt(const std::vector<uint8_t> &bytes, uint64_t bit)
{
    return (bytes[bit >> 3] >> (7 - (bit & 7))) & 1;
}

// Bits of the natural encoding of data from bit `from` to the end of its last
// code (where a literal appended to data would start).
std::vector<int> codeBits(const std::vector<uint8_t> &data, uint64_t from)
{
    std::vector<uint8_t> probed = data;
    probed.push_back(0xFF);   // occurs nowhere else: stays a literal
    std::vector<EncodedItem> items;
    std::vector<uint8_t> segment = encodeSegment(probed.data(), probed.size(), {}, {}, &items);
    std::vector<int> bits;
    for (uint64_t bit = from; bit < items.back().bitOffset; ++bit)
        bits.push_back(bitAt(segment, bit));
    return bits;
}

// Appends bytes to data until its natural encoding from bit `from` on agrees
// with target (ANY matches either bit); depth-first over the byte values.
bool spell(std::vector<uint8_t> &data, uint64_t from, const std::vector<int> &target, int depth)
{
    if (depth > 8)
        return false;
    for (int value = 0; value < 0xFF; ++value) {
        data.push_back(uint8_t(value));
        std::vector<int> bits = codeBits(data, from);
        size_t common = std::min(bits.size(), target.size());
        bool agrees = true;
        for (size_t k = 0; k < common && agrees; ++k)
            agrees = target[k] == ANY || target[k] == bits[k];
        if (agrees && (bits.size() >= target.size() || spell(data, from, target, depth + 1)))
            return true;
        data.pop_back();
    }
    return false;
}

// Extends data so that its natural encoding holds the marker at the first
// whole byte after its current codes. Each byte value matches the wanted bits
// with a chance of about 2^-8 against 255 tries, so the search may die out.
bool spellMarkerAfter(std::vector<uint8_t> &data)
{
    uint64_t from = 32 + (data.empty() ? 0 : codeBits(data, 32).size());
    std::vector<int> target(size_t((8 - from % 8) % 8), ANY);
    for (char c : std::string(MARKER))
        for (int bit = 7; bit >= 0; --bit) {
            target.push_back((c >> bit) & 1);
        }
    return spell(data, from, target, 0);
}

}  // namespace

TEST(FindCollision, Cases)
{
    struct Case {
        std::string segment;
        Collision::Kind kind;
        size_t offset;
    } cases[] = {
        {"", Collision::Empty, 0},
        {"abc", Collision::None, 0},
        {"xxZOLTyy", Collision::Inside, 2},
        {"ZOLT", Collision::Inside, 0},
        {"ZZOLT", Collision::Inside, 1},   // refused although the readers' matching skips it
        {"abZ", Collision::AtEnd, 2},
        {"abZO", Collision::AtEnd, 2},
        {"abZOL", Collision::AtEnd, 2},
        {"abZOLx", Collision::None, 0},
        {"abOLT", Collision::None, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.segment);
        Collision found = findCollision(bytesOf(c.segment));
        EXPECT_EQ(found.kind, c.kind);
        if (c.kind != Collision::None) {
            EXPECT_EQ(found.offset, c.offset);
        }
    }
}

TEST(SafeEncoding, MovesAMarkerOutOfTheNaturalEncoding)
{
    // Matches first, so that there is a parse to change before the marker.
    std::vector<uint8_t> data;
    bool spelled = false;
    for (int variant = 0; variant < 100 && !spelled; ++variant) {
        data = bytesOf("abcabcabcabc-xyz-xyz-xyz." + std::to_string(variant));
        spelled = spellMarkerAfter(data);
    }
    ASSERT_TRUE(spelled);
    std::vector<uint8_t> natural = encodeSegment(data.data(), data.size());
    ASSERT_EQ(findCollision(natural).kind, Collision::Inside);

    SafeEncoding safe = encodeSafeSegment(data.data(), data.size(), {});
    EXPECT_EQ(findCollision(safe.segment).kind, Collision::None);
    EXPECT_GT(safe.attempts, 1);
    EXPECT_EQ(decodeWithInstallerDecoder(safe.segment).data, data);
}

TEST(SafeEncoding, PadsASegmentEndingInAMarkerPrefix)
{
    // About one encoding in 256 ends with the marker's first character.
    std::mt19937 rng(11);
    for (int attempt = 0; attempt < 5000; ++attempt) {
        std::vector<uint8_t> data(40);
        for (auto &b : data)
            b = uint8_t('a' + rng() % 26);
        std::vector<uint8_t> natural = encodeSegment(data.data(), data.size());
        if (findCollision(natural).kind != Collision::AtEnd)
            continue;
        SafeEncoding safe = encodeSafeSegment(data.data(), data.size(), {});
        EXPECT_TRUE(safe.padded);
        EXPECT_EQ(findCollision(safe.segment).kind, Collision::None);
        EXPECT_EQ(decodeWithInstallerDecoder(safe.segment).data, data);
        return;
    }
    FAIL() << "no encoding ending in a marker prefix found";
}

// Literals alone from the first byte leave nothing to re-parse: such a file is
// refused rather than written into a container that would split wrongly.
TEST(SafeEncoding, RefusesWhatCannotBeEncodedSafely)
{
    std::vector<uint8_t> data;
    ASSERT_TRUE(spellMarkerAfter(data));
    ASSERT_EQ(findCollision(encodeSegment(data.data(), data.size())).kind, Collision::Inside);
    EXPECT_THROW(encodeSafeSegment(data.data(), data.size(), {}), std::runtime_error);
}

TEST(SafeEncoding, RefusesAnEmptyFile)
{
    uint8_t none = 0;
    EXPECT_THROW(encodeSafeSegment(&none, 0, {}), std::runtime_error);
}

TEST(AssembleContainer, SplitsBackIntoItsSegments)
{
    std::vector<std::vector<uint8_t>> segments;
    std::vector<uint8_t> joined;
    for (int slot = 0; slot < 10; ++slot) {
        std::vector<uint8_t> data = bytesOf("file " + std::to_string(slot) + " ZOLT ZOL ZO Z");
        segments.push_back(encodeSafeSegment(data.data(), data.size(), {}).segment);
        joined.insert(joined.end(), segments.back().begin(), segments.back().end());
    }
    std::vector<uint8_t> container = assembleContainer(segments);
    EXPECT_EQ(std::string(container.begin(), container.begin() + 4), "ZOLT");
    EXPECT_EQ(std::string(container.end() - 10, container.end()), "ZOLTZOLT\r\n");

    ContainerLayout layout = splitContainer(container.data(), container.size());
    EXPECT_TRUE(layout.closed);
    EXPECT_EQ(layout.segments, segments);
    EXPECT_EQ(layout.crc, crc32(joined.data(), joined.size()));

    segments[4] = bytesOf("abZO");
    EXPECT_THROW(assembleContainer(segments), std::runtime_error);
}
