// The 3D scene's motion, frame by frame, without drawing.
#include <gtest/gtest.h>

#include <algorithm>

#include "gfx2d/trig_tables.h"
#include "scenes/scene3d_motion.h"

namespace tolvarin {
namespace {

class Scene3DMotionTest : public ::testing::Test {
 protected:
  void SetUp() override { buildTrigTables(); }
};

TEST_F(Scene3DMotionTest, PhaseOneBringsTheLogoToItsStopAndSendsTheSphereAway) {
  Scene3DMotion m;
  stepPhase1(m);
  EXPECT_EQ(m.logoSwing, 180);  // sin 0
  EXPECT_EQ(m.zSphere, 149.0);
  EXPECT_EQ(m.zLogo, 408.0);
  for (int frame = 2; frame <= 14; ++frame) stepPhase1(m);
  EXPECT_EQ(m.zSphere, 136.0);  // the last frame of the approach
  EXPECT_EQ(m.zLogo, 382.0);
  stepPhase1(m);  // frame 15: the sphere turns back
  EXPECT_EQ(m.zSphere, 135.0);
  EXPECT_EQ(m.zLogo, 380.0);
  for (int frame = 16; frame <= 149; ++frame) stepPhase1(m);
  EXPECT_EQ(m.zLogo, 112.0);
  EXPECT_EQ(m.zSphere, 269.0);
  stepPhase1(m);
  EXPECT_EQ(m.frames, 150);
  EXPECT_EQ(m.zLogo, 112.0);
  EXPECT_EQ(m.zSphere, 270.0);
  // Later frames only turn things.
  for (int frame = 151; frame <= 1000; ++frame) {
    stepPhase1(m);
    ASSERT_EQ(m.zLogo, 112.0) << frame;
    ASSERT_EQ(m.zSphere, 270.0) << frame;
    ASSERT_GE(m.logoSwing, 0);
    ASSERT_LE(m.logoSwing, 360);
  }
  EXPECT_EQ(m.spin, 1000);
}

TEST_F(Scene3DMotionTest, PhaseTwoSlidesTheSphereIntoPlaceThenSwingsItAcrossAndInDepth) {
  Scene3DMotion m;
  for (int frame = 1; frame <= 150; ++frame) stepPhase1(m);
  m.yLogo = 55.0;
  startPhase2(m);
  EXPECT_EQ(m.yLogo, 20.0);

  stepPhase2(m);
  EXPECT_EQ(m.frames, 151);
  EXPECT_EQ(m.logoSwing, static_cast<int>(sinTable[151] * 180 + 180));  // f after the step
  EXPECT_EQ(m.xy, -48.0);
  EXPECT_EQ(m.zSphere, 270.0);  // s is past 150: the depth phase 1 left
  for (int frame = 2; frame <= 24; ++frame) stepPhase2(m);
  EXPECT_EQ(m.xy, -2.0);
  stepPhase2(m);  // frame 25, k = 50
  EXPECT_EQ(m.xy, 0.0);
  EXPECT_EQ(m.swing, 4);
  double lowest = 0.0;
  for (int frame = 26; frame <= 114; ++frame) {
    stepPhase2(m);
    ASSERT_EQ(m.zSphere, 270.0) << frame;
    lowest = std::min(lowest, m.xy);
  }
  EXPECT_NEAR(lowest, -150.0, 1e-4);  // half a swing in
  // The 115th frame has w = 360: the depth swing begins there.
  stepPhase2(m);
  EXPECT_DOUBLE_EQ(m.zSphere, sinTable[0] * 175 + 270);
  EXPECT_NEAR(m.xy, 0.0, 1e-9);
  double nearest = 1e9, farthest = 0.0;
  for (int frame = 116; frame <= 205; ++frame) {
    stepPhase2(m);
    nearest = std::min(nearest, m.zSphere);
    farthest = std::max(farthest, m.zSphere);
  }
  EXPECT_NEAR(nearest, 95.0, 0.5);
  EXPECT_NEAR(farthest, 445.0, 0.5);
}

}  // namespace
}  // namespace tolvarin
