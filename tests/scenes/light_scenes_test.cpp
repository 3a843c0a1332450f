// The three light scenes after the logo: their end rules under a scripted
// music signal, the state they hand on, and the strobe's holds and keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/light_scenes.h"
#include "app/startup_objects.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using testing::keysAt;
using testing::makePicture;
using testing::SceneHarness;
using testing::ScenePictures;
using testing::TraceLog;

// How many pixels of the screen hold exactly `colour`.
long countColour(const Pixel* frame, Pixel colour) { return std::count(frame, frame + kFramePixels, colour); }

// The over-bright final frames multiply the base by 7: 0x20 becomes 0xE0
// wherever the light spot adds nothing.
constexpr Pixel kBase = 0x00202020;
constexpr Pixel kBaseTimesSeven = 0x00E0E0E0;

TEST(LightSweep, EndsWithAnOverBrightFrameAtTheFirstOddOrderAfterOneSync) {
  SceneHarness s(keysAt({}, 30.0));
  ScenePictures pictures;
  pictures.set(imgHofobia, makePicture(320, 240, kBase));
  s.syncAfterFrame(4);
  s.orderAfterFrame(9, 1);
  LightSceneState light;
  light.b = 123;  // reset by the scene
  LightSweep(light);
  EXPECT_EQ(s.frames(), 10 + 1);
  EXPECT_EQ(light.syncCount, 1);
  EXPECT_EQ(light.b, 10 * 28 % 360);
  EXPECT_EQ(light.idx, (9 * 28 + 250) % 360);
  EXPECT_GT(countColour(s.screen(), kBaseTimesSeven), kFramePixels / 2);
}

TEST(LightSweep, ASecondSyncBeforeAnOddOrderLeavesOnlyAKeyToEndIt) {
  SceneHarness s(keysAt({}, 2.0));
  ScenePictures pictures;
  pictures.set(imgHofobia, makePicture(320, 240, kBase));
  s.syncAfterFrame(2);
  s.syncAfterFrame(4);
  s.orderAfterFrame(10, 1);
  LightSceneState light;
  LightSweep(light);
  EXPECT_EQ(light.syncCount, 2);
  EXPECT_GT(s.frames(), 100);  // ran until --until ended the input, about 120 frames
  EXPECT_EQ(countColour(s.screen(), kBaseTimesSeven), 0);
}

TEST(CrossfadeSweep, OneSyncStaysArmedUntilTheOrderTurnsOdd) {
  SceneHarness s(keysAt({}, 30.0));
  s.syncAfterFrame(2);
  s.orderAfterFrame(19, 3);
  LightSceneState light;
  light.b = 100;  // carried on from the light sweep
  light.idx = 77;
  CrossfadeSweep(light);
  EXPECT_EQ(s.frames(), 20 + 1);
  EXPECT_EQ(light.b, (100 + 20 * 28) % 360);
  EXPECT_EQ(light.idx, 0);
  EXPECT_EQ(light.fadeWeight, 80);
  EXPECT_TRUE(syncIsSet());  // never consumed here
}

TEST(LightScenes, AKeyPendingOnEntryDrawsNothing) {
  SceneHarness s(keysAt({0.0}));
  s.pollOnce();
  LightSceneState light;
  light.idx = 42;
  LightSweep(light);
  CrossfadeSweep(light);
  EXPECT_EQ(light.idx, 42);  // the cross-fade sweep ends before resetting it
  RotozoomStrobe(light);
  EXPECT_EQ(s.frames(), 0);
  EXPECT_TRUE(display().keyPressed());
}

// The rotating zoom needs the demo's stopwatch, which comes with the start-up objects.
class RotozoomStrobeTest : public ::testing::Test {
 protected:
  StartupObjects objects{DataFiles(TOLVARIN_TEST_DATA_DIR)};
};

TEST_F(RotozoomStrobeTest, EnteredAtOrder19ItEndsOnItsFirstFrame) {
  SceneHarness s(keysAt({}, 30.0));
  s.order = 19;
  TraceLog trace(s.h.runtime);
  LightSceneState light;
  RotozoomStrobe(light);
  EXPECT_EQ(s.frames(), 1);
  EXPECT_EQ(trace.begun(), std::vector<std::string>{"RotozoomStrobe"});  // no strobe at c = 1
}

// From order 13 every fifth frame runs the strobe: the three pictures, one
// frame each, held 0.1 s each; then that frame's own picture follows.
TEST_F(RotozoomStrobeTest, FromOrder13EveryFifthFrameStrobesThreePictures) {
  SceneHarness s(keysAt({}, 30.0));
  ScenePictures pictures;
  pictures.set(imgWave, makePicture(320, 240, 0x00000001));
  pictures.set(imgAloneFlash, makePicture(320, 240, 0x00000002));
  pictures.set(imgMetal, makePicture(320, 240, 0x00000003));
  s.order = 13;
  std::vector<Pixel> firstPixels;
  std::vector<double> shownAt;
  s.afterFrame([&](std::int64_t) {
    firstPixels.push_back(s.screen()[0]);
    shownAt.push_back(s.h.runtime.now());
  });
  s.orderAfterFrame(14, 19);  // the second strobe's frame ends the scene
  TraceLog trace(s.h.runtime);
  LightSceneState light;
  RotozoomStrobe(light);

  // c = 1..4: one frame each; c = 5: strobe + frame; c = 6..9; c = 10: strobe + final frame.
  ASSERT_EQ(firstPixels.size(), 4u + 4u + 4u + 4u);
  const std::vector<Pixel> strobe{1, 2, 3};
  EXPECT_EQ(std::vector<Pixel>(firstPixels.begin() + 4, firstPixels.begin() + 7), strobe);
  EXPECT_EQ(std::vector<Pixel>(firstPixels.begin() + 12, firstPixels.begin() + 15), strobe);
  // Each strobe picture stays up for its hold of 0.1 s (counted from just
  // before it is shown); ordinary frames follow each other at 1/60 s.
  EXPECT_GT(shownAt[5] - shownAt[4], 0.095);
  EXPECT_GT(shownAt[6] - shownAt[5], 0.095);
  EXPECT_LT(shownAt[4] - shownAt[3], 0.02);
  const auto begun = trace.begun();
  EXPECT_EQ(std::count(begun.begin(), begun.end(), "RotozoomStrobe.strobe"), 2);
}

TEST_F(RotozoomStrobeTest, AKeyDuringAHoldEndsTheSceneAfterThatHold) {
  // Frames 1..4 take until about 0.07 s; the second strobe picture is up
  // from about 0.18 s to 0.27 s.
  SceneHarness s(keysAt({0.22}, 30.0));
  ScenePictures pictures;
  pictures.set(imgWave, makePicture(320, 240, 0x00000001));
  pictures.set(imgAloneFlash, makePicture(320, 240, 0x00000002));
  s.order = 13;
  LightSceneState light;
  RotozoomStrobe(light);
  EXPECT_EQ(s.frames(), 4 + 2);
  EXPECT_EQ(s.screen()[0], 0x00000002u);
  EXPECT_GE(s.h.runtime.now(), 0.27);
  EXPECT_TRUE(display().keyPressed());
}

}  // namespace
}  // namespace tolvarin
