// Bit writer for the segment's bit stream: most significant bit of each byte
// first, as the decoder's reader consumes it.
#pragma once
#include <stdint.h>
#include <vector>

namespace vornpack {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t> &out) : out_(out), start_(out.size()) {}

    // The low `count` bits of `bits`, most significant first; count <= 32.
    void put(uint32_t bits, int count)
    {
        acc_ = (acc_ << count) | (bits & ((uint64_t(1) << count) - 1));
        pending_ += count;
        while (pending_ >= 8) {
            pending_ -= 8;
            out_.push_back(uint8_t(acc_ >> pending_));
        }
    }

    // Pads the last byte with zero bits.
    void flush()
    {
        if (pending_)
            put(0, 8 - pending_);
    }

    // Bits written so far, counted from where the writer started.
    uint64_t bitCount() const { return uint64_t(out_.size() - start_) * 8 + pending_; }

private:
    std::vector<uint8_t> &out_;
    size_t start_;
    uint64_t acc_ = 0;
    int pending_ = 0;   // bits in acc_ not yet written, 0..7 between calls
};

}  // namespace vornpack
