// Benchmark entry point and the yardstick: memcpy of one 320x240 frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx2d/framebuffer.h"

namespace {

void BM_MemcpyFrame(benchmark::State& state) {
  std::vector<tolvarin::Pixel> src(tolvarin::kFramePixels, 0x00123456u);
  std::vector<tolvarin::Pixel> dst(tolvarin::kFramePixels);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), tolvarin::kFrameBytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * tolvarin::kFrameBytes);
}
BENCHMARK(BM_MemcpyFrame);

}  // namespace

BENCHMARK_MAIN();
