// LogoZoom's phases and end rules under a scripted music signal.
#include <gtest/gtest.h>

#include "gfx2d/sampling_blits.h"
#include "scenes/logo_zoom.h"
#include "scenes/scene_common.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using namespace testing;

TEST(LogoZoom, AKeyPendingAtTheStartDrawsOnlyTheFinalFrame) {
  SceneHarness s(keysAt({0.0}));
  ScenePictures pictures;
  pictures.set(imgQuarnel, makePicture(320, 240, 0x00102030));
  TraceLog trace(s.h.runtime);
  s.pollOnce();
  LogoZoom();
  EXPECT_EQ(s.frames(), 1);
  EXPECT_EQ(trace.begun(), std::vector<std::string>{"LogoZoom"});
  std::vector<Pixel> expected(kFramePixels);  // the logo tripled, light angles 0 and 0
  bumpLight(lightOffsetX(0), lightOffsetY(0), imgQuarnel->pixels.get(), expected.data(),
            picturePixels(nullptr, 320, 240), 3);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), s.screen()));
  EXPECT_TRUE(display().keyPressed());  // left for the demo sequence
}

// Odd order throughout: syncs during the fade-in count, and one raised in
// the zoom-in is still up when the zoom-out passes z = 1. Phase 4 ends over
// the red logo alone: its fade counter wraps to weight 0 at 256.
TEST(LogoZoom, EachPhaseEndsAsSoonAsItsRuleAllows) {
  SceneHarness s;
  ScenePictures pictures;
  pictures.set(imgQuarnel, makePicture(320, 240, 0x003F0000));
  pictures.set(imgHofobia2, makePicture(320, 240, 0x0000003F));
  s.order = 1;
  s.syncAfter(0);
  s.syncAfter(1);
  s.syncAfter(70);
  // Where the light adds nothing a frame shows its base: 63 x 255 >> 8 = 62.
  std::vector<long> logoPixels, bluePixels;
  s.afterFrame([&](std::int64_t) {
    logoPixels.push_back(std::count(s.screen(), s.screen() + kFramePixels, 0x003E0000u));
    bluePixels.push_back(std::count(s.screen(), s.screen() + kFramePixels, 0x0000003Eu));
  });
  TraceLog trace(s.h.runtime);
  LogoZoom();
  EXPECT_EQ(trace.framesIn("LogoZoom.phase1"), 64);  // the fade-in's 64 steps
  EXPECT_EQ(trace.framesIn("LogoZoom.phase2"), 21);  // z from 1 down by 0.05 below 0.05, plus one
  EXPECT_EQ(trace.framesIn("LogoZoom.phase3"), 21);  // and back past 1
  EXPECT_EQ(trace.framesIn("LogoZoom.phase4"), 65);  // 64 fade steps, then the frame at 256
  ASSERT_EQ(s.frames(), 64 + 21 + 21 + 65 + 1);
  EXPECT_GT(bluePixels[64 + 21 + 21 + 63], kFramePixels / 2);  // weight 252
  EXPECT_GT(logoPixels[64 + 21 + 21 + 64], kFramePixels / 2);  // weight 0 again
  EXPECT_FALSE(musicClock().syncWaiting());  // consumed by the final frame
}

// Each phase waits at its end for the music. Frames 0..63 are the fade-in.
TEST(LogoZoom, ThePhasesWaitForTheMusic) {
  SceneHarness s;
  s.order = 1;
  s.syncAfter(79);       // one sync by the end of the fade
  s.orderAfter(80, 2);
  s.syncAfter(89);       // the second, but the order is even
  s.orderAfter(99, 3);   // fly-in ends at 100 frames
  s.orderAfter(100, 4);  // zoom-in: even, then odd after 40 frames
  s.orderAfter(139, 5);
  s.orderAfter(140, 6);  // zoom-out: odd after 50 frames, a sync after 60
  s.orderAfter(189, 7);
  s.syncAfter(199);
  TraceLog trace(s.h.runtime);
  LogoZoom();
  EXPECT_EQ(trace.framesIn("LogoZoom.phase1"), 100);
  EXPECT_EQ(trace.framesIn("LogoZoom.phase2"), 40);
  EXPECT_EQ(trace.framesIn("LogoZoom.phase3"), 60);
}

}  // namespace
}  // namespace tolvarin
