// A provisional 004fin.s3m: a plain beat and bass line whose marker notes
// (instrument 32) are placed so that every scene of the demo reaches its end
// by the music alone, at any frame rate. Order lengths are set with pattern
// breaks; the marker plan is the table below.
#include <cmath>
#include <cstdint>
#include <vector>

#include "formats/s3m_writer.h"
#include "gen/generated_file.h"

namespace tolvarin::gen {
namespace {

using formats::S3mCell;
using formats::S3mModule;
using formats::S3mPattern;
using formats::S3mSample;

constexpr int kMarkerInstrument = 32;
constexpr int kKick = 1;
constexpr int kHat = 2;
constexpr int kBass = 3;
constexpr int kMarkerChannel = 3;

struct OrderPlan {
  int rows;
  std::vector<int> markerRows;
};

// One entry per order. Comments name the scene the markers drive.
std::vector<OrderPlan> orderPlan() {
  std::vector<OrderPlan> plan;
  plan.push_back({48, {1, 16, 32}});  // 0: first picture; two syncs for the logo fly-in
  plan.push_back({48, {24}});         // 1 (odd): logo zoom phases, the zoom-out sync
  plan.push_back({24, {14}});         // 2: the light sweep's one sync
  plan.push_back({24, {}});           // 3 (odd): sweep ends; cross-fade sweep starts
  plan.push_back({24, {6}});          // 4: arms the cross-fade sweep's end
  for (int o = 5; o <= 12; ++o) plan.push_back({16, {}});   // rotating zoom
  for (int o = 13; o <= 18; ++o) plan.push_back({14, {}});  // rotating zoom with strobe
  plan.push_back({64, {12}});  // 19: the still picture's sync; story text
  plan.push_back({64, {}});    // 20
  plan.push_back({64, {}});    // 21
  plan.push_back({64, {48}});  // 22: ends the story text
  // From here on a marker every 16 rows counts down the 3D scene, the
  // prototype text and the tunnel; order 44 ends the tunnel at the latest.
  for (int o = 23; o <= 45; ++o) plan.push_back({16, {0}});
  return plan;
}

std::vector<std::int16_t> kickSample() {
  std::vector<std::int16_t> d(3000);
  double phase = 0.0;
  for (std::size_t i = 0; i < d.size(); ++i) {
    const double t = static_cast<double>(i) / 8363.0;
    phase += 2.0 * 3.14159265358979 * (45.0 + 140.0 * std::exp(-t * 40.0)) / 8363.0;
    d[i] = static_cast<std::int16_t>(std::sin(phase) * 28000.0 * std::exp(-t * 9.0));
  }
  return d;
}

std::vector<std::int16_t> hatSample() {
  std::vector<std::int16_t> d(1200);
  std::uint32_t x = 0x12345678u;
  for (std::size_t i = 0; i < d.size(); ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    const double env = std::exp(-static_cast<double>(i) / 180.0);
    d[i] = static_cast<std::int16_t>((static_cast<int>(x & 0xFFFF) - 32768) * 0.35 * env);
  }
  return d;
}

std::vector<std::int16_t> bassSample() {
  // One cycle-exact saw period repeated; loops for as long as the note lasts.
  std::vector<std::int16_t> d(256);
  for (std::size_t i = 0; i < d.size(); ++i) {
    const int pos = static_cast<int>(i % 64);
    d[i] = static_cast<std::int16_t>((pos * 1024 - 32768) / 3);
  }
  return d;
}

S3mModule buildModule() {
  S3mModule m;
  m.title = "tolvarin provisional";
  m.channels = 4;
  m.instruments.resize(kMarkerInstrument);
  m.instruments[kKick - 1] = S3mSample{"kick", kickSample(), true, false, 0, 0, 64, 8363};
  m.instruments[kHat - 1] = S3mSample{"hat", hatSample(), true, false, 0, 0, 40, 8363};
  m.instruments[kBass - 1] = S3mSample{"bass", bassSample(), true, true, 0, 256, 48, 8363};
  // The marker: a few samples of silence, played at volume 0.
  m.instruments[kMarkerInstrument - 1] =
      S3mSample{"marker", std::vector<std::int16_t>(16, 0), false, false, 0, 0, 0, 8363};

  const int bassNotes[4] = {0, 3, 5, 7};  // C, D#, F, G
  const auto plan = orderPlan();
  for (std::size_t o = 0; o < plan.size(); ++o) {
    S3mPattern p;
    const OrderPlan& order = plan[o];
    for (int r = 0; r < order.rows; ++r) {
      auto& row = p.rows[r];
      if (r % 4 == 0) row[0] = S3mCell{formats::s3mNote(4, 0), kKick, -1, 0, 0};
      if (r % 4 == 2) row[1] = S3mCell{formats::s3mNote(6, 0), kHat, -1, 0, 0};
      if (r % 8 == 0) row[2] = S3mCell{formats::s3mNote(3, bassNotes[o % 4]), kBass, -1, 0, 0};
    }
    for (int r : order.markerRows) {
      p.rows[r][kMarkerChannel] = S3mCell{formats::s3mNote(4, 0), kMarkerInstrument, 0, 0, 0};
    }
    if (order.rows < formats::kS3mRows) {
      // Pattern break to row 0 of the next order on the last row.
      p.rows[order.rows - 1][kMarkerChannel].command = formats::s3mEffect('C');
    }
    m.patterns.push_back(p);
    m.orders.push_back(static_cast<std::uint8_t>(o));
  }
  m.orders.push_back(formats::kS3mOrderEnd);
  return m;
}

}  // namespace

std::vector<GeneratedFile> generateMusic() { return {{"004fin.s3m", formats::encodeS3m(buildModule())}}; }

}  // namespace tolvarin::gen
