// The options for viewers, run as a user runs them: --start lands exactly
// where a whole run would be, --loop passes are all alike, the progress line
// shows on a terminal only, and bad values are refused with the usage.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/options.h"

namespace tolvarin {
namespace {

const std::string kProgram = std::string(TOLVARIN_BINARY_DIR) + "/tolvarin";
const std::string kHeadless = kProgram + " --headless --data " + TOLVARIN_TEST_DATA_DIR;

// Each test's own files: CTest runs the tests of this file side by side, as
// separate processes that would otherwise write the same whole-run files.
std::string temp(const std::string& name) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "/viewer_" + test->test_suite_name() + "_" + test->name() + "_" + name;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int exitCode(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct FrameLine {
  long index;
  std::string time, hash;
  bool operator==(const FrameLine&) const = default;
};

std::vector<FrameLine> frames(const std::string& path) {
  std::vector<FrameLine> out;
  std::istringstream in(slurp(path));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    FrameLine f;
    fields >> f.index >> f.time >> f.hash;
    out.push_back(f);
  }
  return out;
}

// One whole run at 60 fps, made once for the tests that compare with it.
const std::vector<FrameLine>& wholeRun() {
  static const std::vector<FrameLine> run = [] {
    EXPECT_EQ(exitCode(kHeadless + " --frame-hashes " + temp("whole.txt") + " --trace " + temp("whole.jsonl")), 0);
    return frames(temp("whole.txt"));
  }();
  return run;
}

TEST(Start, FramesAndTraceFromTheStartPointAreThoseOfAWholeRun) {
  const auto& whole = wholeRun();
  ASSERT_GT(whole.size(), 7000u);
  const std::string wholeTrace = slurp(temp("whole.jsonl"));
  // A scene by name, a scene by step, and a time in the middle of a scene.
  for (const std::string where : {"Scene3D", "9", "95.5s"}) {
    SCOPED_TRACE(where);
    ASSERT_EQ(exitCode(kHeadless + " --start " + where + " --frame-hashes " + temp("start.txt") + " --trace " +
                       temp("start.jsonl")),
              0);
    const auto part = frames(temp("start.txt"));
    ASSERT_FALSE(part.empty());
    const std::size_t first = static_cast<std::size_t>(part.front().index);
    ASSERT_EQ(first + part.size(), whole.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + static_cast<long>(first)));
    // The trace is the whole run's from its first line on.
    const std::string trace = slurp(temp("start.jsonl"));
    ASSERT_FALSE(trace.empty());
    const std::string firstLine = trace.substr(0, trace.find('\n') + 1);
    const auto at = wholeTrace.find(firstLine);
    ASSERT_NE(at, std::string::npos) << firstLine;
    EXPECT_EQ(wholeTrace.substr(at), trace);
    if (where == "Scene3D") {
      EXPECT_NE(firstLine.find(R"("event":"begin","scene":"Scene3D")"), std::string::npos);
    }
  }
}

TEST(Loop, EveryPassDrawsTheFramesOfTheFirst) {
  const auto& whole = wholeRun();
  ASSERT_EQ(exitCode(kHeadless + " --loop 2 --frame-hashes " + temp("loop.txt")), 0);
  const auto looped = frames(temp("loop.txt"));
  ASSERT_EQ(looped.size(), 2 * whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    ASSERT_EQ(looped[i], whole[i]) << i;
    ASSERT_EQ(looped[whole.size() + i].hash, whole[i].hash) << "second pass, frame " << i;
  }
  // The second pass starts after the first has ended, on a whole second.
  const double secondStart = std::stod(looped[whole.size()].time) - std::stod(whole.front().time);
  EXPECT_GT(secondStart, std::stod(whole.back().time));
  EXPECT_NEAR(secondStart, std::round(secondStart), 1e-6);
}

TEST(Progress, ShowsOnATerminalOnlyAndNotWithQuiet) {
  if (exitCode("command -v script >/dev/null") != 0) GTEST_SKIP() << "script(1) is not installed";
  // A run long enough to pass the one-second threshold: the whole demo at 144 fps.
  const std::string run = kHeadless + " --fps 144";
  ASSERT_EQ(exitCode("script -qec '" + run + "' /dev/null >" + temp("tty.txt") + " 2>&1"), 0);
  const std::string terminal = slurp(temp("tty.txt"));
  EXPECT_NE(terminal.find('\r'), std::string::npos) << terminal;
  EXPECT_NE(terminal.find("% "), std::string::npos) << terminal;
  EXPECT_NE(terminal.find("x real time"), std::string::npos) << terminal;
  EXPECT_NE(terminal.find("s of demo in"), std::string::npos) << terminal;  // the summary line

  ASSERT_EQ(exitCode(run + " 2>" + temp("pipe.txt")), 0);
  EXPECT_EQ(slurp(temp("pipe.txt")), "");
  ASSERT_EQ(exitCode("script -qec '" + run + " --quiet' /dev/null >" + temp("quiet.txt") + " 2>&1"), 0);
  EXPECT_EQ(slurp(temp("quiet.txt")).find("real time"), std::string::npos);
}

TEST(ViewerOptions, BadValuesAreRefusedWithTheUsage) {
  for (const std::string bad : {"--start NoSuchScene", "--start 0", "--start 11", "--start -3s", "--start 5000s",
                                "--loop 0", "--loop -2", "--loop", "--volume 101", "--volume -1", "--until nan",
                                "--until inf", "--keys 1,nan"}) {
    SCOPED_TRACE(bad);
    const std::string err = temp("bad.err");
    EXPECT_EQ(exitCode(kHeadless + " " + bad + " >/dev/null 2>" + err), 2);
    EXPECT_NE(slurp(err).find("--start"), std::string::npos) << "no usage: " << slurp(err);
  }
}

TEST(ViewerOptions, StartNamesStepsAndTimes) {
  StartPoint p;
  EXPECT_EQ(parseStart("Scene3D", p), "");
  EXPECT_EQ(p.step, 7);
  EXPECT_EQ(parseStart("creditsfadein", p), "");
  EXPECT_EQ(p.step, 10);
  EXPECT_EQ(parseStart("1", p), "");
  EXPECT_EQ(p.step, 1);
  EXPECT_EQ(parseStart("90s", p), "");
  EXPECT_EQ(p.step, 0);
  EXPECT_DOUBLE_EQ(p.time, 90.0);
  EXPECT_EQ(parseStart("12.25", p), "");
  EXPECT_DOUBLE_EQ(p.time, 12.25);
  EXPECT_NE(parseStart("12", p), "");  // a step number that does not exist, not a time
  EXPECT_NE(parseStart("Scene", p), "");
  EXPECT_NE(parseStart("", p), "");
  EXPECT_NE(parseStart("nans", p), "");
}

}  // namespace
}  // namespace tolvarin
