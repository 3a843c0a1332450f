#pragma once
// A large RGB image the tool lays panels out on: loaded pictures (scaled down
// or brightened) and frames, each under a label, packed in shelves.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx2d/framebuffer.h"

namespace tolvarin::gen {
class FontFace;
}

namespace tolvarin::assets_tool {

// A block of pixels to place on the sheet.
struct Panel {
  std::string label;
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;
};

// Panel from a picture's pixels: every `shrink`-th block averaged (1 or 2),
// each channel multiplied by `gain` and clamped (4 shows an 8-bit picture's
// 0..63 channels at full range).
Panel makePanel(const std::string& label, const Pixel* pixels, int width, int height, int shrink,
                int gain);

// Where each panel goes: shelf packing, in order, starting a new row when a
// panel does not fit across `sheetWidth` or is much taller than the row's
// first. Positions are the panels' top-left corners including their label.
struct PanelPlace {
  int x;
  int y;
};
struct Layout {
  std::vector<PanelPlace> places;
  int height = 0;  // of the whole sheet
};
inline constexpr int kSheetGap = 6;
inline constexpr int kLabelHeight = 14;
Layout layoutPanels(const std::vector<Panel>& panels, int sheetWidth);

class Sheet {
 public:
  // A sheet `width` pixels wide; panels are packed left to right in rows.
  explicit Sheet(int width);
  ~Sheet();
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  void add(const Panel& panel);
  // Lays out the panels so far and writes the PNG; false when it cannot.
  [[nodiscard]] bool write(const std::string& path) const;

 private:
  int width_;
  std::vector<Panel> panels_;
  std::unique_ptr<gen::FontFace> font_;
};

}  // namespace tolvarin::assets_tool
