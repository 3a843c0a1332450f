// Every fast path against its reference, bit for bit, on seeded random input:
// channels biased to 0x00 and 0xFF, misaligned buffers, in-place calls, and
// random offsets, modes, angles, scales and rectangles.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/kernel_set.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/simd.h"
#include "gfx2d/trig_tables.h"
#include "gfx2d/tunnel_pixels.h"
#include "test_frames.h"

namespace tolvarin {
namespace {

using test::TestFrame;

// Every fast family this machine runs (the references are what they are
// compared with).
std::vector<const KernelSet*> variants() {
  std::vector<const KernelSet*> sets = availableKernelSets();
  sets.erase(sets.begin());
  return sets;
}

TestFrame randomFrame(std::mt19937& rng, int offset = 1) {
  TestFrame frame(0, 0, offset);
  test::fillBiased(frame, rng);
  return frame;
}

// Weights, offsets and modes: mostly in the useful range, sometimes anything.
std::int32_t randomInt(std::mt19937& rng, std::int32_t low, std::int32_t high) {
  if (rng() % 5 == 0) return static_cast<std::int32_t>(rng());
  return low + static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(high - low + 1));
}

TEST(Differential, PerPixelKernelsMatchTheReferenceAlsoInPlace) {
  for (const KernelSet* set : variants()) {
    const KernelSet& v = *set;
    SCOPED_TRACE(v.name);
    std::mt19937 rng(1234);
    for (int round = 0; round < 16; ++round) {
      // Every alignment of the frames against 32-byte boundaries, in mixes.
      const TestFrame a = randomFrame(rng, round % 8), b = randomFrame(rng, (round * 3) % 8);
      const int dstOffset = (round * 5 + 1) % 8;
      const std::int32_t wr = randomInt(rng, 0, 255), wg = randomInt(rng, 0, 255),
                         wb = randomInt(rng, 0, 255);
      const std::uint32_t colour = rng();
      SCOPED_TRACE(::testing::Message() << "round " << round << " weights " << wr << " " << wg << " " << wb);
      // Runs `kernel(srcA, srcB, dst)` of the variant into a fresh frame, into a
      // copy of a and into a copy of b (in place), against the reference.
      const auto check = [&](const char* name, auto reference, auto variant) {
        TestFrame expected, actual(0, 0, dstOffset), inA = a, inB = b;
        reference(a.data(), b.data(), expected.data());
        variant(a.data(), b.data(), actual.data());
        EXPECT_EQ(actual.pixels(), expected.pixels()) << name;
        variant(inA.data(), b.data(), inA.data());
        EXPECT_EQ(inA.pixels(), expected.pixels()) << name << " in place of the first source";
        variant(a.data(), inB.data(), inB.data());
        EXPECT_EQ(inB.pixels(), expected.pixels()) << name << " in place of the second source";
      };
      check("crossFade",
            [&](const Pixel* x, const Pixel* y, Pixel* d) { reference::crossFade(x, y, d, wr, wg, wb); },
            [&](const Pixel* x, const Pixel* y, Pixel* d) { v.crossFade(x, y, d, wr, wg, wb); });
      check("overlayKeyed", reference::overlayKeyed, v.overlayKeyed);
      check("maskFrame", reference::maskFrame, v.maskFrame);
      const std::uint8_t amount = static_cast<std::uint8_t>(round % 4 == 0 ? 1 : rng());
      check("subtractFromBytes",
            [&](const Pixel* x, const Pixel*, Pixel* d) { reference::subtractFromBytes(x, d, amount); },
            [&](const Pixel* x, const Pixel*, Pixel* d) { v.subtractFromBytes(x, d, amount); });
      check("averageFrames",
            [](const Pixel* x, const Pixel* y, Pixel* d) { reference::averageFrames(d, x, y); },
            [&](const Pixel* x, const Pixel* y, Pixel* d) { v.averageFrames(d, x, y); });

      TestFrame expected = a, actual = a;  // copies keep a's alignment
      reference::mirrorQuadrants(expected.data());
      v.mirrorQuadrants(actual.data());
      EXPECT_EQ(actual.pixels(), expected.pixels()) << "mirrorQuadrants";
      reference::fillFrame(expected.data(), colour);
      v.fillFrame(actual.data(), colour);
      EXPECT_EQ(actual.pixels(), expected.pixels()) << "fillFrame";
      v.copyFrame(b.data(), actual.data());
      EXPECT_EQ(actual.pixels(), b.pixels()) << "copyFrame";
      if (HasFailure()) return;
    }
  }
}

TEST(Differential, RotoZoomMatchesTheReference) {
  buildTrigTables();
  for (const KernelSet* set : variants()) {
    const KernelSet& v = *set;
    SCOPED_TRACE(v.name);
    std::mt19937 rng(99);
    const TestFrame src = randomFrame(rng);
    const std::vector<float> special = {1.0f, 0.01f, 4.01f, 0.0f, -1.5f, 1e9f, 1.0f / 65535.0f};
    for (int round = 0; round < 60; ++round) {
      int angle = static_cast<int>(rng() % 361);
      if (round % 10 == 9) angle = static_cast<int>(rng() % 2000) - 1000;
      const float scale = round < static_cast<int>(special.size())
                              ? special[static_cast<std::size_t>(round)]
                              : 0.01f + 4.0f * static_cast<float>(rng() % 10000) / 10000.0f;
      TestFrame expected = randomFrame(rng);
      TestFrame actual = expected;
      reference::rotoZoom(src.data(), expected.data(), angle, scale);
      v.rotoZoom(src.data(), actual.data(), angle, scale);
      ASSERT_EQ(actual.pixels(), expected.pixels()) << "angle " << angle << " scale " << scale;
    }
  }
}

TEST(Differential, StretchBlitMatchesTheReferenceForAnyRectangle) {
  for (const KernelSet* set : variants()) {
    const KernelSet& v = *set;
    SCOPED_TRACE(v.name);
    std::mt19937 rng(5);
    const TestFrame src = randomFrame(rng);
    for (int round = 0; round < 150; ++round) {
      std::int32_t x = static_cast<std::int32_t>(rng() % 700) - 350;
      std::int32_t y = static_cast<std::int32_t>(rng() % 500) - 250;
      std::int32_t w = static_cast<std::int32_t>(rng() % 701) - 20;  // odd and non-positive sizes too
      std::int32_t h = static_cast<std::int32_t>(rng() % 521) - 20;
      if (round % 15 == 0) {  // extremes: no overflow, nothing outside the frame
        x = static_cast<std::int32_t>(rng());
        w = static_cast<std::int32_t>(rng());
        h = INT32_MAX - static_cast<std::int32_t>(rng() % 4);
        y = -h / 2;
      }
      TestFrame expected = randomFrame(rng);
      TestFrame actual = expected;
      reference::stretchBlit(x, y, w, h, src.data(), expected.data());
      v.stretchBlit(x, y, w, h, src.data(), actual.data());
      ASSERT_EQ(actual.pixels(), expected.pixels()) << x << " " << y << " " << w << " " << h;
    }
  }
}

TEST(Differential, BumpLightMatchesTheReferenceForAnyOffsetAndMode) {
  for (const KernelSet* set : variants()) {
    const KernelSet& v = *set;
    SCOPED_TRACE(v.name);
    std::mt19937 rng(77);
    const std::vector<std::int32_t> modes = {0, 1, 3, 7, -1, -2, -3, -7, -128, 127, 0x107, 0x1FE, 0x80, 255};
    for (int round = 0; round < 40; ++round) {
      const TestFrame base = randomFrame(rng), relief = randomFrame(rng);
      const std::int32_t mode = round < static_cast<int>(modes.size())
                                    ? modes[static_cast<std::size_t>(round)]
                                    : static_cast<std::int32_t>(rng());
      std::int32_t ox = randomInt(rng, -420, 100);
      std::int32_t oy = randomInt(rng, -360, 100);
      if (round % 13 == 5) ox = INT32_MIN, oy = INT32_MAX;
      if (round % 13 == 6) ox = INT32_MAX - 100, oy = INT32_MIN + 100;
      TestFrame expected = randomFrame(rng);
      TestFrame actual = expected;
      reference::bumpLight(ox, oy, base.data(), expected.data(), relief.data(), mode);
      v.bumpLight(ox, oy, base.data(), actual.data(), relief.data(), mode);
      ASSERT_EQ(actual.pixels(), expected.pixels()) << ox << " " << oy << " mode " << mode;
      // The destination may be the base picture itself.
      TestFrame inPlace = base;
      v.bumpLight(ox, oy, inPlace.data(), inPlace.data(), relief.data(), mode);
      ASSERT_EQ(inPlace.pixels(), expected.pixels());
    }
  }
}

TEST(Differential, TunnelPixelsMatchTheReference) {
  std::mt19937 rng(2000);
  std::vector<std::uint8_t> distance(kFramePixels), angle(kFramePixels);
  for (int n = 0; n < kFramePixels; ++n) {
    distance[n] = static_cast<std::uint8_t>(rng());
    angle[n] = static_cast<std::uint8_t>(rng());
  }
  std::vector<Pixel> texture(kTunnelTextureSize * kTunnelTextureSize);
  for (Pixel& p : texture) p = test::biasedPixel(rng);
  for (const KernelSet* set : variants()) {
    SCOPED_TRACE(set->name);
    for (int round = 0; round < 6; ++round) {
      std::int32_t wobble[kWobbleEntries];
      // Wobbles and shifts of either sign and beyond a byte.
      for (auto& w : wobble) w = static_cast<std::int32_t>(rng() % 2000) - 1000;
      const int shift = round == 5 ? -7 : static_cast<int>(rng() % 5000);
      TestFrame expected = randomFrame(rng), actual = randomFrame(rng, round % 4);
      reference::tunnelPixels(distance.data(), angle.data(), texture.data(), wobble, shift, expected.data());
      set->tunnelPixels(distance.data(), angle.data(), texture.data(), wobble, shift, actual.data());
      ASSERT_EQ(actual.pixels(), expected.pixels()) << "round " << round;
    }
  }
}

TEST(Differential, BumpLightScalesEveryChannelValueForEveryMode) {
  // Base channels take every value 0..255; the division by |m| is done as a
  // multiply in the fast paths, so every mode byte is checked.
  TestFrame base;
  for (int i = 0; i < kFramePixels; ++i) {
    const Pixel v = static_cast<Pixel>(i & 0xFF);
    base.data()[i] = v << 16 | (255 - v) << 8 | ((v * 7) & 0xFF);
  }
  const TestFrame relief(0x00406080u);
  for (const KernelSet* set : variants()) {
    const KernelSet& v = *set;
    SCOPED_TRACE(v.name);
    for (std::int32_t mode = -128; mode < 128; ++mode) {
      TestFrame expected, actual;
      reference::bumpLight(-200, -90, base.data(), expected.data(), relief.data(), mode);
      v.bumpLight(-200, -90, base.data(), actual.data(), relief.data(), mode);
      ASSERT_EQ(actual.pixels(), expected.pixels()) << "mode " << mode;
    }
  }
}

}  // namespace
}  // namespace tolvarin
