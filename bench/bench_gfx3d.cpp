// Benchmarks of src/gfx3d: one frame of each phase of the 3D scene itself
// and of its drawing at fixed poses, with the generated meshes, and the flat
// filler on one typical triangle.
//
// The meshes are read from the data folder beside the benchmark program
// (build/data, written by tolvarin-gen), or from $TOLVARIN_DATA_DIR.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/framebuffer.h"
#include "gfx2d/trig_tables.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"
#include "scenes/scene3d.h"
#include "gfx2d/frame_kernels.h"
#include "scenes/shared_state.h"

namespace {

using namespace tolvarin;

std::filesystem::path dataDir() {
  if (const char* env = std::getenv("TOLVARIN_DATA_DIR")) return env;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path() / "data";
  return "data";
}

struct SceneMeshes {
  Mesh qx, esfera, columna;
  bool loaded = false;
  double light[3] = {1.0 / std::sqrt(3.0), 1.0 / std::sqrt(3.0), -1.0 / std::sqrt(3.0)};

  SceneMeshes() {
    const auto dir = dataDir();
    loaded = qx.load((dir / data::qxMesh.name).string().c_str()) &&
             esfera.load((dir / data::esferaMesh.name).string().c_str()) &&
             columna.load((dir / data::columnaMesh.name).string().c_str());
    if (!loaded) return;
    for (auto [mesh, colour] : {std::pair{&qx, 0xC8B360u}, {&esfera, 0xFFFFFFu}, {&columna, 0x7F7F7Fu}}) {
      for (int j = 0; j < mesh->faceCount; ++j) mesh->faces[j].colour = colour;
    }
    esfera.cullBackFaces = 1;
    columna.cullBackFaces = 1;
  }
};

SceneMeshes& meshes() {
  static SceneMeshes m;
  return m;
}

bool prepare(benchmark::State& state) {
  buildTrigTables();
  setUp3D();
  if (!meshes().loaded) {
    state.SkipWithError("generated meshes not found: build tolvarin_data or set TOLVARIN_DATA_DIR");
    return false;
  }
  lightDirection = meshes().light;
  return true;
}

// Phase 1 at its closest pose (frame 150: logo and column at z = 112, the
// sphere at z = 270), the logo's swing angle and the spin advancing per frame.
void BM_Scene3DPhase1Frame(benchmark::State& state) {
  if (!prepare(state)) return;
  SceneMeshes& m = meshes();
  std::vector<Pixel> frame(kFramePixels);
  int f = 149;
  for (auto _ : state) {
    const int t = static_cast<int>(sinTable[f % 360] * 180 + 180);
    const int s = f % 360 + 1;
    m.qx.rotate(90, t, 1);
    m.esfera.rotate(s, s, s);
    m.columna.rotate(90, 0, 1);
    halveRotated(m.qx);
    m.qx.setPosition(0, 20, 112);
    m.columna.setPosition(0, 20, 112);
    fillFrame(frame.data(), 0);
    m.esfera.setPosition(-50, -50, 270);
    m.esfera.drawObjectWire(frame.data());
    mirrorQuadrants(frame.data());
    m.columna.drawObjectFlat(frame.data());
    m.qx.drawObjectFlat(frame.data());
    clearDepthBuffer();
    benchmark::DoNotOptimize(frame.data());
    f = f == 300 ? 149 : f + 1;
  }
  lightDirection = nullptr;
}
BENCHMARK(BM_Scene3DPhase1Frame);

// Phase 2 with both of its per-frame branches: the sphere swinging (partly
// outside the view, so clipped), mirrored, the sinking logo, and the fade.
void BM_Scene3DPhase2Frame(benchmark::State& state) {
  if (!prepare(state)) return;
  SceneMeshes& m = meshes();
  std::vector<Pixel> frame(kFramePixels, 0x808080);
  int w = 0;
  for (auto _ : state) {
    const int s = w % 360 + 1;
    m.esfera.rotate(s, s, s);
    const double xy = cosTable[w % 360] * 75 - 75;
    m.esfera.setPosition(xy, xy, sinTable[w % 360] * 175 + 270);
    m.esfera.drawObjectWire(frame.data());
    mirrorQuadrants(frame.data());
    m.qx.rotate(90, s, 1);
    halveRotated(m.qx);
    m.qx.setPosition(0, 40, 112 + 40);
    m.qx.drawObjectFlat(frame.data());
    subtractFromBytes(frame.data(), frame.data(), 3);
    clearDepthBuffer();
    benchmark::DoNotOptimize(frame.data());
    w += 4;
  }
  lightDirection = nullptr;
}
BENCHMARK(BM_Scene3DPhase2Frame);

// The scene's globals pointed at the benchmark's meshes while it runs.
struct SceneGlobals {
  explicit SceneGlobals(SceneMeshes& m) {
    meshQx = &m.qx;
    meshEsfera = &m.esfera;
    meshColumna = &m.columna;
  }
  ~SceneGlobals() { meshQx = meshEsfera = meshColumna = nullptr; }
};

// One frame of the scene's phase 1 as Scene3D runs it: drawPhase1Frame, the
// copy to the output's surface and the depth buffer's reset (not the
// output's own present). The frames cycle through the approach (1..150) and
// one whole swing of the logo after it (151..510).
void BM_Scene3DScenePhase1(benchmark::State& state) {
  if (!prepare(state)) return;
  SceneGlobals globals(meshes());
  Scene3DSetup setup;
  std::vector<Pixel> surface(kFramePixels);
  Scene3DMotion m;
  for (auto _ : state) {
    drawPhase1Frame(m, setup.frame());
    copyFrame(setup.frame(), surface.data());
    clearDepthBuffer();
    benchmark::DoNotOptimize(surface.data());
    if (m.frames == 510) m = Scene3DMotion{};
  }
}
BENCHMARK(BM_Scene3DScenePhase1);

// One frame of phase 2 the same way, after a phase 1 of 150 frames: the
// sinking logo (8 frames), then the darkening, while the sphere slides in
// and swings, 360 frames round.
void BM_Scene3DScenePhase2(benchmark::State& state) {
  if (!prepare(state)) return;
  SceneGlobals globals(meshes());
  Scene3DSetup setup;
  std::vector<Pixel> surface(kFramePixels);
  Scene3DMotion start;
  for (int i = 0; i < 150; ++i) stepPhase1(start);
  startPhase2(start);
  Scene3DMotion m = start;
  for (auto _ : state) {
    drawPhase2Frame(m, setup.frame());
    copyFrame(setup.frame(), surface.data());
    clearDepthBuffer();
    benchmark::DoNotOptimize(surface.data());
    if (m.frames == 150 + 360) m = start;
  }
}
BENCHMARK(BM_Scene3DScenePhase2);

// One shaded triangle of about 2000 pixels, a little nearer each time so that
// every pixel passes the depth test.
void BM_FillFlatTriangle(benchmark::State& state) {
  buildTrigTables();
  setUp3D();
  const double light[3] = {0.0, 0.6, -0.8};
  lightDirection = light;
  std::vector<Pixel> frame(kFramePixels);
  MeshVertex a, b, c;
  a.screenX = 100, a.screenY = 80;
  b.screenX = 170, b.screenY = 95;
  c.screenX = 120, c.screenY = 145;
  a.camera = Vec3{-10, -5, 100};
  b.camera = Vec3{12, -3, 104};
  c.camera = Vec3{-5, 9, 102};
  double z = 1000.0;
  for (auto _ : state) {
    a.camera.z = b.camera.z = c.camera.z = z;
    fillFlatTriangle(&a, &b, &c, 0xC8B360, frame.data());
    z = z > 1.0 ? z - 0.001 : 1000.0;
    benchmark::DoNotOptimize(frame.data());
  }
  int drawn = 0;
  for (Pixel p : frame) drawn += p != 0;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * drawn);
  state.counters["pixels"] = drawn;
  lightDirection = nullptr;
}
BENCHMARK(BM_FillFlatTriangle);

}  // namespace
