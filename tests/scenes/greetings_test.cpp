// Greetings: the tunnel tables and the per-frame tunnel, the wobble's
// amplitude, the greetings and their trails, and the scene's end rules.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "app/startup_objects.h"
#include "assets/bitmap_font.h"
#include "scenes/greetings.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using testing::keysAt;
using testing::makePicture;
using testing::SceneHarness;
using testing::ScenePictures;
using testing::TraceLog;

// The demo's 320x240 tables, built once.
struct Tables {
  std::unique_ptr<std::uint8_t[]> distance{new std::uint8_t[kFramePixels]};
  std::unique_ptr<std::uint8_t[]> angle{new std::uint8_t[kFramePixels]};
  TunnelTables record{240, 320, distance.get(), angle.get()};
  Tables() { buildTunnelTables(record); }
  int distanceAt(int x, int y) const { return distance[y * 320 + x]; }
  int angleAt(int x, int y) const { return angle[y * 320 + x]; }
};

TEST(BuildTunnelTables, DistanceAndAngleOfTheKnownPixels) {
  const Tables t;
  EXPECT_EQ(t.distanceAt(160, 120), 0);
  EXPECT_EQ(t.angleAt(160, 120), 0);
  EXPECT_EQ(t.distanceAt(0, 0), 200);  // (-160, -120)
  EXPECT_EQ(t.angleAt(0, 120), 128);   // (-160, 0): pi
  EXPECT_EQ(t.angleAt(160, 239), 64);  // (0, 119): pi / 2
  // Just above the left axis the angle is -pi + a little: -128 wraps to 128 as well.
  EXPECT_EQ(t.angleAt(0, 119), 128);
  EXPECT_EQ(t.angleAt(160, 0), 192);  // (0, -120): -64
}

TEST(Greetings, WobbleAmplitudeAtTheQuarterTurns) {
  buildTrigTables();
  EXPECT_EQ(greetingsAmplitude(90), 299);
  EXPECT_EQ(greetingsAmplitude(180), 150);
  EXPECT_EQ(greetingsAmplitude(270), 1);
  EXPECT_EQ(greetingsAmplitude(360), 150);
  EXPECT_EQ(greetingsAmplitude(450), 299);
}

// The tunnel frame against the per-pixel rule written out plainly, for
// seeded wobbles (including negative entries) and shifts.
TEST(Greetings, TheTunnelFrameFollowsThePerPixelRule) {
  const Tables t;
  std::mt19937 rng(2000);
  std::vector<Pixel> texture(256 * 256);
  for (auto& p : texture) p = rng() & 0x00FFFFFF;
  std::vector<Pixel> dst(kFramePixels);
  std::int32_t wobble[kWobbleEntries];
  for (int round = 0; round < 8; ++round) {
    for (auto& w : wobble) w = static_cast<std::int32_t>(rng() % 1000) - 300;
    const int shift = static_cast<int>(rng() % 512);
    drawTunnel(t.record, texture.data(), wobble, shift, dst.data());
    for (int n = 0; n < kFramePixels; ++n) {
      const int d = t.distance[n];
      const int u = (d + shift) % 256;
      const int v = (wobble[d] + t.angle[n] + shift) & 0xFF;
      ASSERT_EQ(dst[n], texture[v * 256 + u]) << "round " << round << " pixel " << n;
    }
  }
  // Tables of the wrong size give a black frame instead of reading past them.
  drawTunnel(TunnelTables{100, 100, t.distance.get(), t.angle.get()}, texture.data(), wobble, 0, dst.data());
  EXPECT_EQ(std::count(dst.begin(), dst.end(), 0u), kFramePixels);
}

// The greetings: syncs are ignored up to frame 800; from there the scene ends
// in the frame that sees the second sync, without showing it.
TEST(Greetings, SyncsCountOnlyFromFrame800) {
  const Tables t;
  SceneHarness s(keysAt({}, 60.0));
  s.afterFrame([](std::int64_t) { syncFlag = 1; });  // a sync after every frame
  TraceLog trace(s.h.runtime);
  Greetings(t.record);
  EXPECT_EQ(s.frames(), 800);
  EXPECT_EQ(trace.begun(), (std::vector<std::string>{"Greetings", "Greetings.tunnel"}));
  EXPECT_EQ(trace.framesIn("Greetings.tunnel"), 1);
}

TEST(Greetings, AtOrder44ItEndsRightAfterFrame800) {
  const Tables t;
  SceneHarness s(keysAt({}, 60.0));
  s.order = 44;
  Greetings(t.record);
  EXPECT_EQ(s.frames(), 800);
}

// Without syncs or order 44 the tunnel runs on past frame 850 (the greeting
// count stops at 16) until a key ends it and is left for the demo.
TEST(Greetings, TheTunnelRunsOnUntilAKey) {
  const Tables t;
  SceneHarness s(keysAt({20.0}, 60.0));
  Greetings(t.record);
  EXPECT_NEAR(static_cast<double>(s.frames()), 20.0 * 60, 2);
  EXPECT_TRUE(display().keyPressed());
}

// On a white tunnel every non-white pixel is greeting text (the font's
// channels are at most 63). A greeting shows from its first frame and, once
// the next one takes over, fades out one step per frame.
TEST(Greetings, EachGreetingShowsFiftyFramesAndLeavesAFadingTrail) {
  StartupObjects objects{DataFiles(TOLVARIN_TEST_DATA_DIR)};
  ScenePictures pictures;
  pictures.set(imgTunel, makePicture(256, 256, 0x00FFFFFF));
  const Tables t;
  SceneHarness s(keysAt({}, 60.0));
  s.order = 44;
  // Text pixels inside the boxes where greetings 0 (100, 40) and 1 (95, 120) stand.
  auto textIn = [&](int x0, int y0) {
    const Pixel* f = s.screen();
    int n = 0;
    for (int y = y0; y < y0 + 15; ++y) {
      for (int x = x0; x < 320; ++x) n += f[y * 320 + x] != 0x00FFFFFFu;
    }
    return n;
  };
  std::vector<int> first, second;
  s.afterFrame([&](std::int64_t) {
    first.push_back(textIn(100, 40));
    second.push_back(textIn(95, 120));
  });
  Greetings(t.record);
  ASSERT_EQ(first.size(), 800u);
  EXPECT_GT(first[0], 100);     // frame 1
  EXPECT_EQ(second[48], 0);     // frame 49
  EXPECT_GT(second[49], 100);   // frame 50
  EXPECT_GT(first[49], 100);    // the trail of greeting 0, one step darker
  EXPECT_EQ(first[49 + 63], 0);  // gone 63 frames after its last full-strength frame
  EXPECT_FALSE(font1->inverted);
}

}  // namespace
}  // namespace tolvarin
