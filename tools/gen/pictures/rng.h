#pragma once
// Small seeded random sources for the picture generator: a PCG32 stream for
// sequential choices and a stateless integer hash for lattice noise.
#include <cstdint>

namespace tolvarin::gen {

// PCG-XSH-RR 32 (O'Neill): 64-bit state, 32-bit output.
class Pcg32 {
 public:
  explicit Pcg32(std::uint64_t seed, std::uint64_t stream = 0x5851F42D4C957F2DULL)
      : increment_((stream << 1U) | 1U) {
    next();
    state_ += seed;
    next();
  }

  std::uint32_t next() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + increment_;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18U) ^ old) >> 27U);
    const auto rot = static_cast<std::uint32_t>(old >> 59U);
    return (xorshifted >> rot) | (xorshifted << ((32U - rot) & 31U));
  }

  // Uniform in [0, 1) with 32 random bits.
  double uniform() { return next() * (1.0 / 4294967296.0); }
  // Uniform in [lo, hi).
  double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  // Uniform integer in [0, bound), bound > 0 (slight modulo bias is harmless here).
  int below(int bound) { return static_cast<int>(next() % static_cast<std::uint32_t>(bound)); }

 private:
  std::uint64_t state_ = 0;
  std::uint64_t increment_;
};

// Avalanching 32-bit hash of a lattice point and a seed.
inline std::uint32_t hashPoint(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B9U;
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6BU;
  h = (h ^ (h >> 15U)) * 0x2C1B3C6DU;
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35U;
  h = (h ^ (h >> 12U)) * 0x297A2D39U;
  h ^= h >> 15U;
  h *= 0x7FEB352DU;
  h ^= h >> 16U;
  return h;
}

}  // namespace tolvarin::gen
