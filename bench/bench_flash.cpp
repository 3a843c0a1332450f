// Benchmarks of src/flash: what calm mode and --flash-report add to every
// frame. Compare with BM_MemcpyFrame from the same run.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "flash/calm_filter.h"
#include "flash/flash_meter.h"

namespace {

using tolvarin::Pixel;
using tolvarin::kFramePixels;

// Two pseudo-random pictures, shown in turn (every frame a change).
std::vector<std::vector<Pixel>> pictures() {
  std::mt19937 rng(45);
  std::vector<std::vector<Pixel>> p(2, std::vector<Pixel>(kFramePixels));
  for (auto& f : p) {
    for (Pixel& px : f) px = rng() & 0x00FFFFFFu;
  }
  return p;
}

void BM_Luminance(benchmark::State& state) {
  const auto p = pictures();
  std::vector<std::uint32_t> out(kFramePixels);
  for (auto _ : state) {
    tolvarin::luminanceOf(p[0].data(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Luminance);

void BM_FlashMeterObserve(benchmark::State& state) {
  const auto p = pictures();
  tolvarin::FlashMeter meter;
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(meter.observe(p[static_cast<std::size_t>(t * 60) % 2].data(), t));
    t += 1.0 / 60;
  }
}
BENCHMARK(BM_FlashMeterObserve);

// Calm mode on frames that need no change (the usual case).
void BM_CalmFilterPassing(benchmark::State& state) {
  const auto p = pictures();
  tolvarin::CalmFilter calm;
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(calm.apply(p[0].data(), t));
    t += 1.0 / 60;
  }
}
BENCHMARK(BM_CalmFilterPassing);

}  // namespace
