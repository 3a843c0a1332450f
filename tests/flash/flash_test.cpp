// The flash meter on frames whose flashes are known, and calm mode's filter
// on a strobe: at most three flashes in any second, every frame that does
// not need changing shown as drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "flash/calm_filter.h"
#include "flash/flash_meter.h"

namespace tolvarin {
namespace {

using Painter = std::function<Pixel(int x, int y)>;

FrameBuffer paint(const Painter& colour) {
  FrameBuffer f = allocateFrame();
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) f[static_cast<std::size_t>(y * kFrameWidth + x)] = colour(x, y);
  }
  return f;
}

Pixel grey(int v) { return static_cast<Pixel>(v * 0x010101); }

// The left `share` of the frame in `on`, the rest in `off`.
FrameBuffer split(double share, Pixel on, Pixel off) {
  return paint([=](int x, int) { return x < share * kFrameWidth ? on : off; });
}

// Shows `frames` (cycled) at `fps` for `seconds`; returns the flash times.
std::vector<double> meterOver(const std::vector<const Pixel*>& frames, int framesEach, int fps, double seconds) {
  FlashMeter meter;
  const int count = static_cast<int>(seconds * fps);
  for (int i = 0; i < count; ++i) {
    meter.observe(frames[static_cast<std::size_t>(i / framesEach) % frames.size()], (i + 1) / double(fps));
  }
  return meter.flashTimes();
}

TEST(FlashMeter, LuminanceIsLinearLightWeightedByColour) {
  EXPECT_EQ(relativeLuminance(0x000000), 0u);
  EXPECT_EQ(relativeLuminance(0xFFFFFF), kLuminanceOne);
  // Green weighs most, blue least; mid grey is about a fifth of white in linear light.
  EXPECT_GT(relativeLuminance(0x00FF00), relativeLuminance(0xFF0000));
  EXPECT_GT(relativeLuminance(0xFF0000), relativeLuminance(0x0000FF));
  EXPECT_NEAR(relativeLuminance(grey(128)) / double(kLuminanceOne), 0.2159, 0.0002);
}

TEST(FlashMeter, CountsPairsOfOppositeTransitionsOverAQuarterOfTheFrame) {
  const FrameBuffer black = allocateFrame();
  const FrameBuffer white = paint([](int, int) { return grey(255); });
  // Black and white, a sixth of a second each: 3 changes a second each way,
  // 3 flashes a second. 23 changes in 4 s, the first (to white) opening the first pair.
  EXPECT_EQ(meterOver({black.get(), white.get()}, 10, 60, 4.0).size(), 11u);
  // The same at 30 fps and 144 fps: the same flashes.
  EXPECT_EQ(meterOver({black.get(), white.get()}, 24, 144, 4.0).size(), 11u);
  EXPECT_EQ(meterOver({black.get(), white.get()}, 5, 30, 4.0).size(), 11u);

  // A third of the frame counts; a fifth does not.
  const FrameBuffer third = split(1.0 / 3, grey(255), grey(0));
  const FrameBuffer fifth = split(0.2, grey(255), grey(0));
  EXPECT_EQ(meterOver({black.get(), third.get()}, 10, 60, 2.0).size(), 5u);
  EXPECT_TRUE(meterOver({black.get(), fifth.get()}, 10, 60, 2.0).empty());
  // Small steps (under 0.1) and changes between bright states (the darker one at 0.8 or more) are no flashes.
  const FrameBuffer dim1 = paint([](int, int) { return grey(20); });
  const FrameBuffer dim2 = paint([](int, int) { return grey(60); });
  EXPECT_TRUE(meterOver({dim1.get(), dim2.get()}, 5, 60, 2.0).empty());
  const FrameBuffer bright1 = paint([](int, int) { return grey(235); });
  EXPECT_TRUE(meterOver({bright1.get(), white.get()}, 5, 60, 2.0).empty());
}

TEST(FlashMeter, MotionAndSlowFadesAreNoFlashes) {
  // A pattern moving across the screen: as much darkens as brightens.
  std::vector<FrameBuffer> moving;
  for (int shift = 0; shift < 16; shift += 4) {
    moving.push_back(paint([shift](int x, int) { return ((x + shift) / 8) % 2 ? grey(255) : grey(0); }));
  }
  std::vector<const Pixel*> frames;
  for (const auto& f : moving) frames.push_back(f.get());
  EXPECT_TRUE(meterOver(frames, 1, 60, 3.0).empty());

  // A fade from black to white over a second and back, at any frame rate:
  // one flash, and the steps of one frame are too small to count alone.
  for (int fps : {30, 60, 144}) {
    FlashMeter meter;
    const int steps = fps;
    for (int i = 0; i <= 2 * steps; ++i) {
      const int level = i <= steps ? 255 * i / steps : 255 * (2 * steps - i) / steps;
      meter.observe(paint([level](int, int) { return grey(level); }).get(), i / double(fps));
    }
    EXPECT_EQ(meter.flashTimes().size(), 1u) << fps << " fps";
  }
}

