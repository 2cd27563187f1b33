#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/big_buffer.h"

namespace corvalo::clipcalc {

// One bit per stored cell, by the cell's index in reading order; all bits are
// clear at first, and no memory is taken until one is set.
class CellBits {
  public:
    bool test(std::size_t i) const {
        const std::size_t w = i / 64;
        return w < words_.size() && ((words_[w] >> (i % 64)) & 1) != 0;
    }
    void set(std::size_t i) {
        const std::size_t w = i / 64;
        if (w >= words_.size()) {
            const std::size_t old = words_.size();
            words_.resizeUninitialized(w + 1);
            for (std::size_t k = old; k <= w; ++k) words_[k] = 0;
        }
        words_[w] |= std::uint64_t{1} << (i % 64);
    }
    void reset(std::size_t i) {
        if (i / 64 < words_.size()) words_[i / 64] &= ~(std::uint64_t{1} << (i % 64));
    }
    // Clears the bits of index `cells` and above: the cells beyond were removed.
    void truncate(std::size_t cells) {
        const std::size_t keep = (cells + 63) / 64;
        if (keep < words_.size()) words_.resizeUninitialized(keep);
        if (cells % 64 != 0 && cells / 64 < words_.size()) {
            words_[cells / 64] &= (std::uint64_t{1} << (cells % 64)) - 1;
        }
    }
    void clear() { words_.clear(); }

  private:
    platform::BigBuffer<std::uint64_t> words_;
};

}  // namespace corvalo::clipcalc
