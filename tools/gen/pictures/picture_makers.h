#pragma once
// One maker per data picture. 8-bit pictures come back as IndexedImage (their
// colours are what the picture shows once loaded, each palette byte / 4),
// 24-bit pictures as RgbImage.
#include "formats/g_writer.h"

namespace tolvarin::gen {

// The QX emblem and its relief (emblem.cpp).
formats::IndexedImage makeQxMap();
formats::IndexedImage makeQx();
// The group logo (logo.cpp).
formats::IndexedImage makeQuarnel();
// The two backgrounds under the light sweeps (backgrounds.cpp).
formats::IndexedImage makeHofobia();
formats::IndexedImage makeHofobia2();
// The eyes (eyes.cpp) and the lone figure (alone.cpp).
formats::RgbImage makeOjs();
formats::RgbImage makeAlone();
// The strobe pictures (strobes.cpp).
formats::RgbImage makeWave();
formats::RgbImage makeMetal();
// A picture with the relief that lights it, made together.
struct PicturePair {
  formats::IndexedImage picture;
  formats::IndexedImage relief;
};
// The tall figure (ellas.g) and its relief (ellasmap.g), 320 x 480 (figure.cpp).
PicturePair makeEllasPair();
// The tunnel texture, 256 x 256, tiling (tunnel_texture.cpp).
formats::RgbImage makeTunel();
// The closing picture (credits_picture.cpp).
formats::RgbImage makeCreds();
// The font sheet, 320 x 128 (font_sheet.cpp).
formats::IndexedImage makeFontSheet();

}  // namespace tolvarin::gen
