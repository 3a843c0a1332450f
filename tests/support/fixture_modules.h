#pragma once
// Small S3M modules for tests, made with our writer: a tone on channel 0 at
// every fourth row, and marker notes (instrument 32) where asked.
#include <cmath>
#include <string>
#include <vector>

#include "formats/g_writer.h"
#include "formats/s3m_writer.h"

namespace tolvarin::testing {

struct FixturePattern {
  std::vector<int> markerRows;
  int breakAfterRow = -1;  // row carrying a pattern break (C00), or -1 for all 64 rows
};

inline formats::S3mModule fixtureModule(const std::vector<FixturePattern>& patterns,
                                        std::vector<std::uint8_t> orders) {
  using namespace formats;
  S3mModule m;
  m.title = "fixture";
  m.channels = 2;
  m.instruments.resize(32);
  std::vector<std::int16_t> tone(2000);
  for (std::size_t i = 0; i < tone.size(); ++i) {
    tone[i] = static_cast<std::int16_t>(12000.0 * std::sin(static_cast<double>(i) * 0.2));
  }
  m.instruments[0] = S3mSample{"tone", tone, true, false, 0, 0, 64, 8363};
  m.instruments[31] = S3mSample{"marker", std::vector<std::int16_t>(16, 0), false, false, 0, 0, 0, 8363};
  for (const FixturePattern& fp : patterns) {
    S3mPattern p;
    for (int r = 0; r < kS3mRows; r += 4) p.rows[r][0] = S3mCell{s3mNote(4, 0), 1, -1, 0, 0};
    for (int r : fp.markerRows) p.rows[r][1] = S3mCell{s3mNote(4, 0), 32, 0, 0, 0};
    if (fp.breakAfterRow >= 0) p.rows[fp.breakAfterRow][1].command = s3mEffect('C');
    m.patterns.push_back(p);
  }
  m.orders = std::move(orders);
  return m;
}

}  // namespace tolvarin::testing
