#include "sheet.h"

#include <algorithm>
#include <cmath>

#include "gen/pictures/text_raster.h"
#include "png/png_writer.h"

namespace tolvarin::assets_tool {
namespace {

constexpr int kGap = kSheetGap;
constexpr Pixel kBackground = 0x202024;

}  // namespace

Panel makePanel(const std::string& label, const Pixel* pixels, int width, int height, int shrink,
                int gain) {
  shrink = std::max(1, shrink);
  Panel panel;
  panel.label = label;
  panel.width = width / shrink;
  panel.height = height / shrink;
  panel.pixels.resize(static_cast<std::size_t>(panel.width) * panel.height);
  for (int y = 0; y < panel.height; ++y) {
    for (int x = 0; x < panel.width; ++x) {
      Pixel out = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        int sum = 0;
        for (int sy = 0; sy < shrink; ++sy) {
          for (int sx = 0; sx < shrink; ++sx) {
            const Pixel p = pixels[static_cast<std::size_t>(y * shrink + sy) * width + x * shrink + sx];
            sum += static_cast<int>((p >> shift) & 0xFFU);
          }
        }
        const int value = std::min(255, sum / (shrink * shrink) * gain);
        out |= static_cast<Pixel>(value) << shift;
      }
      panel.pixels[static_cast<std::size_t>(y) * panel.width + x] = out;
    }
  }
  return panel;
}

Sheet::Sheet(int width) : width_(width), font_(std::make_unique<gen::FontFace>("DejaVuSans.ttf")) {}

Sheet::~Sheet() = default;

void Sheet::add(const Panel& panel) { panels_.push_back(panel); }

Layout layoutPanels(const std::vector<Panel>& panels, int sheetWidth) {
  // Tall pictures share a row instead of stretching a row of short ones.
  Layout layout;
  int x = kGap;
  int y = kGap;
  int rowHeight = 0;
  int rowFirstHeight = 0;
  for (const Panel& p : panels) {
    const bool taller = p.height * 2 > rowFirstHeight * 3;
    if (x > kGap && (x + p.width + kGap > sheetWidth || taller)) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    if (x == kGap) rowFirstHeight = p.height;
    layout.places.push_back({x, y});
    x += p.width + kGap;
    rowHeight = std::max(rowHeight, p.height + kLabelHeight);
  }
  layout.height = y + rowHeight + kGap;
  return layout;
}

bool Sheet::write(const std::string& path) const {
  const Layout layout = layoutPanels(panels_, width_);
  const std::vector<PanelPlace>& places = layout.places;
  const int height = layout.height;
  std::vector<Pixel> image(static_cast<std::size_t>(width_) * height, kBackground);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const Panel& p = panels_[i];
    const int px = places[i].x;
    const int py = places[i].y + kLabelHeight;
    for (int row = 0; row < p.height; ++row) {
      for (int col = 0; col < p.width && px + col < width_; ++col) {
        image[static_cast<std::size_t>(py + row) * width_ + px + col] =
            p.pixels[static_cast<std::size_t>(row) * p.width + col];
      }
    }
    // The label, light grey, anti-aliased over the background.
    const gen::TextMask text = font_->line(p.label, 11.0, 0.0, 0);
    const int top = places[i].y + kLabelHeight - 3 - text.baseline;
    for (int ty = 0; ty < text.coverage.height(); ++ty) {
      for (int tx = 0; tx < text.coverage.width(); ++tx) {
        const int ix = px + tx;
        const int iy = top + ty;
        if (ix < 0 || iy < 0 || ix >= width_ || iy >= height) continue;
        const double c = text.coverage.at(tx, ty);
        if (c <= 0.0) continue;
        Pixel& dst = image[static_cast<std::size_t>(iy) * width_ + ix];
        Pixel out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          const double b = (dst >> shift) & 0xFFU;
          out |= static_cast<Pixel>(std::lround(b + (220.0 - b) * c)) << shift;
        }
        dst = out;
      }
    }
  }
  return writePng(path, width_, height, image.data(), width_);
}

}  // namespace tolvarin::assets_tool
