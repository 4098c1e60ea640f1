// The tool's reading of a container agrees with the installer's own scan, and
// damaged segments are refused before they can make the decoder run away.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "engine/container.h"
#include "tools/container_reader.h"
#include "tools/container_writer.h"
#include "tools/encoder.h"

using namespace vornpack;

namespace {

uint32_t installerScan(std::string bytes)
{
    FILE *file = fmemopen(bytes.data(), bytes.size(), "rb");
    uint32_t crc = scanPayloadStream(file, MARKER);
    fclose(file);
    return crc;
}

}  // namespace

TEST(SplitContainer, AgreesWithTheInstallerScan)
{
    struct Case {
        std::string file;
        size_t segments;
        bool closed;
        std::string unterminated;
    } cases[] = {
        {"stubZOLTabcZOLTdefZOLTZOLT\r\n", 2, true, ""},
        {"ZOLTZOLT", 0, true, ""},
        {"ZOLTaZZOLTbZOLTZOLTtrailing ZOLTx", 1, true, ""},   // "aZZOLTb" is one segment
        {"ZOLTaZOLZOLTZOLT", 1, false, ""},   // the first segment is "aZOLZOLT"
        {"ZOLTabcZOLTdeZO", 1, false, "de"},                   // a pending partial match is not data
        {"no marker at all", 0, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        ContainerLayout layout = splitContainer((const uint8_t *)c.file.data(), c.file.size());
        EXPECT_EQ(layout.segments.size(), c.segments);
        EXPECT_EQ(layout.closed, c.closed);
        EXPECT_EQ(std::string(layout.unterminated.begin(), layout.unterminated.end()), c.unterminated);
        EXPECT_EQ(layout.crc, installerScan(c.file));
    }
}

TEST(DecodeWithInstallerDecoder, RefusesImpossibleSegments)
{
    struct Case {
        const char *name;
        std::vector<uint8_t> segment;
    } cases[] = {
        {"shorter than its header", {5, 0, 0}},
        {"size 0", {0, 0, 0, 0, 0x12}},
        {"4 GiB from ten bytes", {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DecodeResult result = decodeWithInstallerDecoder(c.segment);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.problem.empty());
        EXPECT_TRUE(result.data.empty());
    }
}

// Without a CRC to check against, a wrong size header is still caught: a
// smaller size leaves the end of the stream unread or ends inside the last
// match, a larger one makes the decoder read on past the stream.
TEST(DecodeWithInstallerDecoder, CatchesAChangedSizeHeader)
{
    std::string text;
    for (int k = 0; text.size() < 5000; ++k)
        text += "line " + std::to_string(k * 7919 % 1000) + " of the help text\r\n";
    std::vector<uint8_t> segment = encodeSegment((const uint8_t *)text.data(), text.size());
    ASSERT_TRUE(decodeWithInstallerDecoder(segment).ok);
    for (int64_t change : {-300, -1, 1, 2, 300}) {
        SCOPED_TRACE(change);
        std::vector<uint8_t> damaged = segment;
        uint32_t size = uint32_t(int64_t(text.size()) + change);
        for (int k = 0; k < 4; ++k)
            damaged[size_t(k)] = uint8_t(size >> (8 * k));
        EXPECT_FALSE(decodeWithInstallerDecoder(damaged).ok);
    }
}
