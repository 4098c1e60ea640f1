#include "tools/container_reader.h"

#include <stdio.h>
#include <string.h>

#include "decode/lzhuf.h"
#include "engine/container.h"
#include "tools/container_writer.h"

namespace vornpack {

namespace {

// Best case of the format: a one-bit symbol plus a nine-bit position code for
// 60 bytes, so a compressed byte holds less than 48 decoded bytes.
const uint64_t MAX_BYTES_PER_COMPRESSED_BYTE = 48;

// The reader fetches every byte that holds a bit of the last code; after it
// only the one padding byte the writer may add stays unread. One more for slack.
const size_t MAX_UNREAD_BYTES = 2;

struct Sink {
    std::vector<uint8_t> *out;
    size_t capacity;
};

// Output stream that keeps what the decoder writes and fails once a damaged
// stream writes more than the header announced (plus one last match).
ssize_t sinkWrite(void *cookie, const char *buffer, size_t size)
{
    Sink *sink = static_cast<Sink *>(cookie);
    if (sink->out->size() + size > sink->capacity)
        return -1;
    sink->out->insert(sink->out->end(), buffer, buffer + size);
    return ssize_t(size);
}

struct Decoding {
    bool ok = false;
    std::vector<uint8_t> data;
    size_t consumed = 0;   // input bytes the decoder took
    std::string problem;
};

// One run of the installer's decoder over bytes in memory.
Decoding decodeBytes(const std::vector<uint8_t> &bytes, uint64_t size)
{
    Decoding result;
    FILE *input = fmemopen(const_cast<uint8_t *>(bytes.data()), bytes.size(), "rb");
    Sink sink{&result.data, size_t(size) + MAX_MATCH};
    result.data.reserve(size_t(size));
    cookie_io_functions_t functions = {nullptr, sinkWrite, nullptr, nullptr};
    FILE *output = fopencookie(&sink, "wb", functions);
    if (!input || !output) {
        if (input)
            fclose(input);
        if (output)
            fclose(output);
        result.problem = "cannot set up the decoder's streams";
        return result;
    }
    bool decoded = decodeSegment(input, output);
    bool flushed = fflush(output) == 0;
    long consumed = ftell(input);
    fclose(output);
    fclose(input);
    result.ok = decoded && flushed && consumed >= 0;
    result.consumed = consumed >= 0 ? size_t(consumed) : 0;
    if (!result.ok)
        result.problem = "the decoder failed";
    return result;
}

}  // namespace

ContainerLayout splitContainer(const uint8_t *data, size_t size)
{
    enum { Before, AfterMarker, InSegment } state = Before;
    ContainerLayout layout;
    std::vector<uint8_t> current;
    int32_t matched = 0;
    size_t i = 0;
    auto addData = [&](int count, uint8_t byte) {
        if (state == Before)
            return;
        current.insert(current.end(), MARKER, MARKER + count);
        current.push_back(byte);
        state = InSegment;
    };
    for (; i < size && !layout.closed; ++i) {
        int result = matchMarkerByte(MARKER, &matched, data[i]);
        if (result == MatchPending)
            continue;
        if (result >= 0) {
            addData(result, data[i]);
            continue;
        }
        switch (state) {
        case Before:
            layout.opened = true;
            layout.payloadOffset = i + 1 - MARKER_SIZE;
            state = AfterMarker;
            break;
        case AfterMarker:
            layout.closed = true;
            break;
        case InSegment:
            layout.segments.push_back(std::move(current));
            current.clear();
            state = AfterMarker;
            break;
        }
    }
    // As in the installer's scan, a partial match pending at the end is not data.
    layout.unterminated = std::move(current);
    std::vector<uint8_t> joined;
    for (const auto &segment : layout.segments)
        joined.insert(joined.end(), segment.begin(), segment.end());
    joined.insert(joined.end(), layout.unterminated.begin(), layout.unterminated.end());
    layout.crc = crc32(joined.data(), joined.size());
    return layout;
}

uint32_t segmentDecodedSize(const std::vector<uint8_t> &segment)
{
    if (segment.size() < 4)
        return 0;
    return uint32_t(segment[0]) | uint32_t(segment[1]) << 8 | uint32_t(segment[2]) << 16 |
           uint32_t(segment[3]) << 24;
}

DecodeResult decodeWithInstallerDecoder(const std::vector<uint8_t> &segment)
{
    DecodeResult result;
    if (segment.size() < 4) {
        result.problem = "segment shorter than its 4-byte size header";
        return result;
    }
    uint64_t size = segmentDecodedSize(segment);
    if (size == 0) {
        result.problem = "decoded size is 0";
        return result;
    }
    if (size > (segment.size() - 4) * MAX_BYTES_PER_COMPRESSED_BYTE + MAX_MATCH) {
        result.problem = "decoded size " + std::to_string(size) + " is impossible for " +
                         std::to_string(segment.size()) + " compressed bytes";
        return result;
    }
    Decoding plain = decodeBytes(segment, size);
    if (!plain.ok) {
        result.problem = plain.problem;
    } else if (plain.data.size() != size) {
        // A damaged stream whose last item is a match overruns the size.
        result.problem = "decoded " + std::to_string(plain.data.size()) + " bytes instead of " +
                         std::to_string(size);
    } else if (segment.size() - plain.consumed > MAX_UNREAD_BYTES) {
        // A size damaged towards a smaller value decodes "fine" but leaves
        // the end of the stream unread.
        result.problem = "decoding ends " + std::to_string(segment.size() - plain.consumed) +
                         " bytes before the segment does";
    } else {
        // A size damaged towards a larger value makes the decoder read on
        // past the segment, where it takes zero bits: other bits there must
        // change nothing.
        std::vector<uint8_t> extended = segment;
        extended.insert(extended.end(), 16, 0xFF);
        if (decodeBytes(extended, size).data != plain.data)
            result.problem = "the stream ends before " + std::to_string(size) +
                             " bytes are decoded";
        else
            result.ok = true;
    }
    if (result.ok)
        result.data = std::move(plain.data);
    return result;
}

}  // namespace vornpack
