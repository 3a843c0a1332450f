// 004fin.s3m as the demo plays it: every order plays the rows the marker
// plan gives it, markers sit exactly on the plan's rows, the breakdown runs
// at half speed, the file is the same on every run, and two independent
// players (openmpt123 and xmp) read the same song.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "assets/data_manifest.h"
#include "gen/generated_file.h"
#include "gen/music/instruments.h"
#include "gen/music/marker_plan.h"
#include "gen/music/music.h"
#include "audio/module_renderer.h"
#include "tools/music/audio_checks.h"
#include "support/fnv1a.h"

namespace tolvarin {
namespace {

using gen::music::orderPlan;

using testing::fnv1a;

// Pinned: a change here means the music changed (listen, then update).
constexpr std::uint64_t kModuleHash = 0xd994a82a7e68237cULL;

const std::vector<std::uint8_t>& moduleBytes() {
  static const std::vector<std::uint8_t> bytes = gen::generateMusic().at(0).bytes;
  return bytes;
}

struct Played {
  std::vector<MusicEvent> rows;
  std::int64_t samples = 0;
};

const Played& played() {
  static const Played p = [] {
    Played out;
    ModuleRenderer r;
    EXPECT_EQ(r.loadFromMemory(moduleBytes().data(), moduleBytes().size()), 0);
    std::vector<std::int16_t> buffer(2 * 8192);
    while (r.render(buffer.data(), 8192, out.rows) == 8192) {
    }
    out.samples = r.samplesRendered();
    return out;
  }();
  return p;
}

int orderOf(const MusicEvent& e) { return static_cast<int>(e.position & 0xFFFF); }
int rowOf(const MusicEvent& e) { return static_cast<int>(e.position >> 16); }

TEST(MusicModule, OrdersRowsAndMarkersAreThePlans) {
  const auto& plan = orderPlan();
  std::vector<int> rowsPlayed(plan.size(), 0);
  std::vector<std::pair<int, int>> markers, planned;
  int lastOrder = -1;
  for (const MusicEvent& e : played().rows) {
    const int o = orderOf(e);
    ASSERT_LT(o, static_cast<int>(plan.size()));
    ASSERT_GE(o, lastOrder) << "orders only grow";
    EXPECT_EQ(rowOf(e), o == lastOrder ? rowsPlayed[static_cast<std::size_t>(o)] : 0) << "order " << o;
    lastOrder = o;
    ++rowsPlayed[static_cast<std::size_t>(o)];
    if (e.marker) markers.emplace_back(o, rowOf(e));
  }
  for (std::size_t o = 0; o < plan.size(); ++o) {
    EXPECT_EQ(rowsPlayed[o], plan[o].rows) << "order " << o;
    for (int r : plan[o].markers) planned.emplace_back(static_cast<int>(o), r);
  }
  EXPECT_EQ(markers, planned);
  // The marker itself is never heard.
  const auto module = gen::music::buildMusicModule();
  const auto& marker = module.instruments.at(gen::music::kMarker - 1);
  EXPECT_EQ(marker.volume, 0);
  EXPECT_EQ(std::count(marker.data.begin(), marker.data.end(), 0), static_cast<long>(marker.data.size()));
}

TEST(MusicModule, TempoHoldsAndTheBreakdownRowsAreEighthNotes) {
  // Tempo 128: a tick is 2.5 / 128 s; six ticks a row, twelve in orders 19 to 21.
  std::map<int, double> orderStart;
  for (const MusicEvent& e : played().rows) {
    if (rowOf(e) == 0) orderStart[orderOf(e)] = static_cast<double>(e.sample) / ModuleRenderer::kSampleRate;
  }
  const double bar = 4 * 60.0 / 128;  // 1.875 s, sixteen rows at speed 6 or eight at speed 12
  // The player rounds a tick to whole samples: 861 instead of 861.33 (0.04% fast).
  EXPECT_NEAR(orderStart.at(19), 28 * bar, 28 * bar * 5e-4);
  EXPECT_NEAR(orderStart.at(22), 48 * bar, 48 * bar * 5e-4);
  EXPECT_NEAR(orderStart.at(44), 70 * bar, 70 * bar * 5e-4);
  EXPECT_NEAR(static_cast<double>(played().samples) / ModuleRenderer::kSampleRate, 81 * bar, 81 * bar * 5e-4);
  // Row lengths: the breakdown's are twice the others'.
  std::map<int, std::int64_t> rowLength;
  for (std::size_t i = 1; i < played().rows.size(); ++i) {
    rowLength[orderOf(played().rows[i - 1])] = played().rows[i].sample - played().rows[i - 1].sample;
  }
  for (int o : {0, 5, 18, 22, 43}) EXPECT_NEAR(rowLength.at(o), 6 * 861, 64) << "order " << o;
  for (int o : {19, 20, 21}) EXPECT_NEAR(rowLength.at(o), 12 * 861, 64) << "order " << o;
}

TEST(MusicModule, SameBytesEveryRunAndPinned) {
  EXPECT_EQ(gen::generateMusic().at(0).bytes, moduleBytes());
  EXPECT_EQ(gen::generateMusic().at(0).name, data::music.name);
  EXPECT_EQ(fnv1a(moduleBytes()), kModuleHash) << "hash 0x" << std::hex << fnv1a(moduleBytes());
}

TEST(MusicModule, OpenMptAndXmpReadTheSameSong) {
  if (!testing::haveProgram("openmpt123") || !testing::haveProgram("xmp")) {
    GTEST_SKIP() << "openmpt123 or xmp is not installed";
  }
  const std::string path = ::testing::TempDir() + "/music_players.s3m";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(moduleBytes().data()), static_cast<std::streamsize>(moduleBytes().size()));
  const std::string mpt = testing::runCommand("openmpt123 --info '" + path + "'");
  const std::string xmp = testing::runCommand("xmp --load-only -v '" + path + "'");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(mpt, m, std::regex(R"(Duration\.*: (\d+):(\d+\.\d+))"))) << mpt;
  const double mptSeconds = std::stoi(m[1]) * 60 + std::stod(m[2]);
  ASSERT_TRUE(std::regex_search(mpt, m, std::regex(R"(Orders\.*: (\d+))"))) << mpt;
  const int mptOrders = std::stoi(m[1]);
  ASSERT_TRUE(std::regex_search(xmp, m, std::regex(R"(Duration\s*: (\d+)min(\d+)s)"))) << xmp;
  const int xmpSeconds = std::stoi(m[1]) * 60 + std::stoi(m[2]);
  ASSERT_TRUE(std::regex_search(xmp, m, std::regex(R"(Module length: (\d+) patterns)"))) << xmp;
  const int xmpOrders = std::stoi(m[1]);

  const double seconds = static_cast<double>(played().samples) / ModuleRenderer::kSampleRate;
  EXPECT_NEAR(mptSeconds, seconds, 0.05);
  EXPECT_NEAR(xmpSeconds, seconds, 1.0);  // xmp rounds to whole seconds
  EXPECT_EQ(mptOrders, static_cast<int>(orderPlan().size()));
  EXPECT_EQ(xmpOrders, static_cast<int>(orderPlan().size()) + 1);  // xmp counts the closing end marker
}

}  // namespace
}  // namespace tolvarin
