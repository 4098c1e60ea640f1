#include "tools/match_finder.h"

#include <string.h>

#include <algorithm>

#include "decode/lzhuf.h"

namespace vornpack {

namespace {
const int HASH_BITS = 15;
// Farthest reachable byte: position 4095 addresses the byte 4096 back.
const size_t WINDOW = RING_SIZE;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "commonLength counts from the low byte");

// Bytes that a and b have in common, at most limit; eight at a time.
int commonLength(const uint8_t *a, const uint8_t *b, int limit)
{
    int n = 0;
    for (; n + 8 <= limit; n += 8) {
        uint64_t x, y;
        memcpy(&x, a + n, 8);
        memcpy(&y, b + n, 8);
        if (x != y)
            return n + (__builtin_ctzll(x ^ y) >> 3);
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}
}  // namespace

MatchFinder::MatchFinder(const uint8_t *data, size_t size, int chainLimit)
    : view_(RING_START + size, ' '),
      head_(size_t(1) << HASH_BITS, -1),
      prev_(WINDOW, -1),
      chainLimit_(chainLimit < 1 ? 1 : chainLimit)
{
    if (size)
        memcpy(view_.data() + RING_START, data, size);
}

uint32_t MatchFinder::hashAt(size_t v) const
{
    uint32_t x = view_[v] | (view_[v + 1] << 8) | (uint32_t(view_[v + 2]) << 16);
    return (x * 2654435761u) >> (32 - HASH_BITS);
}

void MatchFinder::insertUpTo(size_t virtualEnd)
{
    size_t last = view_.size() >= 3 ? view_.size() - 2 : 0;   // needs 3 bytes
    if (virtualEnd > last)
        virtualEnd = last;
    for (; inserted_ < virtualEnd; ++inserted_) {
        uint32_t h = hashAt(inserted_);
        prev_[inserted_ & (WINDOW - 1)] = head_[h];
        head_[h] = int32_t(inserted_);
    }
}

void MatchFinder::candidates(size_t i, int maxLength, std::vector<Match> &out)
{
    out.clear();
    size_t v = RING_START + i;
    size_t available = view_.size() - v;
    if (maxLength > int(available))
        maxLength = int(available);
    if (maxLength < MIN_MATCH)
        return;
    insertUpTo(v);
    const uint8_t *cur = view_.data() + v;
    int best = MIN_MATCH - 1;
    int32_t candidate = head_[hashAt(v)];
    while (candidate >= 0 && size_t(candidate) >= v)   // inserted ahead of i
        candidate = prev_[size_t(candidate) & (WINDOW - 1)];
    for (int steps = 0; candidate >= 0 && steps < chainLimit_; ++steps) {
        size_t distance = v - size_t(candidate);
        if (distance > WINDOW)
            break;
        const uint8_t *ref = view_.data() + candidate;
        // Quick rejection: a better match must also agree at index `best`.
        if (ref[best] == cur[best] && ref[0] == cur[0]) {
            int length = commonLength(ref, cur, maxLength);
            if (length > best) {
                best = length;
                out.push_back(Match{length, int(distance)});
                if (length == maxLength)
                    break;
            }
        }
        int32_t next = prev_[size_t(candidate) & (WINDOW - 1)];
        if (next >= candidate)   // the slot was reused by a newer position
            break;
        candidate = next;
    }
}

Match MatchFinder::longest(size_t i, int maxLength)
{
    thread_local std::vector<Match> found;
    candidates(i, maxLength, found);
    return found.empty() ? Match{} : found.back();
}

}  // namespace vornpack
