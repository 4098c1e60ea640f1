// Hash-chain match finder over the encoder's view of the data: the 4036 spaces
// that the decoder's ring starts with, followed by the data itself.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

namespace vornpack {

struct Match {
    int length = 0;     // 0 when nothing of at least 3 bytes was found
    int distance = 0;   // 1..4096: the match starts `distance` bytes back
};

class MatchFinder {
public:
    MatchFinder(const uint8_t *data, size_t size, int chainLimit);

    // Longest match at data position i, at most maxLength bytes; among equally
    // long ones the nearest. Positions before i are inserted on the way.
    Match longest(size_t i, int maxLength);

    // Every length that improves on the previous one, nearest first, in
    // increasing length: for each length its nearest distance.
    void candidates(size_t i, int maxLength, std::vector<Match> &out);

private:
    void insertUpTo(size_t virtualEnd);
    uint32_t hashAt(size_t v) const;

    std::vector<uint8_t> view_;    // spaces, then the data
    std::vector<int32_t> head_;
    // Per view position modulo the window: the previous one with the same
    // hash. Older entries are out of reach anyway.
    std::vector<int32_t> prev_;
    size_t inserted_ = 0;          // view positions below this are in the chains
    int chainLimit_;
};

}  // namespace vornpack
