// Greetings: a twisting tunnel textured with a 256x256 picture, drawn from
// per-pixel distance and angle tables, with sixteen greetings appearing one
// after another and leaving fading trails. After the last one the tunnel runs
// alone until the music ends the scene.
#include "scenes/greetings.h"

#include <array>
#include <cmath>
#include <memory>
#include <optional>

#include "assets/bitmap_font.h"
#include "gfx2d/exact_sine.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/tunnel_pixels.h"
#include "platform/trace.h"
#include "scenes/scene_common.h"
#include "scenes/scene_texts.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

// Where each greeting stands (top-left of its first letter).
constexpr int kGreetingX[kGreetingCount] = {100, 95, 100, 50, 30, 40, 130, 130, 170, 50, 70, 90, 100, 80, 100, 80};
constexpr int kGreetingY[kGreetingCount] = {40, 120, 180, 65, 145, 205, 60, 140, 200, 30, 110, 170, 20, 60, 120, 190};

// A new greeting every 50 frames: greeting 0 shows for frames 1..49, the
// last one (15) up to frame 799.
constexpr int kFramesPerGreeting = 50;

bool tablesFitTheScreen(const TunnelTables& t) {
  return t.width == kFrameWidth && t.height == kFrameHeight && t.distance != nullptr && t.angle != nullptr;
}

}  // namespace

void buildTunnelTables(TunnelTables& tables) {
  const int hh = tables.height / 2;
  const int hw = tables.width / 2;
  for (int y = -hh; y < hh; ++y) {
    for (int x = -hw; x < hw; ++x) {
      const int n = (y + hh) * tables.width + (x + hw);
      tables.distance[n] = static_cast<std::uint8_t>(static_cast<int>(std::sqrt(static_cast<double>(x * x + y * y))));
      // 257 units to the turn (257 / 2 pi); negative angles wrap to 128..255.
      tables.angle[n] = static_cast<std::uint8_t>(static_cast<int>(std::atan2(y, x) * 40.902820375786185));
    }
  }
}

int greetingsAmplitude(int frameNo) {
  // Written as 150 - trunc(-150 sin): the table's sines of 90 and 270 degrees
  // lie just inside +-1, so the peaks are 299 and 1, not 300 and 0.
  return 150 - static_cast<int>(-150.0 * sinTable[frameNo % 360]);
}

void greetingsWobble(int amp, int phase, std::int32_t* wobble) {
  // Half a sine wave (the factor is just under pi/256), shifted by phase. The
  // 256 sines never change, so they are worked out once.
  static const auto sines = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = exactSin(static_cast<double>(i) * 0.0122718463046875);
    return t;
  }();
  for (int k = 0; k < kWobbleEntries; ++k) wobble[k] = static_cast<std::int32_t>(amp * sines[(phase + k) % 256]);
}

void drawTunnel(const TunnelTables& tables, const Pixel* texture, const std::int32_t* wobble, int shift, Pixel* dst) {
  if (!tablesFitTheScreen(tables)) {
    fillFrame(dst, 0);
    return;
  }
  tunnelPixels(tables.distance, tables.angle, texture, wobble, shift, dst);
}

void Greetings(const TunnelTables& tables) {
  TraceScope scene("Greetings");
  initGlyphTable();  // also undoes the blank parenthesis of the prototype text
  FrameBuffer layer = allocateFrame();
  std::int32_t wobble[kWobbleEntries] = {};
  fillFrame(layer.get(), 0);
  if (font1 != nullptr) font1->inverted = false;
  if (keyPending()) return;

  const Pixel* texture = picturePixels(imgTunel, kTunnelTextureSize, kTunnelTextureSize);
  FrameBuffer ownScratch;
  Pixel* scratch = scratchFrame;
  if (scratch == nullptr) {
    ownScratch = allocateFrame();
    scratch = ownScratch.get();
  }

  int frameNo = 0;
  int phase = 0;  // only phase mod 256 and shift mod 256 matter; both are kept reduced
  int shift = 0;
  int greeting = 0;
  int syncCount = 0;
  std::optional<TraceScope> tunnelOnly;
  for (;;) {
    ++frameNo;
    greetingsWobble(greetingsAmplitude(frameNo), phase, wobble);
    drawTunnel(tables, texture, wobble, shift, scratch);
    // The count stops at 16: from frame 800 on the tunnel runs alone.
    if (frameNo % kFramesPerGreeting == 0 && greeting < kGreetingCount) ++greeting;

    if (greeting < kGreetingCount) {
      // The current greeting is redrawn at full strength; older ones fade
      // one step per frame (a channel value v is gone after v frames).
      if (font1 != nullptr) font1->drawText(kGreetingX[greeting], kGreetingY[greeting], greetingNames[greeting], layer.get());
      Pixel* frame = display().lock();
      overlayKeyed(layer.get(), scratch, frame);
      subtractFromBytes(layer.get(), layer.get(), 1);
      clearSync();  // syncs during the greetings are ignored
    } else {
      if (!tunnelOnly) tunnelOnly.emplace("Greetings.tunnel");
      if (takeSync()) ++syncCount;
      if (syncCount == 2) return;  // this frame is not shown
      Pixel* frame = display().lock();
      copyFrame(scratch, frame);
    }
    shift = (shift + 2) % 256;
    phase = (phase + 4) % 256;
    showFrame();
    if (musicOrder() >= 44 && greeting == kGreetingCount) return;
    if (keyPending()) return;
  }
}

}  // namespace tolvarin
