// Pitched voices. Each is rendered at a rate where one cycle of its base note
// is a whole number of samples, so every partial (and every detuned copy,
// which makes a whole number of cycles per loop) indexes one sine table
// exactly and the loops join without a seam.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "gen/music/dsp.h"
#include "gen/music/samples.h"

namespace tolvarin::gen::music {
namespace {

constexpr int kC2 = 2 * 12;
constexpr int kC4 = 4 * 12;
constexpr int kC5 = 5 * 12;
// C-4 (261.625 Hz) in 128 samples; C-5 then takes 64 and C-2 takes 512.
constexpr double kToneRate = 33488.0;

// A chorus of detuned sawtooth spectra. cycles[v] is how many cycles voice v
// makes in one table length; tilt(h) weights harmonic h. Each partial starts
// at its own seeded phase: the same spectrum as a sawtooth, but without the
// sawtooth's aligned peaks, so the mix keeps more headroom.
class SawChorus {
 public:
  SawChorus(int tableSize, std::vector<int> cycles, std::vector<double> weights, int harmonics,
            std::uint32_t seed)
      : table_(sineTable(tableSize)), cycles_(std::move(cycles)), weights_(std::move(weights)), harmonics_(harmonics) {
    Rng rng(seed);
    for (std::size_t i = 0; i < cycles_.size() * static_cast<std::size_t>(harmonics_); ++i) {
      phases_.push_back(static_cast<std::int64_t>(rng.next() % static_cast<std::uint32_t>(tableSize)));
    }
  }

  template <typename Tilt>
  double at(std::int64_t n, Tilt tilt) const {
    const auto size = static_cast<std::int64_t>(table_.size());
    double s = 0.0;
    for (std::size_t v = 0; v < cycles_.size(); ++v) {
      const std::int64_t base = (cycles_[v] * n) % size;
      const std::int64_t* phase = &phases_[v * static_cast<std::size_t>(harmonics_)];
      double voice = 0.0;
      for (int h = 1; h <= harmonics_; ++h) {
        voice += tilt(h) * table_[static_cast<std::size_t>((base * h + phase[h - 1]) % size)];
      }
      s += weights_[v] * voice;
    }
    return s;
  }

