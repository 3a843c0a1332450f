// Every scene with pictures that are missing, have no pixels, or are too
// small: each reads a black stand-in instead and runs as usual. (Under the
// sanitizer build a read past a small picture would also be reported.)
#include <gtest/gtest.h>

#include <memory>

#include "app/light_scenes.h"
#include "app/startup_objects.h"
#include "scenes/greetings.h"
#include "scenes/logo_zoom.h"
#include "scenes/prototype_text.h"
#include "scenes/story_text.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using testing::keysAt;
using testing::makePicture;
using testing::SceneHarness;
using testing::ScenePictures;

constexpr Pixel kMarker = 0x00ABCDEF;

// Runs every scene of the package in demo order, each ended by a key (a key
// every 0.2 s), with the strobe in play (order 13). Returns, per presented
// frame, how many pixels hold the small pictures' colour: a scene that used
// such a picture's pixels would show it (the copies exactly, the lit frames
// wherever the light adds nothing).
std::vector<long> runEveryScene() {
  std::vector<double> keys;
  for (int i = 1; i <= 40; ++i) keys.push_back(0.2 * i);
  SceneHarness s(keysAt(keys, 30.0));
  s.order = 13;
  std::vector<long> markers;
  s.afterFrame([&](std::int64_t) {
    const Pixel* f = s.screen();
    markers.push_back(std::count(f, f + kFramePixels, kMarker));
  });
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

TEST(SafePictures, TinyMissingOrShortPicturesReadAsBlack) {
  StartupObjects objects{DataFiles(TOLVARIN_TEST_DATA_DIR)};  // the stopwatch and the fonts
  ScenePictures pictures;
  {
    SCOPED_TRACE("10x10 pictures");
    pictures.fillAll(10, 10, kMarker);
    for (long m : runEveryScene()) EXPECT_EQ(m, 0);
  }
  {
    SCOPED_TRACE("right width, too few rows");
    pictures.fillAll(320, 200, kMarker);
    pictures.set(imgTunel, makePicture(256, 255, kMarker));
    pictures.set(imgEllas, makePicture(320, 438, kMarker));
    pictures.set(imgEllasMap, makePicture(320, 438, kMarker));
    for (long m : runEveryScene()) EXPECT_EQ(m, 0);
  }
  {
    SCOPED_TRACE("pictures without pixels");
    pictures.emptyAll();
    runEveryScene();
  }
  {
    SCOPED_TRACE("no picture records");
    pictures.clearAll();
    runEveryScene();
  }
}

}  // namespace
}  // namespace tolvarin
