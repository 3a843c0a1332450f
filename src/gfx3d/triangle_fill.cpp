// The flat and textured fillers: one scan converter, two span painters.
//
// Edges step in 16.16 fixed point (64-bit here, so that huge screen positions
// cannot overflow; for on-screen triangles the values are those of 32-bit
// arithmetic), depth in doubles, linearly in screen space.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "gfx2d/framebuffer.h"
#include "gfx3d/raster.h"

namespace tolvarin {

namespace {

constexpr std::int64_t kOne = 65536;  // 1.0 in 16.16
// Rows and columns off the top or left are stepped past one by one up to
// this many (so depth sums are exactly those of drawing them); beyond it the
// values jump there by one multiplication.
constexpr std::int64_t kExactSkip = 4096;

struct Corner {
  std::int64_t x, y;
  double z;
  std::int64_t u, v;
};

Corner cornerOf(const MeshVertex* m) {
  return Corner{m->screenX, m->screenY, m->camera.z, m->u, m->v};
}

// One edge walked row by row: x, u, v in 16.16, z as a double.
struct Edge {
  std::int64_t x = 0, dx = 0;
  double z = 0.0, dz = 0.0;
  std::int64_t u = 0, du = 0, v = 0, dv = 0;

  Edge(const Corner& from, const Corner& to)
      : x(from.x * kOne), z(from.z), u(from.u * kOne), v(from.v * kOne) {
    const std::int64_t height = to.y - from.y;
    if (height > 0) {
      dx = (to.x - from.x) * kOne / height;  // truncating, like the 32-bit division
      dz = (to.z - from.z) / static_cast<double>(height);
      du = (to.u - from.u) * kOne / height;
      dv = (to.v - from.v) * kOne / height;
    }
  }

  void step() {
    x += dx;
    z += dz;
    u += du;
    v += dv;
  }

  // k never exceeds the edge's height, so k * dx stays within |to.x - from.x| << 16.
  void skip(std::int64_t k) {
    if (k <= kExactSkip) {
      for (std::int64_t i = 0; i < k; ++i) step();
      return;
    }
    x += k * dx;
    z += static_cast<double>(k) * dz;
    u += k * du;
    v += k * dv;
  }
};

// Stores colour and depth at (x, y) when nothing is there yet or the new
// surface is nearer; equal depth keeps the old pixel.
inline bool depthTest(std::int64_t index, double z) {
  const std::int32_t d = depthFromZ(z);
  const std::int32_t old = depthBuffer[index];
  if (d < old || old == -1) {
    depthBuffer[index] = d;
    return true;
  }
  return false;
}

struct FlatPainter {
  Pixel colour;
  Pixel* frame;

  void span(std::int64_t y, const Edge& a, const Edge& b) const {
    // Columns truncate toward zero: -1.5 gives -1.
    std::int64_t left = a.x / kOne;
    std::int64_t right = b.x / kOne;
    double zLeft = a.z, zRight = b.z;
    if (right < left) {
      std::swap(left, right);
      std::swap(zLeft, zRight);
    }
    if (right <= left) return;
    const double dz = (zRight - zLeft) / static_cast<double>(right - left);
    double z = zLeft;
    std::int64_t x = left;
    if (x < 0) {
      const std::int64_t k = std::min<std::int64_t>(right, 0) - x;
      if (k <= kExactSkip) {
        for (std::int64_t i = 0; i < k; ++i) z += dz;
      } else {
        z += static_cast<double>(k) * dz;
      }
      x += k;
    }
    const std::int64_t end = std::min<std::int64_t>(right, kFrameWidth);
    const std::int64_t row = y * kFrameWidth;
    for (; x < end; ++x) {
      if (depthTest(row + x, z)) frame[row + x] = colour;
      z += dz;
    }
  }
};

struct TexturedPainter {
  const Pixel* texture;
  std::int64_t rows;
  Pixel* frame;

