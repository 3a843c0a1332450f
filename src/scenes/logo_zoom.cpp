// LogoZoom: the group logo flies in from far away while it fades in from
// black, lit by a light spot bent by the relief picture; then the view zooms
// far into the logo, back out, cross-fades, and ends on one over-bright frame.
#include "scenes/logo_zoom.h"

#include "gfx2d/frame_kernels.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/zoom_wrap.h"
#include "platform/trace.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

struct LogoZoomState {
  const Pixel* logo = picturePixels(imgQuarnel, kFrameWidth, kFrameHeight);
  const Pixel* relief = picturePixels(imgQxMap1, kFrameWidth, kFrameHeight);
  const Pixel* other = picturePixels(imgHofobia2, kFrameWidth, kFrameHeight);
  // The two work frames, cleared; gone when the scene returns. The first
  // holds the zoomed (later the cross-faded) logo; the second the faded logo
  // during the fly-in, then the zoomed relief.
  FrameBuffer logoWork = allocateFrame();
  FrameBuffer lightWork = allocateFrame();
  double z = 24.6;     // zoom: source pixels per screen pixel
  int fade = 0;        // fade-in, then cross-fade, counter
  int a = 0;           // light angle, degrees
  int b = 0;           // second light angle of the last frame drawn
  int syncCount = 0;   // syncs seen in the fly-in

  // One frame lit by the light at angles (a, a + 250).
  void lightFrame(const Pixel* base, const Pixel* reliefMap) {
    b = (a + 250) % 360;
    tolvarin::lightFrame(lightOffsetX(a), lightOffsetY(b), base, reliefMap, 0);
  }

  // Zooms the logo and its relief alike, so the light follows the zoomed bevels.
  void zoomFrame() {
    zoomWrap(logo, logoWork.get(), z);
    zoomWrap(relief, lightWork.get(), z);
    lightFrame(logoWork.get(), lightWork.get());
    a = (a + 30) % 360;
  }
};

// Fly-in and fade-in: the logo shrinks from z = 24.6 towards 1 while the
// fade offset falls from 255 to 3 over 64 frames. Ends after two syncs, the
// fade complete and an odd order.
void flyIn(LogoZoomState& s) {
  TraceScope phase("LogoZoom.phase1");
  for (;;) {
    if (s.z >= 1.0) {
      zoomWrap(s.logo, s.logoWork.get(), s.z);
      s.z -= 0.4;
    }
    if (s.fade < 256) {
      subtractFromBytes(s.logoWork.get(), s.lightWork.get(), static_cast<std::uint8_t>(255 - s.fade));
      s.fade += 4;
    }
    s.lightFrame(s.lightWork.get(), s.relief);
    s.a = (s.a + 28) % 360;
    // A sync that comes while the fade is still running counts as well.
    if (takeSync()) ++s.syncCount;
    // The position is read only once the other two conditions hold.
    if (s.syncCount >= 2 && s.fade >= 256 && musicOrderIsOdd()) return;
    if (keyPending()) return;
  }
}

// Zoom in until z drops below 0.05 (the whole screen then samples the
// picture's centre pixel), then wait there for an odd order.
void zoomIn(LogoZoomState& s) {
  TraceScope phase("LogoZoom.phase2");
  for (;;) {
    s.zoomFrame();
    if (s.z >= 0.05) {
      s.z -= 0.05;
    } else if (musicOrderIsOdd()) {
      return;
    }
    if (keyPending()) return;
  }
}

// Zoom back out to just past 1, then wait for a sync in an odd order. The
// sync is only looked at, not consumed.
void zoomOut(LogoZoomState& s) {
  TraceScope phase("LogoZoom.phase3");
  for (;;) {
    s.zoomFrame();
    if (s.z <= 1.0) {
      s.z += 0.05;
    } else if (syncWaiting() && musicOrderIsOdd()) {
      return;
    }
    if (keyPending()) return;
  }
}

// Cross-fade from the logo towards the other picture over 64 frames; when
// the counter reaches 256 its low byte is 0 again and the logo is back alone.
void crossFadeOut(LogoZoomState& s) {
  TraceScope phase("LogoZoom.phase4");
  s.fade = 0;
  for (;;) {
    const int w = s.fade & 0xFF;
    crossFade(s.other, s.logo, s.logoWork.get(), w, w, w);
    s.lightFrame(s.logoWork.get(), s.relief);
    s.a = (s.a + 30) % 360;
    if (s.fade < 256) {
      s.fade += 4;
    } else if (musicOrderIsOdd()) {
      return;
    }
    if (keyPending()) return;
  }
}

}  // namespace

void LogoZoom() {
  TraceScope scene("LogoZoom");
  LogoZoomState s;
  clearSync();

  // A phase that finds a key pending draws nothing; the key stays pending,
  // so the later phases are skipped too and only the final frame is drawn.
  if (!keyPending()) flyIn(s);
  s.z += 0.4;  // undoes the last step of the fly-in, also when it was skipped
  if (!keyPending()) zoomIn(s);
  if (!keyPending()) zoomOut(s);
  if (!keyPending()) crossFadeOut(s);

  // The over-bright last frame: the logo with its colours tripled.
  clearSync();
  Pixel* frame = display().lock();
  bumpLight(lightOffsetX(s.a), lightOffsetY(s.b), s.logo, frame, s.relief, 3);
  showFrame();
}

}  // namespace tolvarin
