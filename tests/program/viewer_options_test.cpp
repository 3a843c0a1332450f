// The options for viewers, run as a user runs them: --start lands exactly
// where a whole run would be, --loop passes are all alike, and bad values are
// refused with the usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/program_run.h"

namespace tolvarin::testing {
namespace {

const Program kProgram = Program::native();

// One whole run at 60 fps, made once for the tests that compare with it.
const ProgramRun& wholeRun() {
  static const ProgramRun run = [] {
    ProgramRun r = kProgram.headless({}, kTrace | kFrameHashes);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r;
  }();
  return run;
}

TEST(Start, FramesAndTraceFromTheStartPointAreThoseOfAWholeRun) {
  const auto& whole = wholeRun().frames;
  ASSERT_GT(whole.size(), 7000u);
  const std::string wholeTrace = readFile(wholeRun().path("trace.jsonl"));
  // A scene by name, a scene by step, and a time in the middle of a scene.
  for (const std::string where : {"Scene3D", "9", "95.5s"}) {
    SCOPED_TRACE(where);
    const ProgramRun start = kProgram.headless({"--start", where}, kTrace | kFrameHashes);
    ASSERT_EQ(start.exitCode, 0) << start.err;
    const auto& part = start.frames;
    ASSERT_FALSE(part.empty());
    const std::size_t first = static_cast<std::size_t>(part.front().index);
    ASSERT_EQ(first + part.size(), whole.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + static_cast<long>(first)));
    // The trace is the whole run's from its first line on.
    const std::string trace = readFile(start.path("trace.jsonl"));
    ASSERT_FALSE(start.events().empty());
    const std::string firstLine = trace.substr(0, trace.find('\n') + 1);
    const auto at = wholeTrace.find(firstLine);
    ASSERT_NE(at, std::string::npos) << firstLine;
    EXPECT_EQ(wholeTrace.substr(at), trace);
    if (where == "Scene3D") {
      EXPECT_TRUE(start.events().front().is("begin", "Scene3D"));
    }
  }
}

TEST(Loop, EveryPassDrawsTheFramesOfTheFirst) {
  const auto& whole = wholeRun().frames;
  const ProgramRun run = kProgram.headless({"--loop", "2"}, kFrameHashes);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto& looped = run.frames;
  ASSERT_EQ(looped.size(), 2 * whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    ASSERT_EQ(looped[i], whole[i]) << i;
    ASSERT_EQ(looped[whole.size() + i].hash, whole[i].hash) << "second pass, frame " << i;
  }
  // The second pass starts after the first has ended, on a whole second.
  const double secondStart = looped[whole.size()].seconds() - whole.front().seconds();
  EXPECT_GT(secondStart, whole.back().seconds());
  EXPECT_NEAR(secondStart, std::round(secondStart), 1e-6);
}

TEST(Loop, PassesGoOnPastAnHourOfDemoTime) {
  // 25 passes of about 154 s: over an hour of virtual time, every pass alike.
  constexpr std::size_t kPasses = 25;
  const ProgramRun run = kProgram.headless({"--loop", std::to_string(kPasses), "--fps", "30"}, kFrameHashes);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto& frames = run.frames;
  ASSERT_EQ(frames.size() % kPasses, 0u);
  const std::size_t perPass = frames.size() / kPasses;
  for (std::size_t i = perPass; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i].hash, frames[i % perPass].hash) << "pass " << i / perPass + 1 << ", frame " << i % perPass;
  }
  EXPECT_GT(frames.back().seconds(), 3600.0);
}

TEST(ViewerOptions, BadValuesAreRefusedWithTheUsage) {
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--start", "NoSuchScene"}, {"--start", "0"}, {"--start", "11"}, {"--start", "-3s"}, {"--start", "5000s"},
           {"--loop", "0"}, {"--loop", "-2"}, {"--loop"}, {"--volume", "101"}, {"--volume", "-1"},
           {"--until", "nan"}, {"--until", "inf"}, {"--keys", "1,nan"}}) {
    SCOPED_TRACE(bad[0] + " " + bad.back());
    const ProgramRun run = kProgram.headless(bad);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--start"), std::string::npos) << "no usage: " << run.err;
  }
  // A bare number past the last step may have been meant as a time: the
  // message says how a time is written.
  const ProgramRun run = kProgram.headless({"--start", "44"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("44s or 44.0"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace tolvarin::testing
