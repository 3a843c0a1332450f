// The 3D scene's frames with small meshes built here, and the whole scene on a
// headless runtime: which frames each phase draws, ended by syncs and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "gfx2d/trig_tables.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"
#include "scenes/scene3d.h"
#include "gfx3d/transform.h"
#include "platform/display.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "scenes/shared_state.h"
#include "support/headless_runtime.h"
#include "support/trace_events.h"

namespace tolvarin {
namespace {

using testing::HeadlessRuntime;
using testing::ParsedTrace;
using testing::TraceEvent;
using testing::parseTrace;

// A quad in the model's y = 0 plane: the scene's turn of 90 degrees about x
// stands it up facing the viewer. Both windings, so culling keeps one.
void buildStandingQuad(Mesh& mesh, double halfWidth, double halfHeight) {
  ASSERT_TRUE(mesh.allocateVertices(4));
  ASSERT_TRUE(mesh.allocateFaces(4));
  mesh.setVertex(0, -halfWidth, 0, -halfHeight);
  mesh.setVertex(1, halfWidth, 0, -halfHeight);
  mesh.setVertex(2, halfWidth, 0, halfHeight);
  mesh.setVertex(3, -halfWidth, 0, halfHeight);
  mesh.setFace(0, 0, 1, 2);
  mesh.setFace(1, 0, 2, 3);
  mesh.setFace(2, 0, 2, 1);
  mesh.setFace(3, 0, 3, 2);
}

// An octahedron of radius r standing in for the sphere.
void buildOctahedron(Mesh& mesh, double r) {
  ASSERT_TRUE(mesh.allocateVertices(6));
  ASSERT_TRUE(mesh.allocateFaces(8));
  const double p[6][3] = {{r, 0, 0}, {-r, 0, 0}, {0, r, 0}, {0, -r, 0}, {0, 0, r}, {0, 0, -r}};
  for (int i = 0; i < 6; ++i) mesh.setVertex(i, p[i][0], p[i][1], p[i][2]);
  const int f[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
  for (int j = 0; j < 8; ++j) mesh.setFace(j, f[j][0], f[j][1], f[j][2]);
}

// The three scene meshes, small, in place of the loaded ones.
class Scene3DTest : public ::testing::Test {
 protected:
  void SetUp() override {
    buildTrigTables();
    buildStandingQuad(logo, 40, 20);
    buildOctahedron(sphere, 20);
    buildStandingQuad(column, 10, 60);
    meshQx = &logo;
    meshEsfera = &sphere;
    meshColumna = &column;
  }
  void TearDown() override { meshQx = meshEsfera = meshColumna = nullptr; }

  Mesh logo, sphere, column;
};

Pixel at(const Pixel* frame, int x, int y) { return frame[y * kFrameWidth + x]; }

bool isGoldShade(Pixel p) {
  const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return r > g && g > b && b > 0;
}

TEST_F(Scene3DTest, APhaseOneFrameDrawsTheMirroredSphereThenTheHalvedLogoOverAClearedFrame) {
  Scene3DSetup setup;
  EXPECT_NE(lightDirection, nullptr);
  EXPECT_EQ(sphere.cullBackFaces, 1);
  EXPECT_EQ(column.cullBackFaces, 1);
  EXPECT_EQ(logo.cullBackFaces, 0);
  Pixel* frame = setup.frame();
  EXPECT_EQ(at(frame, 0, 0), 0u);
  std::fill(frame, frame + kFramePixels, 0x123456);  // what phase 1 must clear

  Scene3DMotion m;
  drawPhase1Frame(m, frame);
  EXPECT_EQ(logo.position.z, 408.0);
  EXPECT_EQ(column.position.z, 408.0);
  EXPECT_EQ(sphere.position.x, -50.0);
  EXPECT_EQ(sphere.position.z, 149.0);
  // The logo is placed after it was halved: camera = half the turned model + position.
  for (int i = 0; i < logo.vertexCount; ++i) {
    MeshVertex turned = logo.vertices[i];
    rotateVertex(turned, 90, m.logoSwing, 1);
    EXPECT_DOUBLE_EQ(logo.vertices[i].camera.x, turned.rotated.x / 2);
    EXPECT_DOUBLE_EQ(logo.vertices[i].camera.y, turned.rotated.y / 2 + 20);
    EXPECT_DOUBLE_EQ(logo.vertices[i].camera.z, turned.rotated.z / 2 + 408);
  }
  EXPECT_EQ(std::count(frame, frame + kFramePixels, Pixel{0x123456}), 0);

  // The sphere (about (107, 80)) shows four times, the copies exact mirrors,
  // and leaves no depth behind; the logo at the centre is gold and has depth.
  int sphereDots = 0;
  for (int y = 40; y < 115; ++y) {
    for (int x = 60; x < 150; ++x) {
      const Pixel p = at(frame, x, y);
      sphereDots += p != 0;
      ASSERT_EQ(at(frame, 319 - x, y), p);
      ASSERT_EQ(at(frame, x, 239 - y), p);
      ASSERT_EQ(at(frame, 319 - x, 239 - y), p);
      ASSERT_EQ(depthBuffer[y * kFrameWidth + x], -1);
    }
  }
  EXPECT_GT(sphereDots, 20);
  EXPECT_TRUE(isGoldShade(at(frame, 166, 124))) << std::hex << at(frame, 166, 124);
  EXPECT_NE(depthBuffer[124 * kFrameWidth + 166], -1);
  clearDepthBuffer();
}

TEST_F(Scene3DTest, PhaseTwoDrawsTheLogoALastTimeAtFiftyFiveThenDarkensTheFrameItKeeps) {
  Scene3DSetup setup;
  Pixel* frame = setup.frame();
  Scene3DMotion m;
  m.spin = 150;  // as a phase 1 of 150 frames leaves it
  m.zLogo = 112.0;
  m.zSphere = 270.0;
  startPhase2(m);
  m.yLogo = 55.0;
  drawPhase2Frame(m, frame);
  clearDepthBuffer();
  EXPECT_EQ(logo.position.y, 55.0);
  EXPECT_EQ(logo.position.z, 112.0 + 55.0);
  EXPECT_EQ(column.position.y, 60.0);  // one step ahead of the logo
  EXPECT_EQ(column.position.z, 112.0);
  EXPECT_EQ(m.yLogo, 60.0);
  const int logoY = 120 + static_cast<int>(120 * 55.0 / 167.0);
  EXPECT_TRUE(isGoldShade(at(frame, 163, logoY))) << std::hex << at(frame, 163, logoY);

  // From now on nothing clears the frame: it only grows darker, 3 a byte,
  // where the sphere does not draw. (The mirror copies the upper-left
  // quarter over the rest, the logo's last picture with it.)
  frame[5 * kFrameWidth + 5] = 0x00020710;
  frame[6 * kFrameWidth + 5] = 0xFF000304;
  drawPhase2Frame(m, frame);
  clearDepthBuffer();
  EXPECT_EQ(logo.position.y, 55.0);
  EXPECT_EQ(column.position.y, 60.0);
  EXPECT_EQ(m.yLogo, 60.0);
  EXPECT_EQ(at(frame, 5, 5), 0x0000040Du);
  EXPECT_EQ(at(frame, 5, 6), 0xFC000001u);  // all four bytes
  EXPECT_EQ(at(frame, 314, 234), 0x0000040Du);
}

// A headless runtime with syncs raised after the given frames (0-based) and
// the --trace log of the scene, its events stamped with frames presented.
struct SceneRun {
  explicit SceneRun(std::vector<double> keys, std::vector<std::int64_t> syncAfter)
      : h([&] {
          RuntimeConfig c = HeadlessRuntime::virtualConfig();
          c.keyTimes = std::move(keys);
          c.until = 60.0;  // a scene that never ends fails instead of hanging
          return c;
        }()),
        tracePath(::testing::TempDir() + "/scene3d_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".jsonl") {
    h.openDisplay();
    if (!h.runtime.tracer().open(tracePath, [this] {
          return TraceStamp{h.runtime.now(), h.runtime.framesPresented(), 0};
        })) {
      ADD_FAILURE() << "cannot write " << tracePath;
    }
    h.runtime.addPresentHook([this, syncAfter](std::int64_t index) {
      for (std::int64_t s : syncAfter) {
        if (s == index) syncFlag = 1;
      }
    });
  }

  // "begin Scene3D.phase1 @0", ... : the scene's and phases' events with frames.
  std::vector<std::string> events() {
    std::ifstream in(tracePath, std::ios::binary);
    const ParsedTrace trace =
        parseTrace(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    EXPECT_TRUE(trace.malformed.empty());
    std::vector<std::string> out;
    for (const TraceEvent& e : trace.events) {
      if (e.event == "begin" || e.event == "end") out.push_back(e.event + " " + e.scene + " @" + std::to_string(e.frame));
    }
    return out;
  }

  HeadlessRuntime h;
  std::string tracePath;
};

TEST_F(Scene3DTest, PhaseOneEndsAtItsFourthSyncAndPhaseTwoAtItsSecond) {
  SceneRun run({}, {2, 5, 8, 19, 24, 29});
  Scene3D();
  EXPECT_EQ(run.h.runtime.framesPresented(), 30);
  EXPECT_EQ(run.events(), (std::vector<std::string>{"begin Scene3D @0", "begin Scene3D.phase1 @0",
                                                    "end Scene3D.phase1 @20", "begin Scene3D.phase2 @20",
                                                    "end Scene3D.phase2 @30", "end Scene3D @30"}));
  EXPECT_EQ(lightDirection, nullptr);
  // Phase 2 picked up the sphere's depth where phase 1 left it (spin 20 + 10).
  EXPECT_EQ(sphere.position.z, 150.0);
}

TEST_F(Scene3DTest, AKeyPendingOnEntrySkipsPhaseOneAndPhaseTwoStartsFromRest) {
  SceneRun run({0.0}, {4, 9});
  std::optional<Vec3> sphereFirst, logoFirst;
  run.h.runtime.addPresentHook([&](std::int64_t index) {
    if (index == 0) sphereFirst = sphere.position, logoFirst = logo.position;
  });
  Scene3D();
  EXPECT_EQ(run.h.runtime.framesPresented(), 10);
  EXPECT_EQ(run.events(), (std::vector<std::string>{"begin Scene3D @0", "begin Scene3D.phase2 @0",
                                                    "end Scene3D.phase2 @10", "end Scene3D @10"}));
  ASSERT_TRUE(sphereFirst && logoFirst);
  EXPECT_EQ(sphereFirst->x, -48.0);
  EXPECT_EQ(sphereFirst->z, 149.0);
  EXPECT_EQ(logoFirst->y, 20.0);
  EXPECT_EQ(logoFirst->z, 245.0 + 20.0);
  EXPECT_FALSE(display().keyPressed());  // the key was read between the phases
}

TEST_F(Scene3DTest, AKeyEndsOnlyThePhaseRunningAndTheSceneReadsIt) {
  // No syncs at all: a key ends phase 1, another one phase 2.
  SceneRun run({0.1, 0.3}, {});
  Scene3D();
  const auto events = run.events();
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[1], "begin Scene3D.phase1 @0");
  EXPECT_EQ(events[2], "end Scene3D.phase1 @6");  // the first frame shown at 0.1 s or later
  EXPECT_EQ(events[3], "begin Scene3D.phase2 @6");
  EXPECT_EQ(events[4], "end Scene3D.phase2 @18");
  EXPECT_FALSE(musicClock().syncWaiting());
  EXPECT_FALSE(display().keyPressed());
}

}  // namespace
}  // namespace tolvarin
