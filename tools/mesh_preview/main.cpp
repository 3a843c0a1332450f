// tolvarin-mesh-preview DATA_DIR OUT_DIR
//
// Loads qx.d, esfera.d and Columna.d from DATA_DIR and replays the poses of
// the 3D scene frame by frame without the display or the music: phase 1 for
// 300 frames, then phase 2. Chosen frames are written to OUT_DIR as PNGs
// (p1_0001.png, p2_0010.png, ...) plus one contact sheet, sheet.png.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/framebuffer.h"
#include "gfx2d/trig_tables.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"
#include "png/png_writer.h"

using namespace tolvarin;

namespace {

constexpr int kPhase1Frames = 300;
const int kPhase1Shots[] = {1, 14, 30, 90, 150, 200, 300};
const int kPhase2Shots[] = {1, 8, 25, 60, 120, 200};

// Each byte of each pixel less 3, stopping at 0 (the phase-2 fade).
void darken(Pixel* frame) {
  for (int i = 0; i < kFramePixels; ++i) {
    Pixel p = frame[i], out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const Pixel byte = (p >> shift) & 0xFFu;
      out |= (byte > 3 ? byte - 3 : 0) << shift;
    }
    frame[i] = out;
  }
}

void halveRotated(Mesh& mesh) {
  for (int i = 0; i < mesh.vertexCount; ++i) {
    Vec3& r = mesh.vertices[i].rotated;
    r = Vec3{r.x / 2, r.y / 2, r.z / 2};
  }
}

void setColour(Mesh& mesh, std::uint32_t colour) {
  for (int i = 0; i < mesh.faceCount; ++i) mesh.faces[i].colour = colour;
}

bool contains(const int* first, const int* last, int value) {
  for (; first != last; ++first) {
    if (*first == value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tolvarin-mesh-preview DATA_DIR OUT_DIR\n");
    return 2;
  }
  const std::filesystem::path data = argv[1], out = argv[2];
  std::filesystem::create_directories(out);
  Mesh qx, esfera, columna;
  for (auto [mesh, name] : {std::pair{&qx, data::qxMesh.name}, {&esfera, data::esferaMesh.name}, {&columna, data::columnaMesh.name}}) {
    if (!mesh->load((data / name).string().c_str())) {
      std::fprintf(stderr, "tolvarin-mesh-preview: cannot load %s\n", (data / name).c_str());
      return 1;
    }
    std::printf("%-10s %5d vertices %5d faces\n", name, mesh->vertexCount, mesh->faceCount);
  }
  buildTrigTables();
  setUp3D();
  setColour(esfera, 0xFFFFFF);
  setColour(columna, 0x7F7F7F);
  setColour(qx, 0xC8B360);
  const double light[3] = {1.0 / std::sqrt(3.0), 1.0 / std::sqrt(3.0), -1.0 / std::sqrt(3.0)};
  lightDirection = light;
  esfera.cullBackFaces = 1;
  columna.cullBackFaces = 1;

  std::vector<Pixel> frame(kFramePixels, 0);
  std::vector<std::vector<Pixel>> shots;
  auto save = [&](const std::string& name) {
    if (!writePng((out / name).string(), kFrameWidth, kFrameHeight, frame.data(), kFrameWidth)) {
      std::fprintf(stderr, "tolvarin-mesh-preview: cannot write %s\n", name.c_str());
    }
    shots.push_back(frame);
  };

  int f = 0, s = 0, p = 150, q = 410;
  double zLogo = 245.0, zSphere = 0.0;
  for (int n = 1; n <= kPhase1Frames; ++n) {
    const int t = static_cast<int>(sinTable[f % 360] * 180 + 180);
    ++f, q -= 2, ++s, --p;
    qx.rotate(90, t, 1);
    esfera.rotate(s, s, s);
    columna.rotate(90, 0, 1);
    halveRotated(qx);
    if (q > 380) {
      zSphere = p;
      zLogo = q;
    } else if (q >= 110) {
      zSphere = f + 120;
      if (q > 110) zLogo = q;
    }
    qx.setPosition(0, 20, zLogo);
    columna.setPosition(0, 20, zLogo);
    fillFrame(frame.data(), 0);
    esfera.setPosition(-50, -50, zSphere);
    esfera.drawObjectWire(frame.data());
    mirrorQuadrants(frame.data());
    columna.drawObjectFlat(frame.data());
    qx.drawObjectFlat(frame.data());
    clearDepthBuffer();
    if (contains(std::begin(kPhase1Shots), std::end(kPhase1Shots), n)) {
      char name[32];
      std::snprintf(name, sizeof name, "p1_%04d.png", n);
      save(name);
    }
  }

  int k = 0, w = 0;
  double yLogo = 20.0;
  p = 150 - s;
  q = s + 120;
  for (int n = 1; n <= 200; ++n) {
    ++f, ++s, --p, ++q;
    const int t = static_cast<int>(sinTable[f % 360] * 180 + 180);
    esfera.rotate(s, s, s);
    if (s < 15) {
      zSphere = p;
    } else if (s < 150) {
      zSphere = q;
    }
    k += 2;
    double xy;
    if (k < 50) {
      xy = k - 50;
    } else {
      xy = cosTable[w % 360] * 75 - 75;
      if (w >= 360) zSphere = sinTable[w % 360] * 175 + 270;
      w += 4;
    }
    esfera.setPosition(xy, xy, zSphere);
    esfera.drawObjectWire(frame.data());
    mirrorQuadrants(frame.data());
    if (yLogo < 60.0) {
      qx.rotate(90, t, 1);
      halveRotated(qx);
      qx.setPosition(0, yLogo, yLogo + zLogo);
      qx.drawObjectFlat(frame.data());
      yLogo += 5;
    } else {
      darken(frame.data());
    }
    clearDepthBuffer();
    if (contains(std::begin(kPhase2Shots), std::end(kPhase2Shots), n)) {
      char name[32];
      std::snprintf(name, sizeof name, "p2_%04d.png", n);
      save(name);
    }
  }

  // Contact sheet: four shots per row, one pixel of grey between them.
  const int columns = 4, rows = static_cast<int>((shots.size() + columns - 1) / columns);
  const int sheetW = columns * (kFrameWidth + 1), sheetH = rows * (kFrameHeight + 1);
  std::vector<Pixel> sheet(static_cast<std::size_t>(sheetW) * sheetH, 0x404040);
  for (std::size_t i = 0; i < shots.size(); ++i) {
    const int ox = static_cast<int>(i % columns) * (kFrameWidth + 1);
    const int oy = static_cast<int>(i / columns) * (kFrameHeight + 1);
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) {
        sheet[static_cast<std::size_t>(oy + y) * sheetW + ox + x] = shots[i][y * kFrameWidth + x];
      }
    }
  }
  if (!writePng((out / "sheet.png").string(), sheetW, sheetH, sheet.data(), sheetW)) return 1;
  return 0;
}
