#pragma once
// Working images of the picture generator: a scalar field and an RGB canvas,
// both in doubles, row-major, top row first. Colours are 0..1 per channel.
#include <cstdint>
#include <vector>

#include "formats/g_writer.h"

namespace tolvarin::gen {

struct Rgb {
  double r = 0.0;
  double g = 0.0;
  double b = 0.0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
Rgb mixRgb(Rgb a, Rgb b, double t);
// Colour from a 0xRRGGBB literal.
Rgb hexRgb(std::uint32_t rgb);
// Screen blend, used for glows: 1 - (1 - a)(1 - b).
Rgb screen(Rgb a, Rgb b);
Rgb clampRgb(Rgb c);

// A scalar image (heights, masks, distances).
class Field {
 public:
  Field() = default;
  Field(int width, int height, double fill = 0.0);
  int width() const { return width_; }
  int height() const { return height_; }
  double& at(int x, int y) { return data_[static_cast<std::size_t>(y) * width_ + x]; }
  double at(int x, int y) const { return data_[static_cast<std::size_t>(y) * width_ + x]; }
  // Clamped to the edge.
  double clampedAt(int x, int y) const;
  // Wrapped around both edges.
  double wrappedAt(int x, int y) const;
  // Bilinear sample at (x, y) in pixel units, clamped to the edge.
  double sample(double x, double y) const;
  std::vector<double>& data() { return data_; }
  const std::vector<double>& data() const { return data_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<double> data_;
};

// An RGB image.
class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Rgb fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb& at(int x, int y) { return data_[static_cast<std::size_t>(y) * width_ + x]; }
  const Rgb& at(int x, int y) const { return data_[static_cast<std::size_t>(y) * width_ + x]; }
  Rgb sample(double x, double y) const;
  std::vector<Rgb>& data() { return data_; }
  const std::vector<Rgb>& data() const { return data_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> data_;
};

// Separable box blur repeated `passes` times (three passes approximate a
// Gaussian). `wrap` treats the field as a tile; otherwise edges clamp.
void boxBlur(Field& field, int radius, int passes = 3, bool wrap = false);
void boxBlur(Canvas& canvas, int radius, int passes = 3, bool wrap = false);

// Alpha-composites `colour` into the canvas with coverage `alpha` (0..1).
inline void blend(Rgb& dst, Rgb colour, double alpha) { dst = mixRgb(dst, colour, alpha); }

// 24-bit picture: channels 0..1 to bytes with rounding; `dither` adds a 4x4
// ordered dither of one step to hide banding in smooth gradients.
formats::RgbImage toRgbImage(const Canvas& canvas, bool dither = false);

}  // namespace tolvarin::gen
