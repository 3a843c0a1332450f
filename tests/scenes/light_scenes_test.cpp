// The three light scenes: end rules under a scripted music signal, the
// state they hand on, and the strobe's pictures, holds and keys.
#include <gtest/gtest.h>

#include "scenes/light_scenes.h"
#include "app/startup_objects.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using namespace testing;

// The over-bright final frames multiply the base by 7: 0x20 becomes 0xE0
// wherever the light adds nothing.
long overBrightPixels(const Pixel* f) { return std::count(f, f + kFramePixels, 0x00E0E0E0u); }

TEST(LightSweep, OneSyncThenAnOddOrderEndsItButASecondSyncStallsIt) {
  ScenePictures pictures;
  pictures.set(imgHofobia, makePicture(320, 240, 0x00202020));
  {
    SceneHarness s;
    s.syncAfter(4);
    s.orderAfter(9, 1);
    LightSceneState light;
    light.b = 123;  // reset by the scene
    LightSweep(light);
    EXPECT_EQ(s.frames(), 10 + 1);
    EXPECT_EQ(light.b, 10 * 28 % 360);
    EXPECT_GT(overBrightPixels(s.screen()), kFramePixels / 2);
  }
  {
    SceneHarness s(keysAt({}, 2.0));  // only the end of input stops it
    s.syncAfter(2);
    s.syncAfter(4);
    s.orderAfter(10, 1);
    LightSceneState light;
    LightSweep(light);
    EXPECT_EQ(light.syncCount, 2);
    EXPECT_GT(s.frames(), 110);
    EXPECT_EQ(overBrightPixels(s.screen()), 0);
  }
}

TEST(CrossfadeSweep, OneSyncStaysArmedUntilTheOrderTurnsOdd) {
  SceneHarness s;
  s.syncAfter(2);
  s.orderAfter(19, 3);
  LightSceneState light;
  light.b = 100;  // carried on from the light sweep
  CrossfadeSweep(light);
  EXPECT_EQ(s.frames(), 20 + 1);
  EXPECT_EQ(light.b, (100 + 20 * 28) % 360);
  EXPECT_EQ(light.fadeWeight, 80);
  EXPECT_TRUE(musicClock().syncWaiting());  // never consumed here
}

// Scenes see the music only through the clock: one installed in place of the
// program's (as a port would) drives the sweep with no audio layer at all.
TEST(LightSweep, RunsOnAnyMusicClock) {
  struct ScriptedClock final : MusicClock {
    std::uint32_t order = 0;
    int syncs = 0;
    std::uint32_t position() override { return order; }
    bool takeSync() override { return syncs > 0 ? (--syncs, true) : false; }
    bool syncWaiting() override { return syncs > 0; }
    void clearSync() override { syncs = 0; }
  } clock;
  SceneHarness s;
  s.h.runtime.setMusicHandle(0);  // the audio layer reports nothing
  s.afterFrame([&clock](std::int64_t i) {
    if (i == 2) clock.syncs = 1;
    if (i == 5) clock.order = 7;
  });
  installMusicClock(&clock);
  LightSceneState light;
  LightSweep(light);
  installMusicClock(nullptr);
  EXPECT_EQ(s.frames(), 6 + 1);
  EXPECT_EQ(light.syncCount, 1);
}

TEST(LightScenes, AKeyPendingOnEntryDrawsNothing) {
  SceneHarness s(keysAt({0.0}));
  s.pollOnce();
  LightSceneState light;
  LightSweep(light);
  CrossfadeSweep(light);
  RotozoomStrobe(light);
  EXPECT_EQ(s.frames(), 0);
  EXPECT_TRUE(display().keyPressed());
}

// The strobe holds on the demo's stopwatch, which comes with the start-up objects.
class RotozoomStrobeTest : public ::testing::Test {
 protected:
  RotozoomStrobeTest() {
    pictures.set(imgWave, makePicture(320, 240, 1));
    pictures.set(imgAloneFlash, makePicture(320, 240, 2));
    pictures.set(imgMetal, makePicture(320, 240, 3));
  }
  StartupObjects objects{DataFiles(TOLVARIN_TEST_DATA_DIR)};
  ScenePictures pictures;
};

// From order 13 every fifth frame first strobes the three pictures, each
// held 0.1 s; at order 19 the next frame is the final one.
TEST_F(RotozoomStrobeTest, StrobesEveryFifthFrameFromOrder13) {
  SceneHarness s;
  s.order = 13;
  s.orderAfter(14, 19);
  std::vector<Pixel> firstPixel;
  std::vector<double> shownAt;
  s.afterFrame([&](std::int64_t) {
    firstPixel.push_back(s.screen()[0]);
    shownAt.push_back(s.h.runtime.now());
  });
  RotozoomStrobe(*std::make_unique<LightSceneState>());
  // c = 1..4; c = 5: strobe + frame; c = 6..9; c = 10: strobe + final frame.
  ASSERT_EQ(firstPixel.size(), 16u);
  EXPECT_EQ(std::vector<Pixel>(firstPixel.begin() + 4, firstPixel.begin() + 7), (std::vector<Pixel>{1, 2, 3}));
  EXPECT_EQ(std::vector<Pixel>(firstPixel.begin() + 12, firstPixel.begin() + 15), (std::vector<Pixel>{1, 2, 3}));
  EXPECT_GT(shownAt[5] - shownAt[4], 0.095);  // held from just before it was shown
  EXPECT_LT(shownAt[4] - shownAt[3], 0.02);
}

TEST_F(RotozoomStrobeTest, EndsOnItsFirstFrameAtOrder19AndAfterTheHoldOnAKey) {
  {
    SceneHarness s;
    s.order = 19;
    RotozoomStrobe(*std::make_unique<LightSceneState>());
    EXPECT_EQ(s.frames(), 1);
  }
  {
    SceneHarness s(keysAt({0.22}));  // the second picture is up from about 0.18 s to 0.27 s
    s.order = 13;
    RotozoomStrobe(*std::make_unique<LightSceneState>());
    EXPECT_EQ(s.frames(), 4 + 2);
    EXPECT_EQ(s.screen()[0], 2u);
    EXPECT_GE(s.h.runtime.now(), 0.27);
    EXPECT_TRUE(display().keyPressed());
  }
}

}  // namespace
}  // namespace tolvarin
