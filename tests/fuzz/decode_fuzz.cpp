// libFuzzer target: any bytes as a segment. The decoder must agree with the
// literal decoder byte for byte, never write past the size plus one match, and
// reject inputs shorter than the size header.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "decode/lzhuf.h"
#include "tests/host/decode/literal_decoder.h"

namespace {

// Decodes into memory; false when the decoder answered false.
bool run(bool literal, const std::vector<uint8_t> &segment, std::vector<uint8_t> *output)
{
    char *text = nullptr;
    size_t length = 0;
    FILE *in = fmemopen((void *)segment.data(), segment.size(), "rb");
    FILE *out = open_memstream(&text, &length);
    bool ok = literal ? literalDecodeSegment(in, out) : decodeSegment(in, out);
    fclose(in);
    fclose(out);
    output->assign(text, text + length);
    free(text);
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;   // fmemopen refuses an empty buffer
    std::vector<uint8_t> segment(data, data + size);
    // Keep decoded sizes small enough for many runs a second.
    if (size >= 4) {
        segment[1] &= 0x0F;
        segment[2] = segment[3] = 0;
    }
    std::vector<uint8_t> fast, literal;
    bool ok = run(false, segment, &fast);
    if (size < 4) {
        if (ok || !fast.empty())
            abort();
        return 0;
    }
    uint32_t expected = segment[0] | segment[1] << 8;
    bool literalOk = run(true, segment, &literal);
    if (ok != literalOk || fast != literal)
        abort();
    if (ok && (fast.size() < expected || fast.size() > expected + MAX_MATCH - 1))
        abort();
    return 0;
}