TEST(FlashMeter, TheFastCountEqualsTheRuleOnRandomFrames) {
  // Frames whose pixels wander, jump, hold and sit near the rule's edges
  // (steps of exactly 0.1, states at 0.8): the count from precomputed
  // thresholds must be the rule's own, frame after frame.
  std::mt19937 rng(2000);
  FlashMeter meter;
  std::vector<std::uint32_t> luminance(kFramePixels);
  std::vector<std::uint32_t> before(kFramePixels, 0);
  const std::uint32_t edges[] = {0, kLuminanceOne / 10, kLuminanceOne / 10 * 8 - 1, kLuminanceOne / 10 * 8,
                                 kLuminanceOne / 10 * 9, kLuminanceOne};
  for (int frame = 0; frame < 60; ++frame) {
    for (int i = 0; i < kFramePixels; ++i) {
      std::uint32_t& v = luminance[static_cast<std::size_t>(i)];
      const std::uint32_t was = before[static_cast<std::size_t>(i)];
      switch (rng() % 6) {
        case 0: v = rng() % (kLuminanceOne + 1); break;
        case 1: v = was; break;
        case 2: v = edges[rng() % 6]; break;
        case 3: v = was + kLuminanceOne / 10 <= kLuminanceOne ? was + kLuminanceOne / 10 : was; break;
        case 4: v = was >= kLuminanceOne / 10 ? was - kLuminanceOne / 10 : 0; break;
        default: v = std::min<std::uint32_t>(kLuminanceOne, was + rng() % 3000000); break;
      }
    }
    const FrameChange fast = meter.measureLuminance(luminance.data());
    const FrameChange rule = meter.measureByRuns(luminance.data());
    ASSERT_EQ(fast.risen, rule.risen) << "frame " << frame;
    ASSERT_EQ(fast.fallen, rule.fallen) << "frame " << frame;
    meter.observeLuminance(luminance.data(), fast, frame / 60.0);
    before = luminance;
  }
}

TEST(FlashMeter, SummaryFindsTheBusiestSecondAnywhere) {
  // Two flashes late in second 1, two early in second 2: no whole second
  // holds more than 2, but the window from 1.6 s holds 4.
  const FlashSummary s = summarizeFlashes({0.2, 1.6, 1.9, 2.1, 2.5, 4.0}, 5.5);
  EXPECT_EQ(s.perSecond, (std::vector<int>{1, 2, 2, 0, 1, 0}));
  EXPECT_EQ(s.worstWindow, 4);
  EXPECT_DOUBLE_EQ(s.worstWindowStart, 1.6);
  EXPECT_EQ(s.total, 6);
  // A flash exactly a second after another starts a new window.
  EXPECT_EQ(summarizeFlashes({1.0, 1.5, 2.0}, 3.0).worstWindow, 2);
  EXPECT_EQ(summarizeFlashes({}, 2.0).perSecond, (std::vector<int>{0, 0, 0}));
}

TEST(CalmFilter, AStrobeKeepsToThreeFlashesASecondAndCalmFramesPassUntouched) {
  const FrameBuffer black = allocateFrame();
  const FrameBuffer white = paint([](int, int) { return grey(255); });
  const FrameBuffer scene = paint([](int x, int y) { return static_cast<Pixel>((x * 0x10203 + y * 0x30201) & 0x3F3F3F); });
  for (int fps : {30, 60, 144}) {
    CalmFilter calm;
    FlashMeter shown;  // the filter's output, measured on its own
    int untouched = 0;
    int frames = 0;
    // One second of a quiet scene, three of a 10 Hz strobe, two quiet again:
    // the scene comes back softened, then as drawn once the limit allows.
    for (int i = 0; i < 6 * fps; ++i) {
      const double t = (i + 1) / double(fps);
      const bool strobe = t > 1.0 && t <= 4.0;
      const Pixel* drawn = !strobe ? scene.get() : (static_cast<int>(t * 20) % 2 ? white.get() : black.get());
      const Pixel* out = calm.apply(drawn, t);
      shown.observe(out, t);
      ++frames;
      if (std::equal(drawn, drawn + kFramePixels, out)) ++untouched;
      if (t <= 1.0 || t > 5.0) {
        EXPECT_TRUE(std::equal(drawn, drawn + kFramePixels, out)) << fps << " fps: a quiet frame changed at " << t;
      }
    }
    const FlashSummary s = summarizeFlashes(shown.flashTimes(), 6.0);
    EXPECT_LE(s.worstWindow, kMaxFlashesPerSecond) << fps << " fps";
    EXPECT_GE(s.total, 6) << fps << " fps: the strobe still shows";
    EXPECT_EQ(calm.meter().flashTimes(), shown.flashTimes()) << "the filter counts what it shows";
    EXPECT_EQ(untouched + calm.softened(), frames);
    EXPECT_GT(calm.softened(), 0);
  }
}

TEST(CalmFilter, BlendEighthsMixesEachChannel) {
  const FrameBuffer a = paint([](int, int) { return Pixel{0x00FF0080}; });
  const FrameBuffer b = paint([](int, int) { return Pixel{0x0000FF08}; });
  FrameBuffer out = allocateFrame();
  blendEighths(a.get(), b.get(), 0, out.get());
  EXPECT_EQ(out[0], 0x00FF0080u);
  blendEighths(a.get(), b.get(), 8, out.get());
  EXPECT_EQ(out[0], 0x0000FF08u);
  blendEighths(a.get(), b.get(), 2, out.get());
  EXPECT_EQ(out[kFramePixels - 1], (Pixel{(255 * 6 / 8) << 16 | (255 * 2 / 8) << 8 | (128 * 6 + 8 * 2) / 8}));
}

}  // namespace
}  // namespace tolvarin
