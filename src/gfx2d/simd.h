#pragma once
// The switch for the SIMD fast paths, and what the processor can run.
namespace tolvarin {

// False when the environment variable TOLVARIN_SIMD is "off" (read once, on
// the first call); every kernel then runs its reference implementation.
[[nodiscard]] bool simdEnabled();

namespace detail {
// True when the processor can run the AVX2 family (independent of the switch).
[[nodiscard]] bool cpuHasAvx2();
}  // namespace detail

}  // namespace tolvarin
