// Fuzz target for text drawing: random positions and strings, the inverted
// flag, edits of the glyph table and a small random sheet. Every write must
// stay inside the 320x240 target and every read inside the sheet; the
// sanitizers check both, since both buffers are allocated to their exact size.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/bitmap_font.h"

namespace {

tolvarin::BitmapFont& font() {
  // No sheet file: each input installs its own sheet.
  static tolvarin::BitmapFont instance("/nonexistent/fuzz-sheet.g", tolvarin::glyphTable, 77, 0);
  return instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvarin;
  FuzzedDataProvider input(data, size);
  BitmapFont& f = font();

  initGlyphTable();
  const int edits = input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < edits; ++i) {
    Glyph& g = glyphTable[input.ConsumeIntegralInRange(0, kGlyphTableSize - 1)];
    g.code = input.ConsumeIntegral<std::uint8_t>();
    g.x = input.ConsumeIntegralInRange(-1000, 1000);
    g.y = input.ConsumeIntegralInRange(-1000, 1000);
    g.width = input.ConsumeIntegralInRange(-400, 1000);
    g.height = input.ConsumeIntegralInRange(-400, 1000);
    g.spacing = input.ConsumeIntegralInRange(-400, 400);
  }
  f.glyphCount = input.ConsumeIntegralInRange(0, kGlyphTableSize);
  f.inverted = input.ConsumeBool();
  f.keyColour = input.ConsumeBool() ? 0u : input.ConsumeIntegral<std::uint32_t>();

  // Sheet: absent, or up to 400x140 pixels of input bytes.
  const bool hasSheet = input.ConsumeIntegralInRange(0, 7) != 0;
  const auto sheetWidth = input.ConsumeIntegralInRange<std::uint16_t>(1, 400);
  const auto sheetHeight = input.ConsumeIntegralInRange<std::uint16_t>(1, 140);
  f.image->pixels.reset();
  f.image->width = sheetWidth;
  f.image->height = sheetHeight;
  if (hasSheet) {
    f.image->pixels.reset(new Pixel[std::size_t{sheetWidth} * sheetHeight]);
    const Pixel fill = input.ConsumeIntegral<std::uint32_t>();
    for (std::size_t i = 0; i < std::size_t{sheetWidth} * sheetHeight; ++i) {
      f.image->pixels[i] = (i % 3 == 0) ? f.keyColour : fill ^ static_cast<Pixel>(i);
    }
  }

  std::vector<Pixel> target(kFramePixels);
  while (input.remaining_bytes() > 0) {
    const int px = input.ConsumeIntegralInRange(-100000, 100000);
    const int py = input.ConsumeIntegralInRange(-100000, 100000);
    if (input.ConsumeBool()) {
      f.drawGlyph(px, py, input.ConsumeIntegral<unsigned char>(), target.data());
    } else {
      const std::string text = input.ConsumeRandomLengthString(64);
      f.drawText(px, py, text.c_str(), target.data());
    }
  }
  return 0;
}
