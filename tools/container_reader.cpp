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
    FILE *input = fmemopen(const_cast<uint8_t *>(segment.data()), segment.size(), "rb");
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
    fclose(output);
    fclose(input);
    if (!decoded || !flushed) {
        result.problem = "the decoder failed";
    } else if (result.data.size() != size) {
        // A damaged stream whose last item is a match overruns the size.
        result.problem = "decoded " + std::to_string(result.data.size()) +
                         " bytes instead of " + std::to_string(size);
    } else {
        result.ok = true;
    }
    return result;
}

}  // namespace vornpack
