#include "app/demo_sequence.h"

#include <cstdio>
#include <memory>

#include "app/light_scenes.h"
#include "app/startup_objects.h"
#include "assets/bitmap_font.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/trig_tables.h"
#include "gfx3d/scene3d.h"
#include "platform/display.h"
#include "platform/music.h"
#include "platform/trace.h"
#include "scenes/byte_fade.h"
#include "scenes/greetings.h"
#include "scenes/logo_zoom.h"
#include "scenes/prototype_text.h"
#include "scenes/shared_state.h"
#include "scenes/story_text.h"

namespace tolvarin {
namespace {

std::unique_ptr<Pixel[]> newFrame() { return std::unique_ptr<Pixel[]>(new Pixel[kFramePixels]()); }

void stillPicture() {
  TraceScope scene("StillPicture");
  Pixel* frame = display().lock();
  copyFrame(picturePixels(imgOjs, 320, 240), frame);
  display().unlock();
  display().present();
  waitForSyncOrKey();
  consumeKey();
  clearSyncFlag();
  consumeKey();
}

// Clears the shared pointers to buffers this routine owns when it returns.
struct SequenceGlobals {
  ~SequenceGlobals() {
    scratchFrame = blackFrame = nullptr;
    imgWave = imgAloneFlash = imgMetal = nullptr;
    publishDisplay(nullptr);
  }
};

}  // namespace

void waitForSyncOrKey() {
  if (display().keyPressed()) return;
  for (;;) {
    if (syncIsSet()) {
      clearSyncFlag();
      return;
    }
    if (display().keyPressed()) return;
  }
}

void consumeKey() {
  if (display().keyPressed()) display().readKey();
}

void CreditsFadeIn() {
  TraceScope scene("CreditsFadeIn");
  const Pixel* creds = picturePixels(imgCreds, 320, 240);
  int counter = 255;
  do {
    Pixel* frame = display().lock();
    subtractFromBytes(creds, frame, static_cast<std::uint8_t>(counter));
    display().unlock();
    display().present();
    if (display().keyPressed()) break;
    --counter;
  } while (counter > 0);
}

int demoSequence(const DataFiles& data) {
  SequenceGlobals globals;
  auto scratch = newFrame();
  scratchFrame = scratch.get();
  clearSyncFlag();

  Display output;
  if (!output.open()) {
    std::fprintf(stderr, "tolvarin: cannot open the output\n");
    return 1;
  }
  publishDisplay(&output);

  auto black = newFrame();
  fillFrame(black.get(), 0);
  blackFrame = black.get();

  Picture wave, alone, metal;
  loadPicture(wave, data, "wave.g", 320, 240);
  loadPicture(alone, data, "alone.g", 320, 240);
  loadPicture(metal, data, "metal.g", 320, 240);
  imgWave = &wave;
  imgAloneFlash = &alone;
  imgMetal = &metal;

  initGlyphTable();

  // The first mesh that fails ends the program at once, silently; the later
  // ones are not tried.
  if (!meshQx->load(data.path("qx.d").c_str()) || !meshEsfera->load(data.path("esfera.d").c_str()) ||
      !meshColumna->load(data.path("Columna.d").c_str())) {
    return 0;
  }

  auto distance = std::make_unique<std::uint8_t[]>(kFramePixels);
  auto angle = std::make_unique<std::uint8_t[]>(kFramePixels);
  TunnelTables tunnel{240, 320, distance.get(), angle.get()};
  buildTunnelTables(tunnel);

  if (!startMusic(data.path("004fin.s3m").c_str())) {
    stopMusic();
    output.close();
    return 1;
  }
  buildTrigTables();

  // Nothing is drawn before the first sync of the music (or a key).
  waitForSyncOrKey();
  consumeKey();

  LogoZoom();
  clearSyncFlag();
  consumeKey();

  LightSceneState light;
  LightSweep(light);
  consumeKey();
  clearSyncFlag();

  light.fadeBuffer = newFrame();
  CrossfadeSweep(light);
  clearSyncFlag();
  consumeKey();

  light.zoomBase = newFrame();
  light.zoomMap = newFrame();
  RotozoomStrobe(light);
  consumeKey();

  stillPicture();

  StoryText();
  consumeKey();
  clearSyncFlag();

  Scene3D();
  consumeKey();
  clearSyncFlag();

  PrototypeText();
  consumeKey();
  clearSyncFlag();

  Greetings(tunnel);
  clearSyncFlag();

  CreditsFadeIn();
  output.readKey();

  output.close();
  stopMusic();
  return 0;
}

}  // namespace tolvarin
