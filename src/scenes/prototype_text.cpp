// PrototypeText: a tall picture pans up and down behind a light spot bent by
// its matching relief, with three lines of text in the top-left corner. The
// words are separated by closing parentheses redefined as wide blank glyphs.
#include "scenes/prototype_text.h"

#include <memory>

#include "assets/bitmap_font.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/sampling_blits.h"
#include "platform/trace.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

// The light reads relief rows v .. v + 239 (base rows v + 1 .. v + 238) with
// v up to 199.
constexpr int kTallRows = 439;

// Turns the first closing-parenthesis record into the word gap: a blank
// rectangle of the sheet, and a pen move of 15 + 2 = 17 pixels. The shared
// table keeps the change, for both fonts, until initGlyphTable runs again.
// Returns the record's index.
int blankParenthesis() {
  for (int n = 0; n < kGlyphTableSize; ++n) {
    Glyph& g = glyphTable[n];
    if (g.code != ')') continue;
    g.x = kWordGap.x;
    g.y = kWordGap.y;
    g.width = kWordGap.width;
    g.height = kWordGap.height;
    return n;
  }
  return 0;  // initGlyphTable always provides one
}

void drawCaption(int x, int y, const char* text, Pixel* target) {
  if (font2 != nullptr) font2->drawText(x, y, text, target);
}

}  // namespace

int prototypePanRow(int i) { return static_cast<int>(99.0 * sinTable[i % 360] + 100.0); }

void PrototypeText() {
  TraceScope scene("PrototypeText");
  const Pixel* base = picturePixels(imgEllas, kFrameWidth, kTallRows);
  const Pixel* relief = picturePixels(imgEllasMap, kFrameWidth, kTallRows);
  // The frame is composed in the demo's scratch frame (a buffer of our own
  // when run without the demo sequence).
  FrameBuffer ownScratch;
  Pixel* scratch = scratchFrame;
  if (scratch == nullptr) {
    ownScratch = allocateFrame();
    scratch = ownScratch.get();
  }

  initGlyphTable();
  if (font2 != nullptr) font2->inverted = true;
  // The pan angle starts at the record's index: 68, so the first row is 191.
  int i = blankParenthesis();
  int j = 0;
  int syncCount = 0;
  if (keyPending()) return;

  for (;;) {
    const int v = prototypePanRow(i);
    const int offsetY = static_cast<int>(100.0 * cosTable[(j + 150) % 360] - 120.0);
    bumpLight(lightOffsetX(j), offsetY, base + v * kFrameWidth, scratch, relief + v * kFrameWidth, 0);
    drawCaption(10, 10, "This)is)the)prototype)of", scratch);
    drawCaption(10, 35, "female)sex)in", scratch);
    drawCaption(10, 60, "Quarnel)planet.", scratch);
    Pixel* frame = display().lock();
    copyFrame(scratch, frame);
    showFrame();

    j = (j + 30) % 360;
    // Only i mod 360 is ever used, so i is kept reduced and cannot overflow.
    i = (i + 4) % 360;
    if (takeSync()) ++syncCount;
    if (syncCount == 2) return;
    if (keyPending()) return;
  }
}

}  // namespace tolvarin
