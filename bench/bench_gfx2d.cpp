// Benchmarks of src/gfx2d: every kernel over one 320x240 frame per iteration,
// as callers get it (fast path) and as the reference. Compare each time with
// BM_MemcpyFrame from the same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/trig_tables.h"
#include "gfx2d/tunnel_pixels.h"
#include "gfx2d/zoom_wrap.h"

namespace {

using tolvarin::Pixel;
using tolvarin::kFramePixels;

// Three frames of pseudo-random pictures, and tunnel tables and a texture, made once.
struct Frames {
  std::vector<Pixel> a, b, c;
  std::vector<std::uint8_t> distance, angle;
  std::int32_t wobble[tolvarin::kWobbleEntries];
  Frames() : a(kFramePixels), b(kFramePixels), c(kFramePixels), distance(kFramePixels), angle(kFramePixels) {
    std::mt19937 rng(2000);
    for (int i = 0; i < kFramePixels; ++i) {
      a[i] = rng() & 0x00FFFFFFu;
      b[i] = (i % 5 == 0) ? 0u : (rng() & 0x00FFFFFFu);
      // A smooth relief, as bump maps are.
      const Pixel v = static_cast<Pixel>(((i % 320) + (i / 320)) & 0xFF);
      c[i] = v << 16 | v << 8 | v;
      // Rings and rays about the centre, as the tunnel's tables are.
      const int x = i % 320 - 160, y = i / 320 - 120;
      distance[i] = static_cast<std::uint8_t>((x * x + y * y) / 200);
      angle[i] = static_cast<std::uint8_t>((x >= 0 ? 0 : 128) + (y * 64) / (std::abs(x) + std::abs(y) + 1));
    }
    for (int k = 0; k < tolvarin::kWobbleEntries; ++k) wobble[k] = (k * 37) % 300;
    tolvarin::buildTrigTables();
  }
};

Frames& frames() {
  static Frames instance;
  return instance;
}

template <typename Kernel>
void runFrames(benchmark::State& state, Kernel kernel) {
  Frames& f = frames();
  std::vector<Pixel> dst(kFramePixels);
  for (auto _ : state) {
    kernel(f, dst.data());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * tolvarin::kFrameBytes);
}

// Registers BM_<name> with the unqualified kernel and BM_<name>_reference
// with tolvarin::reference; `call` is the kernel's argument list.
#define TOLVARIN_BENCH_PAIR(name, call)                                                \
  void BM_##name(benchmark::State& state) {                                            \
    runFrames(state, [](Frames& f, Pixel* dst) { tolvarin::name call; });              \
  }                                                                                    \
  void BM_##name##_reference(benchmark::State& state) {                                \
    runFrames(state, [](Frames& f, Pixel* dst) { tolvarin::reference::name call; });   \
  }                                                                                    \
  BENCHMARK(BM_##name);                                                                \
  BENCHMARK(BM_##name##_reference);

TOLVARIN_BENCH_PAIR(fillFrame, (dst, 0x00102030u + static_cast<Pixel>(f.a[0] & 1)))
TOLVARIN_BENCH_PAIR(copyFrame, (f.a.data(), dst))
TOLVARIN_BENCH_PAIR(crossFade, (f.a.data(), f.b.data(), dst, 200, 100, 50))
TOLVARIN_BENCH_PAIR(overlayKeyed, (f.b.data(), f.a.data(), dst))
TOLVARIN_BENCH_PAIR(maskFrame, (f.a.data(), f.b.data(), dst))
TOLVARIN_BENCH_PAIR(averageFrames, (dst, f.a.data(), f.b.data()))
TOLVARIN_BENCH_PAIR(mirrorQuadrants, (dst))
TOLVARIN_BENCH_PAIR(rotoZoom, (f.a.data(), dst, 30, 2.01f))
TOLVARIN_BENCH_PAIR(stretchBlit, (0, 0, 320, 240, f.a.data(), dst))
TOLVARIN_BENCH_PAIR(bumpLight, (-160, -119, f.a.data(), dst, f.c.data(), 7))
TOLVARIN_BENCH_PAIR(subtractFromBytes, (f.a.data(), dst, 3))
TOLVARIN_BENCH_PAIR(zoomWrap, (f.a.data(), dst, 2.35))
TOLVARIN_BENCH_PAIR(tunnelPixels, (f.distance.data(), f.angle.data(), f.a.data(), f.wobble, 6, dst))

// rotoZoom at the widest zoom the demo uses: reads are spread over the source.
void BM_rotoZoom_wide(benchmark::State& state) {
  runFrames(state, [](Frames& f, Pixel* dst) { tolvarin::rotoZoom(f.a.data(), dst, 45, 4.01f); });
}
void BM_rotoZoom_wide_reference(benchmark::State& state) {
  runFrames(state, [](Frames& f, Pixel* dst) { tolvarin::reference::rotoZoom(f.a.data(), dst, 45, 4.01f); });
}
BENCHMARK(BM_rotoZoom_wide);
BENCHMARK(BM_rotoZoom_wide_reference);

// drawLine has no fast path: a fan of 64 lines across the frame per iteration.
void BM_drawLine(benchmark::State& state) {
  runFrames(state, [](Frames&, Pixel* dst) {
    for (int i = 0; i < 64; ++i) tolvarin::drawLine(0, i * 3, 319, 239 - i * 3, 0x00FFFFFFu, dst);
  });
}
BENCHMARK(BM_drawLine);

}  // namespace