 private:
  std::vector<double> table_;
  std::vector<int> cycles_;
  std::vector<double> weights_;
  int harmonics_;
  std::vector<std::int64_t> phases_;
};

}  // namespace

Voice makeBass() {
  // Base note C-2, 128 samples a cycle at a quarter of kToneRate. A saw and a
  // sub sine through a resonant low-pass that closes quickly after the attack;
  // the last eight cycles loop with the filter at rest.
  constexpr double kRate = kToneRate / 4.0;
  constexpr int kPeriod = 128;
  constexpr int kLength = kPeriod * 40;
  constexpr int kLoopStart = kLength - kPeriod * 8;
  const auto table = sineTable(kPeriod);
  std::vector<double> out(kLength);
  for (int n = 0; n < kLength; ++n) {
    const double t = static_cast<double>(std::min(n, kLoopStart)) / kRate;
    const double cutoff = 2.6 + 22.0 * expDet(-t / 0.07);  // in harmonics
    double s = 0.55 * table[static_cast<std::size_t>(n % kPeriod)];
    for (int h = 1; h < kPeriod / 2; ++h) {
      const double r = h / cutoff;
      const double d = h - cutoff;
      const double gain = (1.0 + 1.3 * expDet(-d * d / 2.0)) / std::sqrt(1.0 + r * r * r * r);
      s += gain / h * table[static_cast<std::size_t>((static_cast<std::int64_t>(n) * h) % kPeriod)];
    }
    out[static_cast<std::size_t>(n)] = s * (n < 40 ? n / 40.0 : 1.0);
  }
  normalize(out, 0.95);
  Voice v{"bass", out, c2spdFor(kRate, kC2)};
  v.loopStart = kLoopStart;
  return v;
}

Voice makeLead() {
  // Base note C-5, 64 samples a cycle: five detuned saws (a chorus of about
  // +-23 cents), 150 cycles of the centre voice per loop.
  constexpr int kLoop = 64 * 150;
  const SawChorus chorus(kLoop, {148, 149, 150, 151, 152}, {0.55, 0.8, 1.0, 0.8, 0.55}, 18, 0x1EAD);
  std::vector<double> out(kLoop);
  for (int n = 0; n < kLoop; ++n) {
    out[static_cast<std::size_t>(n)] = chorus.at(n, [](int h) {
      const double r = h / 11.0;
      return 1.0 / (h * (1.0 + r * r));
    });
  }
  evenLoopLevel(out, 256, 0.7);
  normalize(out, 0.95);
  Voice v{"lead", out, c2spdFor(kToneRate, kC5)};
  v.loopStart = 0;
  return v;
}

Voice makePluck() {
  // Base note C-5: a bright saw whose upper partials die away first.
  constexpr int kLength = 22000;
  const SawChorus saw(64, {1}, {1.0}, 14, 0x91C4);
  std::vector<double> out(kLength);
  for (int n = 0; n < kLength; ++n) {
    const double t = n / kToneRate;
    const double cutoff = 2.5 + 14.0 * expDet(-t / 0.06);
    const double s = saw.at(n, [cutoff](int h) {
      const double r = h / cutoff;
      return 1.0 / (h * (1.0 + r * r));
    });
    const double attack = n < 30 ? n / 30.0 : 1.0;
    out[static_cast<std::size_t>(n)] = s * attack * expDet(-t / 0.2);
  }
  fadeEnds(out, 0, 2000);
  normalize(out, 0.95);
  return {"pluck", out, c2spdFor(kToneRate, kC5)};
}

Voice makePad() {
  // Base note C-4, 128 samples a cycle: five soft detuned saws, a baked
  // attack of 60 cycles, then a loop of 200 cycles. Offset 0x1E (7680
  // samples) starts a note right at the loop, without the attack.
  constexpr int kAttack = 128 * 60;
  constexpr int kLoop = 128 * 200;
  const SawChorus chorus(kLoop, {197, 199, 200, 201, 203}, {0.6, 0.85, 1.0, 0.85, 0.6}, 36, 0x9AD);
  // One period of the chorus, evened out, then laid out from the start with
  // the attack's swell over the first kAttack samples.
  std::vector<double> period(kLoop);
  for (int n = 0; n < kLoop; ++n) {
    period[static_cast<std::size_t>(n)] = chorus.at(n, [](int h) {
      const double r = h / 6.5;
      return 1.0 / (h * (1.0 + r * r));
    });
  }
  evenLoopLevel(period, 512, 0.7);
  std::vector<double> out(kAttack + kLoop);
  for (int n = 0; n < kAttack + kLoop; ++n) {
    const double x = n < kAttack ? static_cast<double>(n) / kAttack : 1.0;
    out[static_cast<std::size_t>(n)] = period[static_cast<std::size_t>(n % kLoop)] * x * x * (3.0 - 2.0 * x);
  }
  normalize(out, 0.95);
  Voice v{"pad", out, c2spdFor(kToneRate, kC4)};
  v.loopStart = kAttack;
  return v;
}

Voice makeChip() {
  // Base note C-5: one cycle of a bandlimited 25% pulse, 8-bit like the
  // sound chips it imitates.
  constexpr int kPeriod = 64;
  const auto table = sineTable(kPeriod);
  std::vector<double> out(kPeriod);
  for (int n = 0; n < kPeriod; ++n) {
    double s = 0.0;
    for (int h = 1; h < kPeriod / 2; ++h) {
      const auto a = static_cast<std::size_t>((n * h) % kPeriod);
      const auto b = static_cast<std::size_t>(((n + kPeriod - kPeriod / 4) * h) % kPeriod);
      s += (table[a] - table[b]) / h;
    }
    out[static_cast<std::size_t>(n)] = s;
  }
  normalize(out, 0.9);
  Voice v{"chip", out, c2spdFor(kToneRate, kC5)};
  v.sixteenBit = false;
  v.loopStart = 0;
  return v;
}

Voice makeBell() {
  // Base note C-5 at half kToneRate (32 samples a cycle): a soft electric
  // piano made by frequency modulation, brighter at the strike, with a short
  // high tine.
  constexpr double kRate = kToneRate / 2.0;
  constexpr int kLength = 23000;
  std::vector<double> out(kLength);
  for (int n = 0; n < kLength; ++n) {
    const double t = n / kRate;
    const double turns = n / 32.0;
    const double index = 1.9 * expDet(-t / 0.28) + 0.35;
    const double body = sinTurns(turns + index / (2.0 * kPi) * sinTurns(turns));
    const double tine = 0.12 * sinTurns(7.0 * turns) * expDet(-t / 0.03);
    const double attack = n < 24 ? n / 24.0 : 1.0;
    out[static_cast<std::size_t>(n)] = (body + tine) * attack * expDet(-t / 0.75);
  }
  fadeEnds(out, 0, 3000);
  normalize(out, 0.95);
  return {"e-piano", out, c2spdFor(kRate, kC5)};
}

}  // namespace tolvarin::gen::music
