// CRC-32 and the container scan: where segments start and end, what is hashed,
// and the failures that give 0.
#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <random>
#include <string>

#include "engine/container.h"
#include "engine/session.h"
#include "tests/host/decode/memory_stream.h"
#include "tests/host/decode/recording_feedback.h"

namespace {

const char MARKER[] = "ZOLT";

uint32_t crcOf(const std::string &s) { return crc32(s.data(), s.size()); }

uint32_t scan(const std::string &file, size_t chunk = 0)
{
    MemoryInput in;
    in.data.assign(file.begin(), file.end());
    in.chunk = chunk;
    FILE *f = openInput(in);
    uint32_t crc = scanPayloadStream(f, MARKER);
    fclose(f);
    return crc;
}

TEST(Crc32, KnownValues)
{
    EXPECT_EQ(crcOf(""), 0u);
    EXPECT_EQ(crcOf("123456789"), 0xCBF43926u);
    EXPECT_EQ(crcOf("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    EXPECT_EQ(crcOf(std::string(1, '\0')), 0xD202EF8Du);
}

struct ScanCase {
    const char *name;
    std::string file;
    std::string hashed;   // the data bytes the scan must cover
};

const ScanCase SCAN_CASES[] = {
    {"twoSegments", "MZ..ZOLTabcZOLTdefZOLTZOLT\r\n", "abcdef"},
    {"trailingBytesIgnored", "ZOLTabcZOLTZOLT\r\nmore ZOLTxyz", "abc"},
    {"noMarker", "just some bytes ZOL", ""},
    {"markersInARow", "headZOLTZOLTabcZOLT", ""},
    // The first character, then the whole marker: the second byte breaks the
    // match and is not retried, so all five bytes are data.
    {"headThenMarker", "ZOLTabZZOLTcdZOLTZOLT", "abZZOLTcd"},
    {"brokenPartialMatches", "ZOLTZOxZOLyZOLTZOLT", "ZOxZOLy"},
    // A file ending in the last segment is hashed to its end; a pending partial
    // match at the end is not.
    {"truncatedLastSegment", "ZOLTabcZOLTdefZO", "abcdef"},
    {"bytesBeforeOpeningIgnored", "Z\x01\x02ZOxZOLTabcZOLTZOLT", "abc"},
};

TEST(Scan, HashesExactlyTheSegmentBytes)
{
    for (const ScanCase &c : SCAN_CASES) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(scan(c.file), crcOf(c.hashed));
        EXPECT_EQ(scan(c.file, 1), crcOf(c.hashed)) << "one byte a read";
    }
}

// A marker split across two blocks at every split point: the opening marker, the
// one ending the segment, and the closing one (bytes after it must not count).
TEST(Scan, RecognisesMarkersSplitAcrossBlocks)
{
    for (size_t split = 1; split < 4; ++split) {
        for (size_t shortBy : {4, 8}) {
            std::string lead(SCAN_BLOCK - split, 'p');
            std::string segment(SCAN_BLOCK - shortBy, 's');
            std::string file = lead + "ZOLT" + segment + "ZOLT" + "ZOLT" + "tail";
            EXPECT_EQ(scan(file), crcOf(segment)) << split << " " << shortBy;
        }
    }
}

TEST(Scan, EveryChangedSegmentByteChangesTheResult)
{
    std::string file = "MZstubZOLT" + std::string("segment one") + "ZOLT" + "two" + "ZOLTZOLT\r\n";
    uint32_t good = scan(file);
    ASSERT_EQ(good, crcOf("segment onetwo"));
    for (size_t i = 10; i < 10 + 11; ++i) {
        std::string changed = file;
        changed[i] ^= 0x20;
        EXPECT_NE(scan(changed), good) << i;
    }
    std::string outside = file;
    outside[1] = 'X';
    outside[outside.size() - 1] = 'Y';
    EXPECT_EQ(scan(outside), good);
}

TEST(Scan, ReadErrorGivesZero)
{
    std::string file = "ZOLTabc" + std::string(3000, 'd') + "ZOLTZOLT";
    MemoryInput in;
    in.data.assign(file.begin(), file.end());
    in.failAt = 2000;
    FILE *f = openInput(in);
    EXPECT_EQ(scanPayloadStream(f, MARKER), 0u);
    fclose(f);
}

// ---- By path ----

class ScanFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetFeedbackLog();
        resetSession();
        snprintf(path_, sizeof path_, "/tmp/vorn-scan-%d.bin", (int)getpid());
    }
    void TearDown() override { remove(path_); }
    void write(const std::string &contents)
    {
        FILE *f = fopen(path_, "wb");
        ASSERT_NE(f, nullptr);
        fwrite(contents.data(), 1, contents.size(), f);
        fclose(f);
    }
    char path_[64];
};

TEST_F(ScanFile, ScansWithTheSessionMarkerUnderTheWaitCursor)
{
    write("stub" + std::string("ZOLT") + "abc" + "ZOLT" + "de" + "ZOLTZOLT\r\n");
    EXPECT_EQ(scanPayloadCrc(path_), crcOf("abcde"));
    EXPECT_EQ(feedbackLog.events, (std::vector<std::string>{"wait", "restore"}));
    EXPECT_TRUE(feedbackLog.cursorRestoredToPrevious);
}

TEST_F(ScanFile, MissingFileGivesZeroWithoutTouchingTheCursor)
{
    EXPECT_EQ(scanPayloadCrc("/nonexistent/vorn-setup.exe"), 0u);
    EXPECT_TRUE(feedbackLog.events.empty());
}

TEST_F(ScanFile, ReadErrorGivesZeroAndRestoresTheCursor)
{
    // Reading a folder as a file fails at the first read.
    EXPECT_EQ(scanPayloadCrc("/tmp"), 0u);
    EXPECT_EQ(feedbackLog.cursorShows, 1);
    EXPECT_EQ(feedbackLog.cursorRestores, 1);
}

}  // namespace
