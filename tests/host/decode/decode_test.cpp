// decodeSegment: crafted items, the header checks, progress reports, write
// failures, and agreement with the literal decoder on arbitrary bit streams.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "decode/lzhuf.h"
#include "tests/host/decode/literal_decoder.h"
#include "tests/host/decode/memory_stream.h"
#include "tests/host/decode/recording_feedback.h"
#include "tests/host/decode/stream_writer.h"

namespace {

struct Decoded {
    bool ok;
    std::vector<uint8_t> output;
};

Decoded decode(const std::vector<uint8_t> &segment, size_t chunk = 0)
{
    MemoryInput in;
    in.data = segment;
    in.chunk = chunk;
    MemoryOutput out;
    FILE *input = openInput(in);
    FILE *output = openOutput(out);
    bool ok = decodeSegment(input, output);
    fclose(input);
    fclose(output);
    return {ok, out.data};
}

Decoded decodeLiterally(const std::vector<uint8_t> &segment)
{
    MemoryInput in;
    in.data = segment;
    MemoryOutput out;
    FILE *input = openInput(in);
    FILE *output = openOutput(out);
    bool ok = literalDecodeSegment(input, output, 1u << 26);
    fclose(input);
    fclose(output);
    return {ok, out.data};
}

std::vector<uint8_t> bytesOf(const std::string &text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> withHeader(uint32_t size, std::vector<uint8_t> body)
{
    body.resize(body.size() + 4);
    std::copy_backward(body.begin(), body.end() - 4, body.end());
    for (int i = 0; i < 4; ++i)
        body[i] = (uint8_t)(size >> (8 * i));
    return body;
}

class DecodeTest : public ::testing::Test {
protected:
    void SetUp() override { resetFeedbackLog(); }
};

// ---- Items ----

struct ItemCase {
    const char *name;
    uint32_t size;
    void (*write)(StreamWriter &);
    std::string expected;
};

std::string repeated(const std::string &piece, size_t times)
{
    std::string s;
    while (times--)
        s += piece;
    return s;
}

std::string seventyBytes()
{
    std::string s;
    for (int i = 0; i < 70; ++i)
        s += (char)('0' + i % 43);
    return s;
}

const ItemCase ITEM_CASES[] = {
    {"literals", 3, [](StreamWriter &w) { w.literal('a'); w.literal('b'); w.literal(0xFF); },
     "ab\xff"},
    // Position 0 is the byte just written: the copy reads what it writes.
    {"position0Repeats", 6, [](StreamWriter &w) { w.literal('x'); w.match(5, 0); }, "xxxxxx"},
    {"matchAtStartGivesSpaces", 4, [](StreamWriter &w) { w.match(4, 100); }, "    "},
    {"overlappingPair", 8, [](StreamWriter &w) { w.literal('a'); w.literal('b'); w.match(6, 1); },
     "abababab"},
    // The last match passes the size and is still written whole.
    {"lastMatchOverrunsSize", 5, [](StreamWriter &w) { w.literal('a'); w.literal('b'); w.match(10, 1); },
     "ab" + repeated("ab", 5)},
    // 70 bytes carry the write position across the ring's end; the match reaches
    // back over it.
    {"matchAcrossRingEnd", 70 + 60,
     [](StreamWriter &w) {
         for (char c : seventyBytes())
             w.literal((uint8_t)c);
         w.match(60, 69);
     },
     seventyBytes() + seventyBytes().substr(0, 60)},
    // The ring's last 60 bytes are never written before this reference (only a
    // damaged stream makes it): they read as spaces, not as an earlier decode's.
    {"unwrittenRingTailReadsAsSpaces", 61, [](StreamWriter &w) { w.literal('q'); w.match(60, 4095); },
     "q" + repeated(" ", 60)},
};

TEST_F(DecodeTest, CraftedItemsDecodeToTheirBytes)
{
    for (const ItemCase &c : ITEM_CASES) {
        SCOPED_TRACE(c.name);
        StreamWriter writer(c.size);
        c.write(writer);
        Decoded got = decode(writer.bytes());
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.output, bytesOf(c.expected));
        EXPECT_EQ(decodeLiterally(writer.bytes()).output, got.output);
    }
}

// ---- Header ----

TEST_F(DecodeTest, RejectsSizeZeroAndShortHeadersWithoutWritingOrReporting)
{
    const std::vector<uint8_t> cases[] = {
        {0, 0, 0, 0, 0xAB, 0xCD}, {}, {5}, {5, 0}, {5, 0, 0},
    };
    for (const auto &segment : cases) {
        SCOPED_TRACE(segment.size());
        resetFeedbackLog();
        Decoded got = decode(segment);
        EXPECT_FALSE(got.ok);
        EXPECT_TRUE(got.output.empty());
        EXPECT_TRUE(feedbackLog.events.empty());
    }
}

TEST_F(DecodeTest, RejectsReadErrorInHeader)
{
    MemoryInput in;
    in.data = {5, 0, 0, 0, 1, 2, 3};
    in.failAt = 2;
    MemoryOutput out;
    FILE *input = openInput(in);
    FILE *output = openOutput(out);
    EXPECT_FALSE(decodeSegment(input, output));
    fclose(input);
    fclose(output);
    EXPECT_TRUE(out.data.empty());
    EXPECT_TRUE(feedbackLog.events.empty());
}

// ---- Progress ----

// Writes literals and matches of the given lengths (1: literal) and returns the
// counts after each item.
std::vector<uint32_t> writeItems(StreamWriter &w, const std::vector<unsigned> &lengths)
{
    std::vector<uint32_t> counts;
    uint32_t c = 0;
    for (unsigned length : lengths) {
        if (length == 1)
            w.literal((uint8_t)('a' + c % 26));
        else
            w.match(length, 0);
        c += length;
        counts.push_back(c);
    }
    return counts;
}

TEST_F(DecodeTest, ReportsEveryItemWhenSizeIsBelowTwiceTheWidth)
{
    const std::vector<unsigned> lengths = {1, 1, 7, 1, 60, 3, 1, 20};
    uint32_t size = 94;   // 94 / 50 = 1
    resetFeedbackLog(50);
    StreamWriter w(size);
    std::vector<uint32_t> counts = writeItems(w, lengths);
    ASSERT_EQ(counts.back(), size);
    Decoded got = decode(w.bytes());
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(feedbackLog.reports, counts);
    EXPECT_EQ(feedbackLog.totals, std::vector<uint32_t>(counts.size(), size));
    // The width once, before anything is drawn; the bar cleared once, at the end.
    EXPECT_EQ(feedbackLog.events.front(), "width");
    EXPECT_EQ(feedbackLog.widthCalls, 1);
    EXPECT_EQ(feedbackLog.events.back(), "clear");
    EXPECT_EQ(feedbackLog.clears, 1);

    // A width above the size also gives interval 1.
    resetFeedbackLog(1000);
    ASSERT_TRUE(decode(w.bytes()).ok);
    EXPECT_EQ(feedbackLog.reports, counts);
}

TEST_F(DecodeTest, ReportsOnlyCountsLandingOnTheIntervalAfterAnItem)
{
    // Size 200, width 20: interval 10. Matches step over 20, 30, 60, 70 and 110 to 150.
    const std::vector<unsigned> lengths = {1, 9, 5, 20, 5, 3, 7, 30, 10, 1, 9, 60, 40};
    resetFeedbackLog(20);
    StreamWriter w(200);
    std::vector<uint32_t> counts = writeItems(w, lengths);
    ASSERT_EQ(counts.back(), 200u);
    ASSERT_TRUE(decode(w.bytes()).ok);
    EXPECT_EQ(feedbackLog.reports, (std::vector<uint32_t>{10, 40, 50, 80, 90, 100, 160, 200}));
}

TEST_F(DecodeTest, BarWithoutWidthReportsTheWholeSizeOnly)
{
    resetFeedbackLog(0);
    StreamWriter w(30);
    writeItems(w, {1, 9, 20});
    ASSERT_TRUE(decode(w.bytes()).ok);
    EXPECT_EQ(feedbackLog.reports, std::vector<uint32_t>{30});
}

// ---- Write failures ----

TEST_F(DecodeTest, WriteFailureMidMatchStopsAtOnce)
{
    resetFeedbackLog(1000);   // interval 1: every item would be reported
    StreamWriter w(40);
    w.literal('k');
    w.literal('m');
    w.match(30, 1);
    w.literal('z');
    MemoryInput in;
    in.data = w.bytes();
    MemoryOutput out;
    out.capacity = 12;   // fails on the eleventh byte of the match
    FILE *input = openInput(in);
    FILE *output = openOutput(out);
    EXPECT_FALSE(decodeSegment(input, output));
    fclose(input);
    fclose(output);
    EXPECT_EQ(out.data, bytesOf("kmkmkmkmkmkm"));
    EXPECT_EQ(feedbackLog.reports, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(feedbackLog.clears, 0);
}

TEST_F(DecodeTest, WriteFailureOnALiteral)
{
    StreamWriter w(3);
    w.literal('a');
    w.literal('b');
    w.literal('c');
    MemoryInput in;
    in.data = w.bytes();
    MemoryOutput out;
    out.capacity = 0;
    FILE *input = openInput(in);
    FILE *output = openOutput(out);
    EXPECT_FALSE(decodeSegment(input, output));
    fclose(input);
    fclose(output);
    EXPECT_TRUE(out.data.empty());
    EXPECT_TRUE(feedbackLog.reports.empty());
    EXPECT_EQ(feedbackLog.clears, 0);
}

// ---- Arbitrary streams ----
// Every bit sequence is a valid stream, so random bodies reach every symbol, long
// codes, tree rebuilds and the zeros read past the end.

std::vector<uint8_t> randomBytes(std::mt19937 &rng, size_t n)
{
    std::vector<uint8_t> v(n);
    for (auto &b : v)
        b = (uint8_t)rng();
    return v;
}

TEST_F(DecodeTest, AgreesWithLiteralDecoderOnArbitraryStreams)
{
    std::mt19937 rng(7);
    const struct {
        uint32_t size;
        size_t bodyBytes;
    } cases[] = {{1, 0}, {1, 1}, {17, 3}, {1000, 400}, {300000, 200000}, {200000, 1000}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<uint8_t> segment = withHeader(c.size, randomBytes(rng, c.bodyBytes));
        Decoded fast = decode(segment);
        Decoded literal = decodeLiterally(segment);
        EXPECT_TRUE(fast.ok);
        EXPECT_EQ(fast.output, literal.output);
        EXPECT_GE(fast.output.size(), c.size);
        EXPECT_LE(fast.output.size(), c.size + MAX_MATCH - 1);
    }
}

TEST_F(DecodeTest, DribbledInputDecodesTheSame)
{
    std::mt19937 rng(11);
    std::vector<uint8_t> segment = withHeader(50000, randomBytes(rng, 30000));
    EXPECT_EQ(decode(segment, 1).output, decode(segment).output);
}

// A text long enough for the first rebuild (about 32455 symbols), coded by the
// writer with repetition, then cut short and damaged: output stays within the
// header's size plus one match, and agrees with the literal decoder.
TEST_F(DecodeTest, TruncatedAndFlippedStreamsStayBounded)
{
    std::mt19937 rng(3);
    std::string text;
    StreamWriter w(0);   // size patched below
    uint32_t size = 0;
    while (size < 40000) {
        if (size > 100 && rng() % 3 == 0) {
            unsigned length = 3 + rng() % 58;
            unsigned position = rng() % 100;
            w.match(length, position);
            size += length;
        } else {
            w.literal((uint8_t)("etaoin shrdlu"[rng() % 13]));
            ++size;
        }
    }
    std::vector<uint8_t> whole = w.bytes();
    for (int i = 0; i < 4; ++i)
        whole[i] = (uint8_t)(size >> (8 * i));
    Decoded reference = decode(whole);
    ASSERT_TRUE(reference.ok);
    ASSERT_EQ(reference.output.size(), size);
    ASSERT_EQ(decodeLiterally(whole).output, reference.output);

    for (size_t cut = 4; cut < whole.size(); cut += 997) {
        std::vector<uint8_t> prefix(whole.begin(), whole.begin() + cut);
        Decoded got = decode(prefix);
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.output, decodeLiterally(prefix).output) << cut;
        EXPECT_LE(got.output.size(), size + MAX_MATCH - 1);
        // Everything coded before the cut comes out unchanged.
        EXPECT_TRUE(std::equal(got.output.begin(), got.output.begin() + (cut - 4) * 8 / 64,
                               reference.output.begin()));
    }
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<uint8_t> damaged = whole;
        damaged[4 + rng() % (whole.size() - 4)] ^= (uint8_t)(1 + rng() % 255);
        Decoded got = decode(damaged);
        EXPECT_TRUE(got.ok);
        EXPECT_GE(got.output.size(), size);
        EXPECT_LE(got.output.size(), size + MAX_MATCH - 1);
        EXPECT_EQ(got.output, decodeLiterally(damaged).output);
    }
}

// Two decodes in a row: the second starts from a fresh model and ring.
TEST_F(DecodeTest, EachDecodeStartsAfresh)
{
    std::mt19937 rng(5);
    std::vector<uint8_t> noise = withHeader(5000, randomBytes(rng, 3000));
    StreamWriter w(64);
    w.match(4, 0);
    w.match(60, 4095 - 4);   // the ring's unwritten tail
    decode(noise);
    EXPECT_EQ(decode(w.bytes()).output, std::vector<uint8_t>(64, ' '));
}

}  // namespace
