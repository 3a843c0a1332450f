#include "gfx2d/simd.h"

#include <cstdlib>
#include <cstring>

namespace tolvarin {

bool simdEnabled() {
  static const bool enabled = [] {
    const char* value = std::getenv("TOLVARIN_SIMD");
    return value == nullptr || std::strcmp(value, "off") != 0;
  }();
  return enabled;
}

namespace detail {

bool cpuHasAvx2() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
#else
  return false;
#endif
}

bool cpuHasAvx512() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
  }();
  return has;
#else
  return false;
#endif
}

}  // namespace detail
}  // namespace tolvarin