  void span(std::int64_t y, const Edge& a, const Edge& b) const {
    const Edge* l = &a;
    const Edge* r = &b;
    std::int64_t left = a.x / kOne;
    std::int64_t right = b.x / kOne;
    if (right < left) {
      std::swap(left, right);
      std::swap(l, r);
    }
    if (right <= left) return;
    const std::int64_t width = right - left;
    const double dz = (r->z - l->z) / static_cast<double>(width);
    // The ends' texture coordinates are cut to whole texels first.
    const std::int64_t uLeft = l->u / kOne, uRight = r->u / kOne;
    const std::int64_t vLeft = l->v / kOne, vRight = r->v / kOne;
    const std::int64_t du = (uRight - uLeft) * kOne / width;
    const std::int64_t dv = (vRight - vLeft) * kOne / width;
    double z = l->z;
    std::int64_t u = uLeft * kOne, v = vLeft * kOne;
    std::int64_t x = left;
    if (x < 0) {
      const std::int64_t k = std::min<std::int64_t>(right, 0) - x;
      if (k <= kExactSkip) {
        for (std::int64_t i = 0; i < k; ++i) z += dz;
      } else {
        z += static_cast<double>(k) * dz;
      }
      u += k * du;
      v += k * dv;
      x += k;
    }
    const std::int64_t end = std::min<std::int64_t>(right, kFrameWidth);
    const std::int64_t row = y * kFrameWidth;
    for (; x < end; ++x) {
      if (depthTest(row + x, z)) {
        // Coordinates outside the texture are held to its edge.
        const std::int64_t tu = std::clamp<std::int64_t>(u / kOne, 0, kFrameWidth - 1);
        const std::int64_t tv = std::clamp<std::int64_t>(v / kOne, 0, rows - 1);
        frame[row + x] = texture[tv * kFrameWidth + tu];
      }
      z += dz;
      u += du;
      v += dv;
    }
  }
};

// Draws rows y .. yEnd - 1 that are on screen, stepping both edges past the
// rows above it. Returns false once the bottom of the screen is reached.
template <typename Painter>
bool drawPart(std::int64_t& y, std::int64_t yEnd, Edge& longEdge, Edge& shortEdge,
              const Painter& painter) {
  if (y < 0 && yEnd > y) {
    const std::int64_t k = std::min<std::int64_t>(yEnd, 0) - y;
    longEdge.skip(k);
    shortEdge.skip(k);
    y += k;
  }
  const std::int64_t stop = std::min<std::int64_t>(yEnd, kFrameHeight);
  for (; y < stop; ++y) {
    painter.span(y, longEdge, shortEdge);
    longEdge.step();
    shortEdge.step();
  }
  return y < kFrameHeight;
}

template <typename Painter>
void scanTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                  const Painter& painter) {
  // Three compare-and-swap steps on screen y; ties keep their order.
  if (v1->screenY > v3->screenY) std::swap(v1, v3);
  if (v1->screenY > v2->screenY) std::swap(v1, v2);
  if (v2->screenY > v3->screenY) std::swap(v2, v3);
  const Corner top = cornerOf(v1), mid = cornerOf(v2), bottom = cornerOf(v3);

  Edge longEdge(top, bottom);
  Edge upper(top, mid);
  std::int64_t y = top.y;
  if (!drawPart(y, mid.y, longEdge, upper, painter)) return;
  // The long edge goes on from where the upper part left it.
  Edge lower(mid, bottom);
  drawPart(y, bottom.y, longEdge, lower, painter);
}

}  // namespace

void fillFlatTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                      std::uint32_t colour, Pixel* frame) {
  scanTriangle(v1, v2, v3, FlatPainter{shadeColour(v1, v2, v3, colour), frame});
}

void fillTexturedTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                          const Pixel* texture, Pixel* frame, std::int32_t textureRows) {
  if (!texture || textureRows <= 0) return;
  scanTriangle(v1, v2, v3, TexturedPainter{texture, textureRows, frame});
}

}  // namespace tolvarin
