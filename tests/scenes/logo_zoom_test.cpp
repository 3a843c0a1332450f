// LogoZoom's four phases and their end rules, driven by a scripted music
// position and syncs instead of a module.
#include <gtest/gtest.h>

#include "gfx2d/sampling_blits.h"
#include "scenes/logo_zoom.h"
#include "scenes/scene_common.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using testing::keysAt;
using testing::makePicture;
using testing::SceneHarness;
using testing::ScenePictures;
using testing::TraceLog;

TEST(LogoZoom, AKeyPendingAtTheStartDrawsOnlyTheFinalFrame) {
  SceneHarness s(keysAt({0.0}));
  ScenePictures pictures;
  pictures.set(imgQuarnel, makePicture(320, 240, [](int x, int y) { return static_cast<Pixel>((x ^ y) & 0x3F) * 0x010101u; }));
  pictures.set(imgQxMap1, makePicture(320, 240, [](int x, int y) { return static_cast<Pixel>((x * y) & 0xFF) * 0x010101u; }));
  TraceLog trace(s.h.runtime);
  s.pollOnce();
  LogoZoom();

  EXPECT_EQ(s.frames(), 1);
  EXPECT_EQ(trace.begun(), std::vector<std::string>{"LogoZoom"});
  // The logo at triple brightness under the light at angles a = b = 0.
  std::vector<Pixel> expected(kFramePixels);
  bumpLight(lightOffsetX(0), lightOffsetY(0), imgQuarnel->pixels.get(), expected.data(), imgQxMap1->pixels.get(), 3);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), s.screen()));
  EXPECT_TRUE(display().keyPressed());  // left for the demo sequence
}

// Odd order throughout: each phase ends as soon as its own condition allows.
// Syncs come during the fade-in (they count) and one during the zoom-in,
// which the zoom-out finds still raised.
TEST(LogoZoom, EachPhaseEndsOnItsOwnRule) {
  SceneHarness s(keysAt({}, 60.0));
  s.order = 1;
  s.syncAfterFrame(0);
  s.syncAfterFrame(1);
  s.syncAfterFrame(70);  // inside phase 2
  TraceLog trace(s.h.runtime);
  LogoZoom();

  EXPECT_EQ(trace.begun(), (std::vector<std::string>{"LogoZoom", "LogoZoom.phase1", "LogoZoom.phase2",
                                                      "LogoZoom.phase3", "LogoZoom.phase4"}));
  EXPECT_EQ(trace.framesIn("LogoZoom.phase1"), 64);  // the fade-in takes 64 frames
  // z is back at 1 (plus rounding) and steps by 0.05 to below 0.05 in 20
  // frames; the 21st finds it there. The zoom-out climbs back past 1 alike.
  EXPECT_EQ(trace.framesIn("LogoZoom.phase2"), 21);
  EXPECT_EQ(trace.framesIn("LogoZoom.phase3"), 21);
  EXPECT_EQ(trace.framesIn("LogoZoom.phase4"), 65);  // 64 fade steps, then the frame at 256
  EXPECT_EQ(s.frames(), 64 + 21 + 21 + 65 + 1);
  EXPECT_FALSE(syncIsSet());  // the final frame consumes the sync the zoom-out left
}

TEST(LogoZoom, TheFlyInWaitsForTwoSyncsAndAnOddOrder) {
  SceneHarness s(keysAt({}, 60.0));
  s.order = 1;
  s.syncAfterFrame(79);  // frame 80: only one sync by then
  s.orderAfterFrame(80, 2);
  s.syncAfterFrame(89);  // second sync, but the order is even
  s.orderAfterFrame(99, 3);
  TraceLog trace(s.h.runtime);
  LogoZoom();
  EXPECT_EQ(trace.framesIn("LogoZoom.phase1"), 100);
}

// The zoom-in waits at its smallest z for an odd order; the zoom-out, past
// z = 1, for a sync in an odd order.
TEST(LogoZoom, TheZoomsWaitForTheMusic) {
  SceneHarness s(keysAt({}, 60.0));
  s.order = 1;
  s.syncAfterFrame(0);
  s.syncAfterFrame(1);
  // Frames 0..63 are the fly-in; phase 2 starts at frame 64.
  s.orderAfterFrame(64, 2);       // even after its first frame
  s.orderAfterFrame(64 + 39, 3);  // odd after its 40th
  s.orderAfterFrame(64 + 40, 4);  // even after phase 3's first frame
  s.orderAfterFrame(64 + 40 + 49, 5);  // odd after its 50th
  s.syncAfterFrame(64 + 40 + 59);      // the sync after its 60th
  TraceLog trace(s.h.runtime);
  LogoZoom();
  EXPECT_EQ(trace.framesIn("LogoZoom.phase2"), 40);
  EXPECT_EQ(trace.framesIn("LogoZoom.phase3"), 60);
}

// In phase 4 the weight of the second picture runs 0, 4, ..., 252; the frame
// in which the counter reaches 256 is lit over the logo alone again.
TEST(LogoZoom, TheCrossFadeEndsOverTheLogoAlone) {
  SceneHarness s(keysAt({}, 60.0));
  ScenePictures pictures;
  pictures.set(imgQuarnel, makePicture(320, 240, 0x003F0000));   // red logo
  pictures.set(imgHofobia2, makePicture(320, 240, 0x0000003F));  // blue picture
  s.order = 1;
  s.syncAfterFrame(0);
  s.syncAfterFrame(1);
  s.syncAfterFrame(70);
  TraceLog trace(s.h.runtime);
  // Where the light adds nothing, a frame shows the cross-faded base: count
  // the pixels that are pure logo (62 red, 0 blue: 63 x 255 >> 8) or the
  // nearly pure blue picture (63 x 252 >> 8 = 62 blue).
  std::vector<std::pair<int, int>> counts;  // per frame: (logo pixels, blue pixels)
  s.afterFrame([&](std::int64_t) {
    const Pixel* f = s.screen();
    int logo = 0, blue = 0;
    for (int n = kFrameWidth; n < 239 * kFrameWidth; ++n) {
      logo += f[n] == 0x003E0000u;
      blue += f[n] == 0x0000003Eu;
    }
    counts.emplace_back(logo, blue);
  });
  LogoZoom();
  ASSERT_EQ(trace.framesIn("LogoZoom.phase4"), 65);
  const std::size_t last = counts.size() - 2;  // the last frame of phase 4, before the final frame
  EXPECT_GT(counts[last - 1].second, kFramePixels / 2);  // w = 252: the blue picture
  EXPECT_GT(counts[last].first, kFramePixels / 2);       // w = 0 again: the logo
}

}  // namespace
}  // namespace tolvarin
