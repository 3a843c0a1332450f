#pragma once
// Palettes and colour reduction for the 8-bit pictures. The loader keeps only
// the top six bits of every palette byte, so all reduction happens on 6-bit
// levels (0..63) and each level v is stored as the byte v * 4 + v / 16, which
// reads back as exactly v and as a full-range colour in other viewers.
#include <array>
#include <cstdint>
#include <vector>

#include "canvas.h"
#include "formats/g_writer.h"

namespace tolvarin::gen {

using Palette = std::array<std::uint8_t, 768>;

// Palette byte for the 6-bit level v (0..63).
std::uint8_t levelToByte(int v);

// A 6-bit level from a 0..1 channel, rounded.
int channelToLevel(double v);

// Colour stops of a gradient, position 0..1.
struct GradientStop {
  double at;
  Rgb colour;
};

// Fills palette entries first..last with a gradient through the stops.
void fillGradient(Palette& palette, int first, int last, const std::vector<GradientStop>& stops);

// Colour at t (0..1) of a gradient.
Rgb gradientAt(const std::vector<GradientStop>& stops, double t);

// The 64 grey levels at entries 0..63 (entry i is level i); the rest black.
Palette greyLevels();

// The palette of the reliefs: entry i (0..63) is height i, carried in full
// by red, by 13/16 in green and 10/16 in blue. bumpLight bends each
// channel's spot by that channel's slopes, so along the bevels the spot
// parts into warm and cool fringes instead of staying white.
Palette reliefLevels();
// Picture with one palette entry per pixel from a field in 0..1 mapped
// onto entries first..last (rounded, with an optional 4x4 ordered dither).
formats::IndexedImage indexFromField(const Field& field, const Palette& palette, int first,
                                     int last, bool dither);

struct QuantiseOptions {
  int colours = 256;        // palette entries to use (entries from `reserved` on)
  int reserved = 0;         // entries 0..reserved-1 are kept as given in `fixed`
  Palette fixed{};          // source of the reserved entries
  bool dither = true;       // 4x4 ordered dither of half a level before reduction
  int refinePasses = 3;     // k-means passes after the median cut
};

// Reduces an RGB canvas (0..1, meaning the 0..63 levels the picture carries
// once loaded) to an 8-bit picture: median cut on 6-bit colours, refined by
// k-means, every pixel mapped to its nearest entry. Deterministic.
formats::IndexedImage quantise(const Canvas& canvas, const QuantiseOptions& options = {});

// The pixel colours of an 8-bit picture as the loader delivers them
// (palette byte / 4), as 0x00RRGGBB; for previews and tests.
std::vector<std::uint32_t> loadedPixels(const formats::IndexedImage& image);

}  // namespace tolvarin::gen
