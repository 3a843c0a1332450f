#include "canvas.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"

namespace tolvarin::gen {

Rgb mixRgb(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb hexRgb(std::uint32_t rgb) {
  return {((rgb >> 16U) & 0xFFU) / 255.0, ((rgb >> 8U) & 0xFFU) / 255.0, (rgb & 0xFFU) / 255.0};
}

Rgb screen(Rgb a, Rgb b) {
  return {1.0 - (1.0 - a.r) * (1.0 - b.r), 1.0 - (1.0 - a.g) * (1.0 - b.g),
          1.0 - (1.0 - a.b) * (1.0 - b.b)};
}

Rgb clampRgb(Rgb c) { return {clamp01(c.r), clamp01(c.g), clamp01(c.b)}; }

Field::Field(int width, int height, double fill)
    : width_(width), height_(height), data_(static_cast<std::size_t>(width) * height, fill) {}

double Field::clampedAt(int x, int y) const {
  return at(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1));
}

double Field::wrappedAt(int x, int y) const {
  x %= width_;
  y %= height_;
  return at(x < 0 ? x + width_ : x, y < 0 ? y + height_ : y);
}

double Field::sample(double x, double y) const {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const double tx = x - fx;
  const double ty = y - fy;
  const double top = mix(clampedAt(ix, iy), clampedAt(ix + 1, iy), tx);
  const double bottom = mix(clampedAt(ix, iy + 1), clampedAt(ix + 1, iy + 1), tx);
  return mix(top, bottom, ty);
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), data_(static_cast<std::size_t>(width) * height, fill) {}

Rgb Canvas::sample(double x, double y) const {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int x0 = std::clamp(static_cast<int>(fx), 0, width_ - 1);
  const int y0 = std::clamp(static_cast<int>(fy), 0, height_ - 1);
  const int x1 = std::min(x0 + 1, width_ - 1);
  const int y1 = std::min(y0 + 1, height_ - 1);
  const double tx = std::clamp(x - fx, 0.0, 1.0);
  const double ty = std::clamp(y - fy, 0.0, 1.0);
  return mixRgb(mixRgb(at(x0, y0), at(x1, y0), tx), mixRgb(at(x0, y1), at(x1, y1), tx), ty);
}

namespace {

// One box-blur pass over a line of `count` values spaced `stride` apart.
template <typename T>
void blurLine(T* line, int count, int stride, int radius, bool wrap, std::vector<T>& scratch) {
  scratch.resize(static_cast<std::size_t>(count));
  auto get = [&](int i) -> const T& {
    if (wrap) {
      i %= count;
      if (i < 0) i += count;
    } else {
      i = std::clamp(i, 0, count - 1);
    }
    return line[static_cast<std::ptrdiff_t>(i) * stride];
  };
  const double norm = 1.0 / (2 * radius + 1);
  T sum = get(-radius) * 0.0;
  for (int i = -radius; i <= radius; ++i) sum = sum + get(i);
  for (int i = 0; i < count; ++i) {
    scratch[i] = sum * norm;
    sum = sum + get(i + radius + 1) - get(i - radius);
  }
  for (int i = 0; i < count; ++i) line[static_cast<std::ptrdiff_t>(i) * stride] = scratch[i];
}

template <typename T>
void blurImage(std::vector<T>& data, int width, int height, int radius, int passes, bool wrap) {
  if (radius <= 0) return;
  std::vector<T> scratch;
  for (int p = 0; p < passes; ++p) {
    for (int y = 0; y < height; ++y) {
      blurLine(data.data() + static_cast<std::size_t>(y) * width, width, 1, radius, wrap, scratch);
    }
    for (int x = 0; x < width; ++x) blurLine(data.data() + x, height, width, radius, wrap, scratch);
  }
}

}  // namespace

void boxBlur(Field& field, int radius, int passes, bool wrap) {
  blurImage(field.data(), field.width(), field.height(), radius, passes, wrap);
}

void boxBlur(Canvas& canvas, int radius, int passes, bool wrap) {
  blurImage(canvas.data(), canvas.width(), canvas.height(), radius, passes, wrap);
}

formats::RgbImage toRgbImage(const Canvas& canvas, bool dither) {
  static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  formats::RgbImage image;
  image.width = canvas.width();
  image.height = canvas.height();
  image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  std::size_t o = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb c = canvas.at(x, y);
      const double offset = dither ? (kBayer[y & 3][x & 3] + 0.5) / 16.0 : 0.5;
      for (double v : {c.r, c.g, c.b}) {
        const double scaled = std::floor(clamp01(v) * 255.0 + offset);
        image.rgb[o++] = static_cast<std::uint8_t>(std::clamp(scaled, 0.0, 255.0));
      }
    }
  }
  return image;
}

}  // namespace tolvarin::gen
