// The S3M writer, read back by libopenmpt: the order list with its skip and
// end markers, pattern breaks, the instrument slots, 16-bit and 8-bit sample
// data, loops and the default panning table.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <memory>
#include <sstream>
#include <vector>

#include "formats/s3m_writer.h"

namespace tolvarin::formats {
namespace {

std::unique_ptr<openmpt::module> load(const S3mModule& m) {
  const auto bytes = encodeS3m(m);
  std::ostringstream log;
  return std::make_unique<openmpt::module>(bytes.data(), bytes.size(), log);
}

std::vector<float> renderStereo(openmpt::module& mod, double seconds) {
  std::vector<float> out(static_cast<std::size_t>(seconds * 44100) * 2);
  const std::size_t frames = mod.read_interleaved_stereo(44100, out.size() / 2, out.data());
  out.resize(frames * 2);
  return out;
}

// Energy of one side (0 left, 1 right) between two times.
double energy(const std::vector<float>& stereo, int side, double from, double to) {
  double e = 0.0;
  const auto a = static_cast<std::size_t>(from * 44100);
  const auto b = std::min(stereo.size() / 2, static_cast<std::size_t>(to * 44100));
  for (std::size_t i = a; i < b; ++i) e += stereo[i * 2 + side] * stereo[i * 2 + side];
  return e;
}

// One instrument playing C-4 on channel 0, row 0, in a one-pattern song.
S3mModule oneNote(const S3mSample& sample) {
  S3mModule m;
  m.channels = 1;
  m.instruments = {sample};
  S3mPattern p;
  p.rows[0][0] = S3mCell{s3mNote(4, 0), 1, -1, 0, 0};
  m.patterns = {p};
  m.orders = {0};
  return m;
}

std::vector<std::int16_t> square(int length, std::int16_t low, std::int16_t high) {
  std::vector<std::int16_t> d(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) d[static_cast<std::size_t>(i)] = i % 40 < 20 ? high : low;
  return d;
}

TEST(S3mWriter, OrderListBreaksAndInstrumentSlotsRoundTrip) {
  S3mModule m;
  m.title = "round trip";
  m.channels = 3;
  m.instruments.resize(32);
  m.instruments[0] = S3mSample{"tone", square(400, -9000, 9000), true, false, 0, 0, 64, 8363};
  m.instruments[31] = S3mSample{"marker", std::vector<std::int16_t>(16, 0), false, false, 0, 0, 0, 8363};
  for (int p = 0; p < 3; ++p) {
    S3mPattern pattern;
    pattern.rows[0][0] = S3mCell{s3mNote(4, 0), 1, -1, 0, 0};
    m.patterns.push_back(pattern);
  }
  m.patterns[1].rows[9][2].command = s3mEffect('C');  // order 2 plays rows 0..9
  // A skip marker, and orders after the end marker that must never play.
  // Seven entries: the writer pads the count to eight with an end marker.
  m.orders = {0, kS3mOrderSkip, 1, 2, kS3mOrderEnd, 0, 1};
  const auto bytes = encodeS3m(m);
  EXPECT_EQ(bytes[0x20] | (bytes[0x21] << 8), 8);  // order count, kept even
  std::ostringstream log;
  openmpt::module mod(bytes.data(), bytes.size(), log);

  ASSERT_EQ(mod.get_num_orders(), 7);  // the player drops trailing end markers
  EXPECT_EQ(mod.get_order_pattern(0), 0);
  EXPECT_EQ(mod.get_order_pattern(1), 0xFFFE);  // skip
  EXPECT_EQ(mod.get_order_pattern(2), 1);
  EXPECT_EQ(mod.get_order_pattern(3), 2);
  EXPECT_EQ(mod.get_order_pattern(4), 0xFFFF);  // end
  EXPECT_EQ(mod.get_order_pattern(6), 1);
  EXPECT_EQ(mod.get_num_patterns(), 3);
  EXPECT_EQ(mod.get_num_samples(), 32);
  EXPECT_EQ(mod.get_num_channels(), 3);
  EXPECT_EQ(mod.get_sample_names()[0], "tone");
  EXPECT_EQ(mod.get_sample_names()[31], "marker");
  EXPECT_EQ(mod.get_metadata("title"), "round trip");
  // 64 + 10 + 64 rows of 6 ticks at tempo 125 (0.12 s a row).
  EXPECT_NEAR(mod.get_duration_seconds(), 138 * 0.12, 1e-3);
}

TEST(S3mWriter, SpeedTempoAndMasterVolumeReachThePlayer) {
  S3mModule m = oneNote(S3mSample{"tone", square(400, -9000, 9000), true, true, 0, 400, 64, 8363});
  m.initialSpeed = 3;
  m.initialTempo = 150;
  EXPECT_NEAR(load(m)->get_duration_seconds(), 64 * 3 * 2.5 / 150, 1e-3);

  auto loud = load(m);
  m.masterVolume = 0x18;  // half the default
  auto quiet = load(m);
  const double ratio = energy(renderStereo(*quiet, 1.0), 0, 0.0, 1.0) / energy(renderStereo(*loud, 1.0), 0, 0.0, 1.0);
  EXPECT_NEAR(ratio, 0.25, 0.03);
}

TEST(S3mWriter, SixteenBitDataKeepsDetailThatEightBitsCannotHold) {
  // A square between 0 and +200: as 8-bit data (the high byte) it is all 0.
  const auto quiet = square(2000, 0, 200);
  auto sixteen = load(oneNote(S3mSample{"16", quiet, true, false, 0, 0, 64, 8363}));
  auto eight = load(oneNote(S3mSample{"8", quiet, false, false, 0, 0, 64, 8363}));
  EXPECT_GT(energy(renderStereo(*sixteen, 0.2), 0, 0.0, 0.2), 1e-6);
  EXPECT_EQ(energy(renderStereo(*eight, 0.2), 0, 0.0, 0.2), 0.0);

  // Loud 8-bit data plays at the same level as the same data in 16 bits.
  const auto loud = square(2000, -16384, 16384);
  auto a = load(oneNote(S3mSample{"16", loud, true, false, 0, 0, 64, 8363}));
  auto b = load(oneNote(S3mSample{"8", loud, false, false, 0, 0, 64, 8363}));
  const double ea = energy(renderStereo(*a, 0.2), 0, 0.0, 0.2);
  EXPECT_NEAR(energy(renderStereo(*b, 0.2), 0, 0.0, 0.2) / ea, 1.0, 0.02);
}

TEST(S3mWriter, LoopsRepeatExactlyTheirRange) {
  // 1000 samples of tone, then 1000 of silence (0.12 s each at 8363 Hz).
  auto data = square(1000, -12000, 12000);
  data.resize(2000, 0);
  auto toneLoop = load(oneNote(S3mSample{"tone loop", data, true, true, 0, 1000, 64, 8363}));
  auto silentLoop = load(oneNote(S3mSample{"silent loop", data, true, true, 1000, 2000, 64, 8363}));
  auto noLoop = load(oneNote(S3mSample{"one shot", data, true, false, 0, 1000, 64, 8363}));
  const auto a = renderStereo(*toneLoop, 1.0);
  const auto b = renderStereo(*silentLoop, 1.0);
  const auto c = renderStereo(*noLoop, 1.0);
  EXPECT_GT(energy(a, 0, 0.0, 0.1), 1.0);
  EXPECT_GT(energy(b, 0, 0.0, 0.1), 1.0);
  EXPECT_GT(energy(a, 0, 0.5, 1.0), 1.0);    // the tone goes on
  EXPECT_LT(energy(b, 0, 0.5, 1.0), 1e-6);   // the loop holds only silence
  EXPECT_LT(energy(c, 0, 0.5, 1.0), 1e-6);   // the sample has ended
}

TEST(S3mWriter, PanningTableOrAlternatingSides) {
  S3mModule m = oneNote(S3mSample{"tone", square(400, -12000, 12000), true, true, 0, 400, 64, 8363});
  m.channels = 2;
  m.patterns[0].rows[0][1] = m.patterns[0].rows[0][0];
  // Without a table: channel 0 left of centre, channel 1 right of it.
  auto both = renderStereo(*load(m), 0.5);
  EXPECT_NEAR(energy(both, 0, 0.0, 0.5) / energy(both, 1, 0.0, 0.5), 1.0, 0.05);  // mirror images
  // With a table: hard left, and hard right.
  m.channelPanning = {0, 15};
  m.patterns[0].rows[0][1] = S3mCell{};
  auto left = renderStereo(*load(m), 0.5);
  EXPECT_LT(energy(left, 1, 0.0, 0.5), 1e-3 * energy(left, 0, 0.0, 0.5));
  m.patterns[0].rows[0][1] = m.patterns[0].rows[0][0];
  m.patterns[0].rows[0][0] = S3mCell{};
  auto right = renderStereo(*load(m), 0.5);
  EXPECT_LT(energy(right, 0, 0.0, 0.5), 1e-3 * energy(right, 1, 0.0, 0.5));
}

}  // namespace
}  // namespace tolvarin::formats
