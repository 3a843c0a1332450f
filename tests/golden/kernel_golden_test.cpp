// Pinned outputs of every pixel kernel: seeded inputs go through the
// reference and every fast path the machine runs, and the hash of each
// output must equal the one in tests/golden/kernels.txt. The differential
// tests show that the variants agree with each other; this shows that none of
// them has drifted from what the demo drew when the file was pinned.
//
// TOLVARIN_REPIN_KERNELS=FILE writes the hashes to FILE instead of checking
// (scripts/repin-golden.sh does this after a deliberate change).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "golden_kernels.h"
#include "gfx2d/test_frames.h"

namespace tolvarin {
namespace {

using test::TestFrame;

std::string hex(std::uint64_t h) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

std::uint64_t hashPixels(const Pixel* pixels, std::size_t count) { return XXH3_64bits(pixels, count * sizeof(Pixel)); }

// The seeded inputs of one case: two source frames, a relief, a destination
// that already holds something (kernels that leave pixels alone show it), and
// a 256x256 texture for the tunnel.
struct Inputs {
  explicit Inputs(std::uint32_t seed) : rng(seed) {
    for (TestFrame* f : {&a, &b, &relief, &dst}) test::fillBiased(*f, rng);
    for (Pixel& p : texture) p = test::biasedPixel(rng);
  }
  std::mt19937 rng;
  TestFrame a, b, relief, dst;
  std::vector<Pixel> texture = std::vector<Pixel>(256 * 256);
};

// name of the case -> hash of the output, for one variant of every kernel.
using Results = std::map<std::string, std::uint64_t>;

void record(Results& results, const std::string& name, const Pixel* pixels, std::size_t count = kFramePixels) {
  results[name] = hashPixels(pixels, count);
}

// Runs every case of the kernels through one variant.
Results runCases(const golden::KernelVariant& v) {
  Results r;
  buildTrigTables();
  const auto frameCase = [&](const std::string& name, std::uint32_t seed, auto&& run) {
    Inputs in(seed);
    run(in);
    record(r, name, in.dst.data());
  };
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    std::string s = "/";
    s += std::to_string(seed);
    frameCase("fillFrame" + s, seed, [&](Inputs& in) { v.fillFrame(in.dst.data(), in.rng()); });
    frameCase("copyFrame" + s, seed, [&](Inputs& in) { v.copyFrame(in.a.data(), in.dst.data()); });
    frameCase("crossFade" + s, seed, [&](Inputs& in) {
      const int w[3] = {static_cast<int>(in.rng() % 256), 255, static_cast<int>(in.rng())};
      v.crossFade(in.a.data(), in.b.data(), in.dst.data(), w[seed % 3], w[(seed + 1) % 3], w[(seed + 2) % 3]);
    });
    frameCase("overlayKeyed" + s, seed, [&](Inputs& in) { v.overlayKeyed(in.a.data(), in.b.data(), in.dst.data()); });
    frameCase("maskFrame" + s, seed, [&](Inputs& in) { v.maskFrame(in.a.data(), in.b.data(), in.dst.data()); });
    frameCase("averageFrames" + s, seed, [&](Inputs& in) { v.averageFrames(in.dst.data(), in.a.data(), in.b.data()); });
    frameCase("mirrorQuadrants" + s, seed, [&](Inputs& in) { v.mirrorQuadrants(in.dst.data()); });
    frameCase("drawLine" + s, seed, [&](Inputs& in) {
      for (int line = 0; line < 40; ++line) {
        const auto coord = [&](int size) { return static_cast<std::int32_t>(in.rng() % (size + 40)) - 20; };
        // One draw per declarator, so every compiler takes the numbers in the
        // same order (the order of a call's arguments is the compiler's
        // choice): the colour, then the coordinates from the last to the
        // first, as the pinned hashes were made.
        const std::uint32_t colour = in.rng();
        const std::int32_t y1 = coord(240), x1 = coord(320), y0 = coord(240), x0 = coord(320);
        v.drawLine(x0, y0, x1, y1, colour, in.dst.data());
      }
    });
    frameCase("subtractFromBytes" + s, seed, [&](Inputs& in) {
      const std::uint8_t amounts[3] = {1, 3, static_cast<std::uint8_t>(in.rng())};
      v.subtractFromBytes(in.a.data(), in.dst.data(), amounts[seed % 3]);
    });
  }
  const int angles[] = {0, 8, 91, 180, 359, 360};
  const float scales[] = {0.01f, 1.0f, 2.01f, 4.01f, 0.37f, 3.3f};
  for (int i = 0; i < 6; ++i) {
    frameCase("rotoZoom/" + std::to_string(i), 10u + i,
              [&](Inputs& in) { v.rotoZoom(in.a.data(), in.dst.data(), angles[i], scales[i]); });
  }
  const std::int32_t rects[][4] = {{0, 0, 320, 240}, {-50, 30, 200, 100}, {100, -20, 640, 480}, {5, 7, 1, 1}};
  for (int i = 0; i < 4; ++i) {
    frameCase("stretchBlit/" + std::to_string(i), 20u + i, [&](Inputs& in) {
      v.stretchBlit(rects[i][0], rects[i][1], rects[i][2], rects[i][3], in.a.data(), in.dst.data());
    });
  }
  const std::int32_t lights[][3] = {{-160, -20, 0}, {-60, -220, 7}, {-259, -119, 3}, {-100, -100, -2},
                                    {5000, -9000, -7}, {-160, -120, 255}};
  for (int i = 0; i < 6; ++i) {
    frameCase("bumpLight/" + std::to_string(i), 30u + i, [&](Inputs& in) {
      v.bumpLight(lights[i][0], lights[i][1], in.a.data(), in.dst.data(), in.relief.data(), lights[i][2]);
    });
  }
  const double zooms[] = {24.6, 1.0, 0.05, 2.0, 0.5, 13.37, -3.1};
  for (int i = 0; i < 7; ++i) {
    frameCase("zoomWrap/" + std::to_string(i), 40u + i, [&](Inputs& in) { v.zoomWrap(in.a.data(), in.dst.data(), zooms[i]); });
  }
  for (int i = 0; i < 3; ++i) {
    frameCase("tunnel/" + std::to_string(i), 50u + i, [&](Inputs& in) {
      const int frameNo = 1 + 337 * i;
      v.drawTunnel(in.texture.data(), frameNo, 4 * i, 2 * i + 1, in.dst.data());
    });
  }
  // The tables the kernels and scenes index: trigonometry and the tunnel's.
  r["trigTables"] = XXH3_64bits(sinTable, sizeof sinTable) ^ XXH3_64bits(cosTable, sizeof cosTable) * 3 ^
                    XXH3_64bits(sinTable100, sizeof sinTable100) * 5 ^ XXH3_64bits(cosTable100, sizeof cosTable100) * 7;
  r["tunnelTables"] = golden::tunnelTablesHash();
  return r;
}

std::string format(const Results& results) {
  std::ostringstream out;
  out << "# XXH3-64 of each kernel's output on seeded inputs (tests/golden/kernel_golden_test.cpp)\n";
  for (const auto& [name, hash] : results) out << name << ' ' << hex(hash) << '\n';
  return out.str();
}

TEST(KernelGolden, EveryVariantGivesThePinnedOutputs) {
  const std::vector<golden::KernelVariant> variants = golden::kernelVariants();
  ASSERT_FALSE(variants.empty());
  const Results first = runCases(variants.front());
  if (const char* repin = std::getenv("TOLVARIN_REPIN_KERNELS")) {
    std::ofstream(repin, std::ios::binary) << format(first);
    GTEST_SKIP() << "wrote " << repin;
  }
  std::ifstream in(TOLVARIN_SOURCE_DIR "/tests/golden/kernels.txt", std::ios::binary);
  ASSERT_TRUE(in) << "tests/golden/kernels.txt is missing";
  std::stringstream pinned;
  pinned << in.rdbuf();
  for (const golden::KernelVariant& v : variants) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(format(runCases(v)), pinned.str());
  }
}

}  // namespace
}  // namespace tolvarin
