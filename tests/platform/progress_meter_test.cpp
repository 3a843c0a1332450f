// The progress line of long headless runs, on a wall clock the test drives:
// nothing for a run shorter than the delay, then one line rewritten in place
// at most every quarter second, then a summary line.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/progress_meter.h"

namespace tolvarin {
namespace {

struct Terminal {
  Terminal() : file(std::tmpfile(), &std::fclose) {}
  std::string text() {
    std::fflush(file.get());
    std::string out(static_cast<std::size_t>(std::ftell(file.get())), '\0');
    std::rewind(file.get());
    out.resize(std::fread(out.data(), 1, out.size(), file.get()));
    std::fseek(file.get(), 0, SEEK_END);  // C asks for a seek between reading and writing again
    return out;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file;
};

TEST(ProgressMeter, ShowsNothingForAShortRun) {
  Terminal terminal;
  double wall = 100.0;
  ProgressMeter meter(terminal.file.get(), [] { return 60.0; }, 1.0, [&wall] { return wall; });
  for (int i = 0; i < 600; ++i) {
    wall += 0.0015;  // 0.9 s in all
    meter.frame(nullptr, i, i / 60.0);
  }
  EXPECT_TRUE(meter.finish(10.0));
  EXPECT_EQ(terminal.text(), "");
}

TEST(ProgressMeter, UpdatesOneLineInPlaceThenSumsUp) {
  Terminal terminal;
  double wall = 100.0;
  ProgressMeter meter(terminal.file.get(), [] { return 120.0; }, 1.0, [&wall] { return wall; });
  std::int64_t index = 0;
  const auto frames = [&](int n, double wallStep) {
    for (int i = 0; i < n; ++i, ++index) {
      wall += wallStep;
      meter.frame(nullptr, index, static_cast<double>(index) / 60.0);
    }
  };
  // Wall steps of 1/256 s add up exactly. The meter looks at the clock
  // every 16th frame.
  frames(256, 1.0 / 256);  // 1 s of wall time: the delay is over at the 256th frame
  const std::string first = std::string("\r").append(ProgressMeter::statusLine(255 / 60.0, 120.0, 256, 1.0)) + " ";
  EXPECT_EQ(terminal.text(), first);
  frames(48, 1.0 / 256);  // 0.1875 s later: too soon for another line
  EXPECT_EQ(terminal.text(), first);
  frames(16, 1.0 / 256);  // 0.25 s after the first
  const std::string second = std::string("\r").append(ProgressMeter::statusLine(319 / 60.0, 120.0, 320, 1.25)) + " ";
  EXPECT_EQ(terminal.text(), first + second);
  wall += 0.75;
  EXPECT_TRUE(meter.finish(5.5));
  EXPECT_EQ(terminal.text(), first + second + "\r\033[K" + ProgressMeter::summaryLine(5.5, 320, 2.0) + "\n");
}

TEST(ProgressMeter, LinesSayWhereTheRunIsAndHowFast) {
  // 50 s of 100 in 10 s of wall time, 3000 frames: half way, 5x real time,
  // 10 s to go.
  EXPECT_EQ(ProgressMeter::statusLine(50.0, 100.0, 3000, 10.0),
            "  50.0 s of 100.0 s   50%    300 frames/s    5.0x real time  10.0 s left");
  EXPECT_EQ(ProgressMeter::summaryLine(150.0, 9000, 30.0),
            "150.0 s of demo in 30.00 s: 9000 frames, 300 frames/s, 5.0x real time");
  // Past the end of the music, or before any wall time has passed: no
  // more than 100 %, no division by zero.
  EXPECT_EQ(ProgressMeter::statusLine(130.0, 120.0, 10, 0.0),
            " 130.0 s of 120.0 s  100%      0 frames/s    0.0x real time   0.0 s left");
}

}  // namespace
}  // namespace tolvarin
