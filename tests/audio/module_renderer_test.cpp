// Row and marker detection of the module renderer on modules we write.
#include <gtest/gtest.h>

#include <vector>

#include "platform/audio_library.h"
#include "audio/module_renderer.h"
#include "support/fixture_modules.h"

namespace tolvarin {
namespace {

using formats::S3mCell;
using formats::s3mNote;
using testing::fixtureModule;

constexpr std::int64_t kRowSamples = 5292;  // speed 6 at tempo 125: 6 ticks of 882 samples

std::vector<MusicEvent> renderAll(ModuleRenderer& r) {
  std::vector<MusicEvent> events;
  std::vector<std::int16_t> buffer(2 * 1000);
  while (r.render(buffer.data(), 1000, events) == 1000) {
  }
  return events;
}

TEST(ModuleRenderer, ReportsEveryRowOnceAndEveryMarkerAtItsSample) {
  auto module = fixtureModule({{{0, 5, 17, 63}}, {{3}}}, {0, 1, 255});
  auto& cells = module.patterns[0].rows;
  cells[9][1] = S3mCell{formats::kS3mNoNote, 32, -1, 0, 0};  // instrument without a note: no sync
  cells[12][1] = S3mCell{s3mNote(4, 0), 31, -1, 0, 0};        // another instrument
  cells[20][1] = S3mCell{formats::kS3mNoteCut, 32, -1, 0, 0};  // a note cut is no note
  const auto bytes = formats::encodeS3m(module);
  ModuleRenderer r;
  ASSERT_EQ(r.loadFromMemory(bytes.data(), bytes.size()), 0);
  const auto events = renderAll(r);

  ASSERT_EQ(events.size(), 128u);
  std::vector<int> markerRows;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MusicEvent& e = events[i];
    const std::int64_t start = static_cast<std::int64_t>(i) * kRowSamples;
    EXPECT_EQ(e.position, (i < 64 ? 0u : 1u) | (static_cast<std::uint32_t>(i % 64) << 16));
    if (i == 0) {
      EXPECT_EQ(e.sample, 0);
    } else {
      EXPECT_GT(e.sample, start) << "row " << i;
      EXPECT_LE(e.sample, start + ModuleRenderer::kChunkFrames) << "row " << i;
    }
    if (e.marker) markerRows.push_back(static_cast<int>(i));
  }
  EXPECT_EQ(markerRows, (std::vector<int>{0, 5, 17, 63, 67}));
  EXPECT_TRUE(r.ended());
}

TEST(ModuleRenderer, FollowsPatternBreaksAndSkipOrdersAndHoldsThePositionAtTheEnd) {
  // Order 1 is a "+++" marker that players pass over; pattern 0 breaks after row 7.
  const auto bytes = formats::encodeS3m(fixtureModule({{{7}, 7}, {{0, 2}}}, {0, formats::kS3mOrderSkip, 1, 255}));
  ModuleRenderer r;
  ASSERT_EQ(r.loadFromMemory(bytes.data(), bytes.size()), 0);
  const auto events = renderAll(r);
  ASSERT_EQ(events.size(), 8u + 64u);
  EXPECT_EQ(events[7].position, 0u | (7u << 16));
  EXPECT_TRUE(events[7].marker);
  EXPECT_EQ(events[8].position, 2u);  // the order index counts the skipped entry
  EXPECT_TRUE(events[8].marker);
  EXPECT_GT(events[8].sample, 8 * kRowSamples);
  EXPECT_LE(events[8].sample, 8 * kRowSamples + ModuleRenderer::kChunkFrames);
  EXPECT_TRUE(events[10].marker);
  int markers = 0;
  for (const auto& e : events) markers += e.marker ? 1 : 0;
  EXPECT_EQ(markers, 3);

  const std::uint32_t last = 2u | (63u << 16);
  EXPECT_EQ(r.lastPosition(), last);
  std::vector<MusicEvent> more;
  std::int16_t buffer[64];
  EXPECT_EQ(r.render(buffer, 32, more), 0u);
  EXPECT_TRUE(more.empty());
  EXPECT_EQ(r.lastPosition(), last);
}

TEST(ModuleRenderer, RejectsWhatIsNotAModule) {
  ModuleRenderer r;
  EXPECT_EQ(r.load("/nonexistent/module.s3m"), BASS_ERROR_FILEOPEN);
  const std::uint8_t junk[300] = {1, 2, 3};
  EXPECT_EQ(r.loadFromMemory(junk, sizeof junk), BASS_ERROR_FORMAT);
  EXPECT_EQ(r.loadFromMemory(junk, 0), BASS_ERROR_FORMAT);
}

}  // namespace
}  // namespace tolvarin
