// How 004fin.s3m sounds, measured: loudness and headroom, no gaps, a sane
// spectrum, sections that build and break, a lead that stands out of the
// pads, samples that loop without clicks, and notes that keep to the key
// and the chords.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <set>
#include <vector>

#include "gen/music/instruments.h"
#include "gen/music/marker_plan.h"
#include "gen/music/music.h"
#include "gen/music/score.h"
#include "gen/music/song_form.h"
#include "audio/module_renderer.h"
#include "platform/wav_writer.h"
#include "tools/music/audio_checks.h"

namespace tolvarin {
namespace {

using namespace gen::music;
using testing::Pcm;

constexpr double kBar = 1.875;

Pcm render(const formats::S3mModule& module) {
  const auto bytes = formats::encodeS3m(module);
  ModuleRenderer r;
  EXPECT_EQ(r.loadFromMemory(bytes.data(), bytes.size()), 0);
  Pcm pcm;
  std::vector<MusicEvent> events;
  std::vector<std::int16_t> buffer(2 * 8192);
  for (;;) {
    const std::size_t n = r.render(buffer.data(), 8192, events);
    pcm.insert(pcm.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n * 2));
    if (n < 8192) break;
  }
  return pcm;
}

const formats::S3mModule& song() {
  static const formats::S3mModule m = buildMusicModule();
  return m;
}

// The song with only the given channels playing (the control channel stays).
Pcm stem(std::initializer_list<int> channels) {
  formats::S3mModule m = song();
  for (auto& pattern : m.patterns) {
    for (auto& row : pattern.rows) {
      for (int ch = 0; ch < kChControl; ++ch) {
        if (std::find(channels.begin(), channels.end(), ch) == channels.end()) row[static_cast<std::size_t>(ch)] = {};
      }
    }
  }
  return render(m);
}

const Pcm& mix() {
  static const Pcm pcm = render(song());
  return pcm;
}

double seconds(const Pcm& pcm) { return static_cast<double>(pcm.size() / 2) / testing::kRate; }

double barsDb(const Pcm& pcm, double first, double end) { return testing::loudnessDb(pcm, first * kBar, end * kBar); }

TEST(MusicSound, HeadroomAndNoGaps) {
  const auto all = testing::levels(mix());
  EXPECT_EQ(all.clipped, 0);
  EXPECT_LT(all.peak, 29205) << "peaks stay below -1 dBFS";
  EXPECT_GT(all.peak, 23197) << "and above -3 dBFS: the mix is not timid";
  // Sound from the first row to the fade at the very end.
  EXPECT_LT(testing::levels(mix(), 0.0, seconds(mix()) - 1.0).longestQuiet, 1.0);
}

TEST(MusicSound, IntegratedLoudnessIsMinus16ToMinus10Lufs) {
  const std::string wav = ::testing::TempDir() + "/music_mix.wav";
  WavWriter writer;
  ASSERT_TRUE(writer.open(wav));
  writer.write(mix().data(), mix().size() / 2);
  ASSERT_TRUE(writer.close());
  const auto lufs = testing::integratedLoudness(wav);
  if (!lufs) GTEST_SKIP() << "ffmpeg is not installed";
  EXPECT_GE(*lufs, -16.0);
  EXPECT_LE(*lufs, -10.0);
}

TEST(MusicSound, SpectrumHasBodyWithoutRumbleOrHiss) {
  const double end = seconds(mix());
  EXPECT_LT(testing::bandShare(mix(), 0, 28, 0, end), 0.03);         // no sub-sonic rumble or offset
  EXPECT_LT(testing::bandShare(mix(), 15000, 22050, 0, end), 0.005);  // no aliasing hiss
  EXPECT_GT(testing::bandShare(mix(), 40, 200, 0, end), 0.2);          // kick and bass carry weight
  EXPECT_GT(testing::bandShare(mix(), 200, 5000, 0, end), 0.25);       // chords and melody
}

TEST(MusicSound, SectionsBuildAndBreak) {
  const double intro = barsDb(mix(), 0, 4), build = barsDb(mix(), 8, 12), mainA = barsDb(mix(), 12, 24);
  const double breakdown = barsDb(mix(), 28, 36), dropB = barsDb(mix(), 48, 56), peak = barsDb(mix(), 60, 68);
  EXPECT_LT(intro + 3.0, build);
  EXPECT_LT(build, mainA);
  EXPECT_LT(breakdown + 1.5, dropB);
  EXPECT_LT(barsDb(mix(), 56, 58) + 1.0, peak);  // the interlude before the peak
  EXPECT_LT(barsDb(mix(), 80.5, 81) + 12.0, barsDb(mix(), 70, 74));  // the fade-out
}

TEST(MusicSound, TheLeadStandsOutOfThePads) {
  const Pcm lead = stem({kChLead, kChEcho});
  const Pcm pads = stem({kChPad1, kChPad2, kChPad3});
  // In the lead's register, wherever the theme plays.
  for (auto [first, end] : {std::pair{16, 24}, std::pair{24, 28}, std::pair{48, 56}, std::pair{60, 70}}) {
    const double l = testing::bandDb(lead, 400, 4000, first * kBar, end * kBar);
    const double p = testing::bandDb(pads, 400, 4000, first * kBar, end * kBar);
    EXPECT_GT(l, p + 3.0) << "bars " << first << " to " << end;
  }
}

TEST(MusicSound, SamplesLoopWithoutClicksAndOneShotsEndInSilence) {
  for (const auto& s : song().instruments) {
    if (s.data.empty()) continue;
    int largestStep = 0;
    for (std::size_t i = 1; i < s.data.size(); ++i) largestStep = std::max(largestStep, std::abs(s.data[i] - s.data[i - 1]));
    if (s.loop) {
      ASSERT_LT(s.loopStart, s.loopEnd) << s.name;
      ASSERT_LE(s.loopEnd, s.data.size()) << s.name;
      const int join = std::abs(s.data[s.loopStart] - s.data[s.loopEnd - 1]);
      EXPECT_LE(join, largestStep) << s.name << ": the loop joins with a step no larger than the wave's own";
    } else if (s.volume > 0) {
      EXPECT_LT(std::abs(s.data.back()), 300) << s.name << " ends with a click";
    }
    if (s.volume > 0) {
      EXPECT_TRUE(s.sixteenBit || s.name == "riser" || s.name == "chip") << s.name;
    }
  }
}

// Every pitched note in the patterns with the bar it falls in.
struct PlacedNote {
  int bar, step, channel, instrument, note;
};

std::vector<PlacedNote> notes() {
  std::vector<PlacedNote> out;
  int row = 0;
  int bar = 0;
  for (std::size_t o = 0; o < orderPlan().size(); ++o) {
    const auto& pattern = song().patterns[song().orders[o]];
    for (int r = 0; r < orderPlan()[o].rows; ++r, ++row) {
      while (barRow(bar + 1) <= row) ++bar;
      for (int ch = 0; ch < kChannels; ++ch) {
        const auto& c = pattern.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(ch)];
        if (c.note >= formats::kS3mNoteCut || c.instrument == 0) continue;
        out.push_back({bar, row - barRow(bar), ch, c.instrument, (c.note >> 4) * 12 + (c.note & 15)});
      }
    }
  }
  return out;
}

