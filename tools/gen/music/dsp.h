#pragma once
// Deterministic signal helpers for the music generator. The maths uses only
// +, -, *, /, floor and exact scaling by powers of two (the C library's sin
// and exp may differ in the last bit between systems), and the target is
// built without fused multiply-add, so samples come out bit-identical.
#include <cstdint>
#include <vector>

namespace tolvarin::gen::music {

inline constexpr double kPi = 3.14159265358979323846;

// sin(2 pi x): x counts whole turns, so a phase accumulator never needs
// reducing by an inexact 2 pi.
double sinTurns(double x);
double expDet(double x);
double logDet(double x);  // x > 0
// 2^x.
double pow2(double x);
// Frequency of a note number (octave * 12 + semitone; 4 * 12 + 9 = A-4 = 440 Hz).
double noteHz(int note);

// xorshift32: small seeded noise source.
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [-1, 1).
  double bipolar() { return static_cast<double>(next()) * (2.0 / 4294967296.0) - 1.0; }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next()) * (1.0 / 4294967296.0); }

 private:
  std::uint32_t state_;
};

// Second-order filter (RBJ cookbook), direct form I. Coefficients may be
// changed between samples for sweeps.
class Biquad {
 public:
  enum class Kind { LowPass, HighPass, BandPass };
  void set(Kind kind, double cutoffHz, double q, double sampleRate);
  double process(double x);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One period of sin at `size` points (sin of 2 pi i / size), for additive
// synthesis of waveforms whose every partial has a whole number of cycles.
std::vector<double> sineTable(int size);

// Evens out the slow swell of a looped chorus: the loop's level, measured
// over a circular window of `window` samples, is pulled towards its mean by
// `strength` (0 = unchanged, 1 = flat). Keeps the loop seamless and gives
// the mix headroom, as a gentle compressor would.
void evenLoopLevel(std::vector<double>& loop, int window, double strength);
// Scales so that the largest magnitude becomes `peak` (0..1 of full scale).
void normalize(std::vector<double>& signal, double peak);
// Short linear ramps at both ends, so a one-shot starts and stops without a click.
void fadeEnds(std::vector<double>& signal, int fadeIn, int fadeOut);
// Rounds to 16-bit PCM, clamping to the range.
std::vector<std::int16_t> toPcm16(const std::vector<double>& signal);

}  // namespace tolvarin::gen::music
