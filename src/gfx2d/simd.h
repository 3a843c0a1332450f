#pragma once
// Run-time choice between the plain kernels and their SIMD fast paths.
namespace tolvarin {

// False when the environment variable TOLVARIN_SIMD is "off" (read once, on
// the first call); every kernel then runs its reference implementation.
[[nodiscard]] bool simdEnabled();

namespace detail {
// Which fast-path family the unqualified kernels use. Decided once.
enum class SimdLevel { None, Sse2, Avx2 };
[[nodiscard]] SimdLevel simdLevel();
// True when the processor can run the AVX2 variants (independent of the switch).
[[nodiscard]] bool cpuHasAvx2();
}  // namespace detail

}  // namespace tolvarin
