// Greetings: the tunnel tables and frame, the wobble's amplitude, the
// greetings and their trails, and the scene's end rules.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "app/startup_objects.h"
#include "assets/bitmap_font.h"
#include "scenes/greetings.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using namespace testing;

struct Tables {
  std::unique_ptr<std::uint8_t[]> distance{new std::uint8_t[kFramePixels]};
  std::unique_ptr<std::uint8_t[]> angle{new std::uint8_t[kFramePixels]};
  TunnelTables record{240, 320, distance.get(), angle.get()};
  Tables() { buildTunnelTables(record); }
};

TEST(Greetings, TunnelTablesAndWobbleAmplitudes) {
  const Tables t;
  auto at = [](int x, int y) { return y * 320 + x; };
  EXPECT_EQ(t.distance[at(160, 120)], 0);
  EXPECT_EQ(t.angle[at(160, 120)], 0);
  EXPECT_EQ(t.distance[at(0, 0)], 200);
  EXPECT_EQ(t.angle[at(0, 120)], 128);   // pi
  EXPECT_EQ(t.angle[at(0, 119)], 128);   // -pi + a little: -128 wraps to 128 too
  EXPECT_EQ(t.angle[at(160, 239)], 64);  // pi / 2
  buildTrigTables();
  // The table's sines of 90 and 270 lie just inside +-1: 299 and 1, not 300 and 0.
  EXPECT_EQ(greetingsAmplitude(90), 299);
  EXPECT_EQ(greetingsAmplitude(180), 150);
  EXPECT_EQ(greetingsAmplitude(270), 1);
  EXPECT_EQ(greetingsAmplitude(360), 150);
}

TEST(Greetings, TheTunnelFrameFollowsThePerPixelRule) {
  const Tables t;
  std::mt19937 rng(2000);
  std::vector<Pixel> texture(256 * 256), dst(kFramePixels);
  for (auto& p : texture) p = rng() & 0x00FFFFFF;
  std::int32_t wobble[kWobbleEntries];
  for (int round = 0; round < 4; ++round) {
    for (auto& w : wobble) w = static_cast<std::int32_t>(rng() % 1000) - 300;
    const int shift = static_cast<int>(rng() % 512);
    drawTunnel(t.record, texture.data(), wobble, shift, dst.data());
    for (int n = 0; n < kFramePixels; ++n) {
      const int d = t.distance[n];
      ASSERT_EQ(dst[n], texture[((wobble[d] + t.angle[n] + shift) & 0xFF) * 256 + (d + shift) % 256]) << n;
    }
  }
  // Tables of another size give black instead of being read past their end.
  drawTunnel(TunnelTables{100, 100, t.distance.get(), t.angle.get()}, texture.data(), wobble, 0, dst.data());
  EXPECT_EQ(std::count(dst.begin(), dst.end(), 0u), kFramePixels);
}

// Syncs are ignored up to frame 800; from there the scene ends in the frame
// that sees the second sync (not shown), or right after a frame at order 44
// (also long after frame 800).
// Without either the tunnel runs on (the greeting count stops at 16) until a key.
TEST(Greetings, EndsOnlyAfterFrame800) {
  const Tables t;
  {
    SceneHarness s;
    s.afterFrame([](std::int64_t) { syncFlag = 1; });
    TraceLog trace(s.h.runtime);
    Greetings(t.record);
    EXPECT_EQ(s.frames(), 800);
    EXPECT_EQ(trace.framesIn("Greetings.tunnel"), 1);
  }
  for (std::int64_t at44 : {0, 899}) {
    SceneHarness s;
    s.orderAfter(at44, 44);
    Greetings(t.record);
    EXPECT_EQ(s.frames(), std::max<std::int64_t>(800, at44 + 1));
  }
  {
    SceneHarness s(keysAt({20.0}));
    Greetings(t.record);
    EXPECT_NEAR(static_cast<double>(s.frames()), 20.0 * 60, 2);
    EXPECT_TRUE(display().keyPressed());
  }
}

// On a white tunnel every other pixel is text (the font's channels are at
// most 63). A greeting shows from its first frame and, once the next takes
// over, fades one step per frame: gone 63 frames later.
TEST(Greetings, EachGreetingShowsFiftyFramesAndLeavesAFadingTrail) {
  StartupObjects objects{DataFiles(TOLVARIN_TEST_DATA_DIR)};
  ScenePictures pictures;
  pictures.set(imgTunel, makePicture(256, 256, 0x00FFFFFF));
  const Tables t;
  SceneHarness s;
  s.order = 44;
  std::vector<int> first, second;  // text pixels where greetings 0 (100, 40) and 1 (95, 120) stand
  s.afterFrame([&](std::int64_t) {
    auto text = [&](int x0, int y0) {
      int n = 0;
      for (int y = y0; y < y0 + 15; ++y) n += 320 - x0 - std::count(s.screen() + y * 320 + x0, s.screen() + y * 320 + 320, 0x00FFFFFFu);
      return n;
    };
    first.push_back(text(100, 40));
    second.push_back(text(95, 120));
  });
  Greetings(t.record);
  ASSERT_EQ(first.size(), 800u);
  EXPECT_GT(first[0], 100);   // frame 1
  EXPECT_EQ(second[48], 0);   // frame 49
  EXPECT_GT(second[49], 100); // frame 50
  EXPECT_GT(first[49], 100);  // greeting 0's trail
  EXPECT_EQ(first[48 + 63], 0);
  EXPECT_FALSE(font1->inverted);
}

}  // namespace
}  // namespace tolvarin
