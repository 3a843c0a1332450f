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
  m.logoSwing = swingAngle(m.frames);
  m.frames += 1;
  m.travel -= 2;
  m.spin += 1;
  m.approach -= 1;
  if (m.travel > 380) {
    m.zSphere = m.approach;
    m.zLogo = m.travel;
  } else if (m.travel >= 110) {
    m.zSphere = m.frames + 120;
    if (m.travel > 110) m.zLogo = m.travel;
  }
  // Below 110 both depths stay where frame 150 left them.
}

void startPhase2(Scene3DMotion& m) {
  m.slide = 0;
  m.swing = 0;
  m.yLogo = 20.0;
  m.approach = 150 - m.spin;
  m.travel = m.spin + 120;
}

void stepPhase2(Scene3DMotion& m) {
  m.frames += 1;
  m.spin += 1;
  m.approach -= 1;
  m.travel += 1;
  m.logoSwing = swingAngle(m.frames);
  if (m.spin < 15) {
    m.zSphere = m.approach;
  } else if (m.spin < 150) {
    m.zSphere = m.travel;
  }
  m.slide += 2;
  if (m.slide < 50) {
    m.xy = m.slide - 50;
  } else {
    m.xy = cosTable[m.swing % 360] * 75 - 75;
    // The depth swing waits for one whole turn of w (90 frames).
    if (m.swing >= 360) m.zSphere = sinTable[m.swing % 360] * 175 + 270;
    m.swing += 4;
  }
}

}  // namespace tolvarin
