#include "scenes/scene3d.h"

#include <cmath>

#include "gfx2d/frame_kernels.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"
#include "platform/display.h"
#include "platform/trace.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

constexpr std::uint32_t kSphereColour = 0xFFFFFF;
constexpr std::uint32_t kColumnColour = 0x7F7F7F;
constexpr std::uint32_t kLogoColour = 0xC8B360;

constexpr int kPhase1Syncs = 4;
constexpr int kPhase2Syncs = 2;

void setFaceColour(Mesh& mesh, std::uint32_t colour) {
  for (std::int32_t i = 0; i < mesh.faceCount; ++i) mesh.faces[i].colour = colour;
}

void presentFrame(Display& out, const Pixel* frame) {
  copyFrame(frame, out.lock());
  out.unlock();
  out.present();
}

// Several syncs between two reads count once.
void countSync(int& n) {
  if (takeSync()) n += 1;
}

}  // namespace

Scene3DSetup::Scene3DSetup() {
  setUp3D();
  setFaceColour(*meshEsfera, kSphereColour);
  setFaceColour(*meshColumna, kColumnColour);
  setFaceColour(*meshQx, kLogoColour);
  light_[0] = 1.0 / std::sqrt(3.0);
  light_[1] = 1.0 / std::sqrt(3.0);
  light_[2] = -1.0 / std::sqrt(3.0);
  lightDirection = light_;
  meshEsfera->cullBackFaces = 1;
  meshColumna->cullBackFaces = 1;
  // The logo keeps the culling it was built with (none): both of its sides show.
  frame_ = allocateFrame();  // black
}

Scene3DSetup::~Scene3DSetup() {
  if (lightDirection == light_) lightDirection = nullptr;
}

void halveRotated(Mesh& mesh) {
  for (std::int32_t i = 0; i < mesh.vertexCount; ++i) {
    Vec3& r = mesh.vertices[i].rotated;
    r.x /= 2;
    r.y /= 2;
    r.z /= 2;
  }
}

void drawPhase1Frame(Scene3DMotion& m, Pixel* frame) {
  Mesh& logo = *meshQx;
  Mesh& sphere = *meshEsfera;
  Mesh& column = *meshColumna;
  stepPhase1(m);
  logo.rotate(90, m.logoSwing, 1);
  sphere.rotate(m.spin, m.spin, m.spin);
  column.rotate(90, 0, 1);
  halveRotated(logo);
  logo.setPosition(0, 20, m.zLogo);
  column.setPosition(0, 20, m.zLogo);
  fillFrame(frame, 0);
  sphere.setPosition(-50, -50, m.zSphere);
  sphere.drawObjectWire(frame);
  // The wire sphere leaves the depth buffer empty, so what follows covers it.
  mirrorQuadrants(frame);
  column.drawObjectFlat(frame);
  logo.drawObjectFlat(frame);
}

void drawPhase2Frame(Scene3DMotion& m, Pixel* frame) {
  Mesh& logo = *meshQx;
  Mesh& sphere = *meshEsfera;
  Mesh& column = *meshColumna;
  stepPhase2(m);
  sphere.rotate(m.spin, m.spin, m.spin);
  sphere.setPosition(m.xy, m.xy, m.zSphere);
  sphere.drawObjectWire(frame);
  mirrorQuadrants(frame);
  if (m.yLogo < 60.0) {
    logo.rotate(90, m.logoSwing, 1);
    halveRotated(logo);
    logo.setPosition(0, m.yLogo, m.yLogo + m.zLogo);
    logo.drawObjectFlat(frame);
    m.yLogo += 5;
    // The column goes along with the logo, one step ahead, but is not drawn.
    column.rotate(90, 0, 1);
    column.setPosition(0, m.yLogo, m.zLogo);
  } else {
    subtractFromBytes(frame, frame, 3);
  }
}

void Scene3D() {
  TraceScope scene("Scene3D");
  Display& out = display();
  Scene3DSetup setup;
  Pixel* const frame = setup.frame();
  Scene3DMotion m;
  int n = 0;

  if (!out.keyPressed()) {
    TraceScope phase("Scene3D.phase1");
    for (;;) {
      drawPhase1Frame(m, frame);
      presentFrame(out, frame);
      clearDepthBuffer();
      countSync(n);
      if (n == kPhase1Syncs || out.keyPressed()) break;
    }
  }

  // The key that ended phase 1 (or skipped it) is spent here: phase 2 runs.
  n = 0;
  clearSync();
  if (out.keyPressed()) out.readKey();
  startPhase2(m);

  if (!out.keyPressed()) {
    TraceScope phase("Scene3D.phase2");
    for (;;) {
      drawPhase2Frame(m, frame);
      presentFrame(out, frame);
      clearDepthBuffer();
      countSync(n);
      if (n == kPhase2Syncs || out.keyPressed()) break;
    }
  }

  clearSync();
  if (out.keyPressed()) out.readKey();
}

}  // namespace tolvarin
