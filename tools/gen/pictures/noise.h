#pragma once
// Gradient noise and its fractal sums, optionally periodic so that a texture
// made from it tiles. Coordinates are in lattice cells.
#include <cstdint>

namespace tolvarin::gen {

// Which lattice period to wrap at; 0 means no wrap on that axis.
struct NoisePeriod {
  int x = 0;
  int y = 0;
};

// Perlin-style gradient noise, roughly in [-1, 1], 0 at lattice points.
double gradientNoise(double x, double y, std::uint32_t seed, NoisePeriod period = {});

struct FbmParams {
  int octaves = 5;
  double gain = 0.5;          // amplitude factor per octave
  NoisePeriod period = {};    // period of the first octave; doubled per octave
};

// Sum of octaves (frequency doubles each octave), normalised to about [-1, 1].
double fbm(double x, double y, std::uint32_t seed, const FbmParams& params);

// Ridged multifractal variant: sharp crests, in [0, 1].
double ridged(double x, double y, std::uint32_t seed, const FbmParams& params);

}  // namespace tolvarin::gen
