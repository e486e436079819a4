// Random bits from a generator outside the program, such as the operating system's
// cryptographic one, read a block at a time: one call for every 512 numbers, not one per number.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tallowby {

class BlockRandomSource {
 public:
  // Fills the block with random bits, or throws.
  using Fill = void (*)(std::span<std::uint64_t> block);

  explicit BlockRandomSource(Fill fill) : fill_(fill) {}

  std::uint64_t NextBits() {
    if (next_ == block_.size()) {
      fill_(block_);
      next_ = 0;
    }
    return block_[next_++];
  }

  // 53-bit uniform doubles from the top bits, as RandomSource makes them.
  double NextUniform() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

 private:
  Fill fill_;
  std::array<std::uint64_t, 512> block_{};  // 4 KiB
  std::size_t next_ = 512;
};

}  // namespace tallowby
