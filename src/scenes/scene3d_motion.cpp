#include "scenes/scene3d_motion.h"

#include "gfx2d/trig_tables.h"

namespace tolvarin {
namespace {

// trunc(sin(f) x 180 + 180): 0..360, a whole swing every 360 frames. The
// table's sine of 90 is a hair under 1, so the top comes out as 359.
std::int32_t swingAngle(std::int32_t f) {
  return static_cast<std::int32_t>(sinTable[f % 360] * 180 + 180);
}

}  // namespace

void stepPhase1(Scene3DMotion& m) {
  m.t = swingAngle(m.f);
  m.f += 1;
  m.q -= 2;
  m.s += 1;
  m.p -= 1;
  if (m.q > 380) {
    m.zSphere = m.p;
    m.zLogo = m.q;
  } else if (m.q >= 110) {
    m.zSphere = m.f + 120;
    if (m.q > 110) m.zLogo = m.q;
  }
  // Below 110 both depths stay where frame 150 left them.
}

void startPhase2(Scene3DMotion& m) {
  m.k = 0;
  m.w = 0;
  m.yLogo = 20.0;
  m.p = 150 - m.s;
  m.q = m.s + 120;
}

void stepPhase2(Scene3DMotion& m) {
  m.f += 1;
  m.s += 1;
  m.p -= 1;
  m.q += 1;
  m.t = swingAngle(m.f);
  if (m.s < 15) {
    m.zSphere = m.p;
  } else if (m.s < 150) {
    m.zSphere = m.q;
  }
  m.k += 2;
  if (m.k < 50) {
    m.xy = m.k - 50;
  } else {
    m.xy = cosTable[m.w % 360] * 75 - 75;
    // The depth swing waits for one whole turn of w (90 frames).
    if (m.w >= 360) m.zSphere = sinTable[m.w % 360] * 175 + 270;
    m.w += 4;
  }
}

}  // namespace tolvarin
