// Small deterministic random source (SplitMix64): the same seed gives the same board on every
// compiler and library, which std::uniform_int_distribution does not promise.
#pragma once

#include <cstddef>
#include <cstdint>

namespace boardgen {

class Random {
 public:
  Random(uint32_t seed, uint32_t stream) : state_((uint64_t{seed} << 32 | stream) * 0x9E3779B97F4A7C15ull + 1) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to bound - 1; 0 when bound is 0.
  uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(((Next() >> 32) * bound) >> 32); }
  int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<uint32_t>(high - low + 1))); }
  bool Percent(int percent) { return Below(100) < static_cast<uint32_t>(percent); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  uint64_t state_;
};

}  // namespace boardgen
