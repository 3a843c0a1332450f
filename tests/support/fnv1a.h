#pragma once
// FNV-1a, 64 bits: the hash the generator tests pin their outputs with.
#include <cstdint>
#include <vector>

namespace tolvarin::testing {

inline std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (std::uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001B3ULL;
  }
  return h;
}

}  // namespace tolvarin::testing
