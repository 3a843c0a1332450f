// Every scene with pictures that are too small, have no pixels, or are
// missing: each reads a black stand-in and runs as usual. (The sanitizer
// build also reports any read past a small picture.)
#include <gtest/gtest.h>

#include <memory>

#include "scenes/light_scenes.h"
#include "app/startup_objects.h"
#include "scenes/greetings.h"
#include "scenes/logo_zoom.h"
#include "scenes/prototype_text.h"
#include "scenes/story_text.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using namespace testing;

constexpr Pixel kMarker = 0x00ABCDEF;

// Runs the scenes in demo order, each ended by a key (one every 0.2 s), the
// strobe in play. Returns how many presented pixels hold the marker colour:
// a scene that used a too-small picture would show it (copies exactly, lit
// frames wherever the light adds nothing).
long markerPixelsShown() {
  std::vector<double> keys;
  for (int i = 1; i <= 40; ++i) keys.push_back(0.2 * i);
  SceneHarness s(keysAt(keys));
  s.order = 13;
  long markers = 0;
  s.afterFrame([&](std::int64_t) { markers += std::count(s.screen(), s.screen() + kFramePixels, kMarker); });
  auto next = [] {
    if (display().keyPressed()) display().readKey();
  };
  LogoZoom();
  next();
  LightSceneState light;
  LightSweep(light);
  next();
  CrossfadeSweep(light);
  next();
  RotozoomStrobe(light);
  next();
  StoryText();
  next();
  PrototypeText();
  next();
  std::unique_ptr<std::uint8_t[]> distance(new std::uint8_t[kFramePixels]), angle(new std::uint8_t[kFramePixels]);
  TunnelTables tables{240, 320, distance.get(), angle.get()};
  buildTunnelTables(tables);
  Greetings(tables);
  EXPECT_GT(s.frames(), 40);
  return markers;
}

TEST(SafePictures, SmallMissingOrEmptyPicturesReadAsBlack) {
  StartupObjects objects{DataFiles(TOLVARIN_TEST_DATA_DIR)};  // the stopwatch and the fonts
  ScenePictures pictures;
  pictures.fillAll(10, 10, kMarker);
  EXPECT_EQ(markerPixelsShown(), 0);
  pictures.fillAll(320, 239, kMarker);  // one row short everywhere
  pictures.set(imgTunel, makePicture(256, 255, kMarker));
  pictures.set(imgEllas, makePicture(320, 438, kMarker));
  pictures.set(imgEllasMap, makePicture(320, 438, kMarker));
  EXPECT_EQ(markerPixelsShown(), 0);
  pictures.emptyAll();
  markerPixelsShown();
  pictures.clearAll();
  markerPixelsShown();
}

}  // namespace
}  // namespace tolvarin
