#pragma once
// The group logo as one composition, shared by the three pictures that carry
// it: quarnel.g (chrome), qx.g (brass and enamel) and qxmap1.g (its relief).
// The QX emblem, a ring with the tail of a Q crossed by an X, with a bar
// across its middle on which the name QUARNEL stands. All three draw it at
// the same place and size, so the relief bends the light along the bevels
// of whichever logo picture lies under it.
//
// Placement: centred on (160, 120), where the logo zoom centres, and kept
// within rows 0..199, the only rows the rotating zoom reads (it repeats them
// 320 columns across and, past a gap, 64 columns over below). The ground
// patterns repeat every 32 columns and 40 rows, which divides both 320 x 240
// (the logo zoom's tiles) and 64 x 200, so the tiles of both zooms meet
// without seams.
#include "canvas.h"

namespace tolvarin::gen {

inline constexpr int kLogoWidth = 320;
inline constexpr int kLogoHeight = 240;
inline constexpr double kLogoCx = 160.0;
inline constexpr double kLogoCy = 120.0;
inline constexpr int kGroundPeriodX = 32;
inline constexpr int kGroundPeriodY = 40;
// The last row the logo may touch.
inline constexpr int kLogoLastRow = 199;

struct LogoLayers {
  // Signed distances in pixels at the pixel centres (< 0 inside), bottom to top.
  Field ring;     // the ring with its tail
  Field cross;    // the X with its boss
  Field bar;      // the bar across the middle
  Field letters;  // QUARNEL on the bar
  Field height;   // the relief, 0..1 (the ground at 0 between its seams)
};

// Computed once, then shared (read only) by the three makers.
const LogoLayers& logoLayers();

// The ground's diamond lattice (period kGroundPeriodX x kGroundPeriodY):
// distance in pixels from (x, y) to the nearest seam, and which of the two
// diamonds of the period the point is in (0 or 1).
struct GroundCell {
  double seam;
  int parity;
};
GroundCell groundCell(double x, double y);

}  // namespace tolvarin::gen