TEST(MusicComposition, NotesKeepToAMinorAndFollowTheChords) {
  const std::set<int> aMinor{9, 11, 0, 2, 4, 5, 7};
  const std::set<int> drums{kKick, kSnare, kClosedHat, kOpenHat, kCrash, kRiser, kMarker};
  int checked = 0;
  for (const PlacedNote& n : notes()) {
    if (drums.count(n.instrument) != 0 || n.channel == kChPerc) continue;
    const Chord chord = chordOfBar(n.bar);
    const int pc = n.note % 12;
    std::set<int> chordTones;
    for (int p : chord.pad) chordTones.insert(p % 12);
    ++checked;
    // The leading tone G# belongs to the E chord only.
    if (pc == 8) {
      EXPECT_EQ(chord.root, 4) << "G# in bar " << n.bar;
      EXPECT_EQ(chordTones.count(8), 1u) << "G# in bar " << n.bar;
    } else {
      EXPECT_EQ(aMinor.count(pc), 1u) << "note " << n.note << " in bar " << n.bar << " channel " << n.channel;
    }
    if (n.instrument == kBass) {
      EXPECT_EQ(pc, chord.root) << "bass in bar " << n.bar;
    }
    if (n.instrument == kPad) {
      EXPECT_EQ(chordTones.count(pc), 1u) << "pad in bar " << n.bar;
    }
    if (n.channel == kChLead && n.step == 0) {
      EXPECT_EQ(chordTones.count(pc), 1u) << "melody on the downbeat of bar " << n.bar;
    }
  }
  EXPECT_GT(checked, 1000);
}

}  // namespace
}  // namespace tolvarin
