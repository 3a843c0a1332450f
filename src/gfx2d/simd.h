#pragma once
// The switch for the SIMD fast paths, and what the processor can run.
namespace tolvarin {

// False when the environment variable TOLVARIN_SIMD is "off" (read once, on
// the first call); every kernel then runs its reference implementation.
[[nodiscard]] bool simdEnabled();

namespace detail {
// True when the processor can run the AVX2 family (independent of the switch).
[[nodiscard]] bool cpuHasAvx2();
// True when it can run the AVX-512 family (AVX-512 F and BW).
[[nodiscard]] bool cpuHasAvx512();
}  // namespace detail

}  // namespace tolvarin
