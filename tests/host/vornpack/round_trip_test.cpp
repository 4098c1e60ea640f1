// Encoder output decoded by the installer's own decoder.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "decode/lzhuf.h"
#include "tools/container_reader.h"
#include "tools/encoder.h"

using namespace vornpack;

namespace {

std::vector<uint8_t> bytesOf(const std::string &text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> randomBytes(size_t size, uint32_t seed, int alphabet = 256)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(size);
    for (auto &b : out)
        b = uint8_t(rng() % unsigned(alphabet));
    return out;
}

// Sentences from a small stock of words: typical text with many matches.
std::vector<uint8_t> textBytes(size_t size)
{
    static const char *words[] = {"channel", "server", "the", "nick", "a", "message",
                                  "join", "of", "window", "to", "Topic", "\r\n"};
    std::mt19937 rng(7);
    std::string out;
    while (out.size() < size)
        out += std::string(words[rng() % 12]) + (rng() % 9 ? " " : ". ");
    out.resize(size);
    return bytesOf(out);
}

std::vector<uint8_t> decode(const std::vector<uint8_t> &segment)
{
    DecodeResult result = decodeWithInstallerDecoder(segment);
    EXPECT_TRUE(result.ok) << result.problem;
    return result.data;
}

struct Input {
    const char *name;
    std::vector<uint8_t> data;
};

std::vector<Input> inputs()
{
    std::vector<uint8_t> marker = bytesOf("ZOLT");
    std::vector<uint8_t> markers;
    for (int k = 0; k < 3000; ++k)
        markers.insert(markers.end(), marker.begin(), marker.begin() + 1 + k % 4);
    return {
        {"one byte", {0x41}},
        {"two bytes", {0x00, 0xFF}},
        {"three spaces (match into the initial ring)", bytesOf("   ")},
        {"spaces only", std::vector<uint8_t>(5000, ' ')},
        {"all the same byte, many rebuilds", std::vector<uint8_t>(300000, 0xAA)},
        {"random, beyond several rebuilds", randomBytes(120000, 1)},
        {"small alphabet", randomBytes(50000, 2, 4)},
        {"text", textBytes(200000)},
        {"marker and its prefixes", markers},
        {"ends with the marker's prefix", bytesOf("hello ZOL")},
    };
}

}  // namespace

TEST(EncoderRoundTrip, EveryParseModeDecodesToTheInput)
{
    for (ParseMode mode : {ParseMode::Greedy, ParseMode::Lazy, ParseMode::Optimal}) {
        for (const Input &input : inputs()) {
            SCOPED_TRACE(std::string(input.name) + ", mode " + std::to_string(int(mode)));
            EncodeOptions options;
            options.mode = mode;
            std::vector<uint8_t> segment = encodeSegment(input.data.data(), input.data.size(), options);
            ASSERT_EQ(segmentDecodedSize(segment), input.data.size());
            EXPECT_EQ(decode(segment), input.data);
        }
    }
}

TEST(EncoderRoundTrip, OptimalIsNotLargerThanGreedyOnText)
{
    std::vector<uint8_t> text = textBytes(200000);
    EncodeOptions greedy, optimal;
    greedy.mode = ParseMode::Greedy;
    size_t greedySize = encodeSegment(text.data(), text.size(), greedy).size();
    size_t optimalSize = encodeSegment(text.data(), text.size(), optimal).size();
    EXPECT_LT(optimalSize, greedySize);
}

TEST(EncoderRoundTrip, ParseLimitsChangeTheParseButNotTheContent)
{
    std::vector<uint8_t> text = textBytes(20000);
    std::vector<EncodedItem> free, limited;
    encodeSegment(text.data(), text.size(), {}, {}, &free);
    size_t matchAt = 0;
    int length = 0;
    for (const EncodedItem &item : free) {
        if (item.length >= MIN_MATCH) {
            matchAt = item.position;
            length = item.length;
            break;
        }
    }
    ASSERT_GT(length, 0);
    std::vector<uint8_t> segment =
        encodeSegment(text.data(), text.size(), {}, {{matchAt, 0}}, &limited);
    for (const EncodedItem &item : limited) {
        if (item.position == matchAt) {
            EXPECT_EQ(item.length, 1);
        }
    }
    EXPECT_EQ(decode(segment), text);
}

// The 314 symbols start at weight 1: the 305 unused ones form a floor of weight
// 305, eight or nine levels deep. The counts grow like the Fibonacci numbers,
// each just above the floor's subtree of two merges before, so every merge puts
// the floor one level lower: nine more levels, with the root under the rebuild
// limit. Forcing literals
// everywhere keeps every code a tree code.
TEST(EncoderRoundTrip, CodesLongerThanSixteenBits)
{
    const int counts[] = {300, 310, 620, 940, 1570, 2520, 4100, 6630, 10740};
    std::vector<uint8_t> data;
    for (int symbol = 0; symbol < 9; ++symbol)
        data.insert(data.end(), size_t(counts[symbol]), uint8_t('a' + symbol));
    std::shuffle(data.begin(), data.end(), std::mt19937(3));
    data.push_back(200);   // still at weight 1: at the bottom of the tree
    data.push_back('a');   // so that the deep code is not the last, padded one
    std::vector<ParseLimit> literalsOnly;
    for (size_t i = 0; i < data.size(); ++i)
        literalsOnly.push_back({i, 0});
    std::vector<EncodedItem> items;
    std::vector<uint8_t> segment = encodeSegment(data.data(), data.size(), {}, literalsOnly, &items);
    ASSERT_EQ(items.size(), data.size());
    uint64_t deepest = items.back().bitOffset - items[items.size() - 2].bitOffset;
    EXPECT_GT(deepest, 16u);
    EXPECT_EQ(decode(segment), data);
}
