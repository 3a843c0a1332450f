// Drum and effect sounds: pitch-swept sines, filtered noise and the square
// clusters of analogue hi-hats.
#include <cmath>

#include "gen/music/dsp.h"
#include "gen/music/samples.h"

namespace tolvarin::gen::music {
namespace {

constexpr double kDrumRate = 44100.0;

std::vector<double> silence(double seconds, double rate) {
  return std::vector<double>(static_cast<std::size_t>(seconds * rate), 0.0);
}

// Six detuned square waves: the metallic body of a hat or cymbal.
double metal(double t, double scale) {
  static constexpr double kHz[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  double s = 0.0;
  for (double f : kHz) s += sinTurns(f * scale * t) >= 0.0 ? 1.0 : -1.0;
  return s / 6.0;
}

std::vector<double> hat(double seconds, double decay, std::uint32_t seed) {
  auto out = silence(seconds, kDrumRate);
  Rng rng(seed);
  Biquad hp;
  hp.set(Biquad::Kind::HighPass, 7000.0, 0.8, kDrumRate);
  Biquad hp2;
  hp2.set(Biquad::Kind::HighPass, 5000.0, 0.7, kDrumRate);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kDrumRate;
    const double raw = 0.55 * rng.bipolar() + 0.45 * metal(t, 2.0);
    out[i] = hp2.process(hp.process(raw)) * expDet(-t / decay);
  }
  fadeEnds(out, 8, 400);
  normalize(out, 0.9);
  return out;
}

}  // namespace

int c2spdFor(double sampleRate, int baseNote) {
  return static_cast<int>(std::floor(sampleRate * pow2((4 * 12 - baseNote) / 12.0) + 0.5));
}

Voice makeKick() {
  auto out = silence(0.42, kDrumRate);
  Rng rng(0x4B1C4B1Cu);
  Biquad clickHp;
  clickHp.set(Biquad::Kind::HighPass, 2500.0, 0.7, kDrumRate);
  double phase = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kDrumRate;
    const double hz = 52.0 + 110.0 * expDet(-t / 0.03) + 260.0 * expDet(-t / 0.005);
    phase += hz / kDrumRate;
    double body = sinTurns(phase) * expDet(-t / 0.2) * 1.25;
    body = body - body * body * body / 3.0;  // soft saturation: fuller, rounder
    const double click = clickHp.process(rng.bipolar()) * expDet(-t / 0.0015) * 0.35;
    out[i] = body + click;
  }
  fadeEnds(out, 4, 1200);
  normalize(out, 0.97);
  return {"kick", out, static_cast<int>(kDrumRate)};
}

Voice makeSnare() {
  auto out = silence(0.32, kDrumRate);
  Rng rng(0x5A4E5A4Eu);
  Biquad hp, lp;
  hp.set(Biquad::Kind::HighPass, 1400.0, 0.7, kDrumRate);
  lp.set(Biquad::Kind::LowPass, 9000.0, 0.7, kDrumRate);
  double p1 = 0.0, p2 = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kDrumRate;
    p1 += (182.0 + 70.0 * expDet(-t / 0.012)) / kDrumRate;
    p2 += 334.0 / kDrumRate;
    const double body = 0.65 * sinTurns(p1) * expDet(-t / 0.05) + 0.3 * sinTurns(p2) * expDet(-t / 0.03);
    // A clap's three quick bursts, then the noise tail.
    double env = expDet(-t / 0.11);
    for (double burst : {0.0, 0.009, 0.018}) {
      if (t >= burst) env += 0.8 * expDet(-(t - burst) / 0.004);
    }
    const double noise = lp.process(hp.process(rng.bipolar())) * env;
    out[i] = body + 0.9 * noise;
  }
  fadeEnds(out, 4, 800);
  normalize(out, 0.95);
  return {"snare", out, static_cast<int>(kDrumRate)};
}

Voice makeClosedHat() { return {"closed hat", hat(0.09, 0.02, 0xC105Eu), static_cast<int>(kDrumRate)}; }

Voice makeOpenHat() { return {"open hat", hat(0.45, 0.13, 0x0BE7u), static_cast<int>(kDrumRate)}; }

Voice makeCrash() {
  constexpr double kRate = 32000.0;
  auto out = silence(1.5, kRate);
  Rng rng(0xC7A5Bu);
  Biquad hp, lp;
  hp.set(Biquad::Kind::HighPass, 3500.0, 0.7, kRate);
  lp.set(Biquad::Kind::LowPass, 12000.0, 0.7, kRate);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double raw = 0.7 * rng.bipolar() + 0.3 * metal(t, 3.1);
    const double attack = t < 0.002 ? t / 0.002 : 1.0;
    out[i] = lp.process(hp.process(raw)) * attack * expDet(-t / 0.5);
  }
  fadeEnds(out, 0, 6000);
  normalize(out, 0.9);
  return {"crash", out, static_cast<int>(kRate)};
}

Voice makeRiser() {
  // Two bars at 128 BPM: noise through a band that sweeps up, swelling.
  constexpr double kRate = 22050.0;
  constexpr double kSeconds = 3.75;
  auto out = silence(kSeconds, kRate);
  Rng rng(0x815E2u);
  Biquad band;
  double tone = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double x = t / kSeconds;
    const double centre = 350.0 * pow2(x * 4.4);  // 350 Hz to about 7.4 kHz
    if (i % 16 == 0) band.set(Biquad::Kind::BandPass, centre, 3.0, kRate);
    tone += centre * 0.25 / kRate;
    const double s = band.process(rng.bipolar()) * 3.0 + 0.15 * sinTurns(tone);
    out[i] = s * (0.08 + 0.92 * x * x);
  }
  fadeEnds(out, 200, 300);
  normalize(out, 0.9);
  Voice v{"riser", out, static_cast<int>(kRate)};
  v.sixteenBit = false;  // noise needs no more than 8 bits
  return v;
}

Voice makeTom() {
  constexpr double kRate = 32000.0;
  auto out = silence(0.5, kRate);
  Rng rng(0x70Au);
  const double base = noteHz(4 * 12);
  double phase = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    phase += base * (1.0 + 0.6 * expDet(-t / 0.02)) / kRate;
    out[i] = sinTurns(phase) * expDet(-t / 0.17) + 0.25 * rng.bipolar() * expDet(-t / 0.006);
  }
  fadeEnds(out, 4, 800);
  normalize(out, 0.95);
  return {"tom", out, c2spdFor(kRate, 4 * 12)};
}

}  // namespace tolvarin::gen::music
