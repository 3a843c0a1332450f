// The virtual clock, the keyboard script, the timer, the real clock's stalls
// and the trace format.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <string>

#include "platform/timer.h"
#include "platform/trace.h"
#include "support/headless_runtime.h"

namespace tolvarin {
namespace {

using testing::HeadlessRuntime;

RuntimeConfig config(std::vector<double> keys = {}, std::optional<double> until = std::nullopt) {
  RuntimeConfig c = HeadlessRuntime::virtualConfig();
  c.keyTimes = std::move(keys);
  c.until = until;
  return c;
}

TEST(VirtualClock, PresentsLandOnFrameBoundariesAndPollsCostOneMillisecond) {
  HeadlessRuntime h;
  Display& d = h.openDisplay();
  d.present();
  EXPECT_NEAR(h.runtime.now(), 1.0 / 60, 1e-9);
  d.present();
  EXPECT_NEAR(h.runtime.now(), 2.0 / 60, 1e-9);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(d.keyPressed());
  EXPECT_NEAR(h.runtime.now(), 2.0 / 60 + 0.005, 1e-9);
  // Polls that run past a boundary make the next frame wait for the one after.
  for (int i = 0; i < 15; ++i) (void)d.keyPressed();
  d.present();
  EXPECT_NEAR(h.runtime.now(), 4.0 / 60, 1e-9);
  EXPECT_EQ(h.runtime.framesPresented(), 3);
}

TEST(VirtualClock, ASafetyLimitEndsAPassThatNeverEndsCountingFromThePassStart) {
  RuntimeConfig c = config();
  c.passTimeLimit = 5.0;
  HeadlessRuntime h(c);
  h.runtime.setMusicEndsInput(false);  // nothing but the limit ends this run
  h.runtime.advanceTo(4.0);
  h.runtime.beginPass();
  h.runtime.advanceTo(8.5);  // 8.5 s in all, but 4.5 s into this pass
  EXPECT_FALSE(h.runtime.inputEnded());
  EXPECT_FALSE(h.runtime.stoppedByLimit());
  h.runtime.takeKey();  // no key will come: the limit ends the wait
  EXPECT_TRUE(h.runtime.inputEnded());
  EXPECT_TRUE(h.runtime.stoppedByLimit());
  EXPECT_NEAR(h.runtime.now(), 9.0, 0.011);
}

TEST(VirtualClock, TimerBusyWaitProgressesAndStopFreezesIt) {
  HeadlessRuntime h;
  Timer timer;
  timer.set(0.0);
  timer.start();
  int polls = 0;
  while (timer.time() < 0.1) ++polls;
  EXPECT_EQ(polls, 99);  // the 100th read reaches 0.1 s
  timer.stop();
  const double frozen = timer.time();
  for (int i = 0; i < 50; ++i) (void)timer.time();
  EXPECT_DOUBLE_EQ(timer.time(), frozen);
  timer.set(0.0);
  EXPECT_DOUBLE_EQ(timer.time(), 0.0);
}

TEST(KeyScript, KeysBecomePendingAtTheirTimesAndWaitsJumpToTheNextOne) {
  HeadlessRuntime h(config({0.5, 0.5, 2.0}, 3.0));
  Display& d = h.openDisplay();
  while (h.runtime.now() < 0.499) EXPECT_FALSE(d.keyPressed());
  EXPECT_TRUE(d.keyPressed());
  d.readKey();
  EXPECT_TRUE(d.keyPressed());  // the second key of the same moment
  d.readKey();
  EXPECT_FALSE(d.keyPressed());
  d.readKey();  // waits for the key at 2.0 s
  EXPECT_NEAR(h.runtime.now(), 2.0, 0.002);
  EXPECT_FALSE(d.keyPressed());
  // No key left: the wait ends when the input does (--until 3).
  d.readKey();
  EXPECT_NEAR(h.runtime.now(), 3.0, 0.011);
  EXPECT_TRUE(h.runtime.inputEnded());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(d.keyPressed());
}

// The real clock on a clock the test drives: readings by any thread, a frame
// or a poll apart, keep demo time running with it.
struct DrivenRealClock {
  explicit DrivenRealClock(int fps, std::unique_ptr<PixelBackend> pixels = std::make_unique<HeadlessBackend>())
      : runtime(makeConfig(fps), std::move(pixels), std::make_unique<testing::FakeAudio>()) {}
  RuntimeConfig makeConfig(int fps) {
    RuntimeConfig c;
    c.fps = fps;
    c.realClock = [this] { return clock; };
    return c;
  }
  // Reads the demo clock every `every` seconds for `seconds`; the last reading.
  double readFor(double seconds, double every) {
    const double end = clock + seconds;
    double t = runtime.now();
    while (clock + every <= end + 1e-9) {
      clock += every;
      t = runtime.now();
    }
    return t;
  }
  double clock = 50.0;
  Runtime runtime;
};

TEST(RealClock, AStallOfTheWholeProgramIsLeftOutAndTheDemoGoesOnFromWhereItStood) {
  DrivenRealClock c(60);
  // Until the audio layer asks for it, a gap is just time going by.
  c.clock += 5.0;
  EXPECT_DOUBLE_EQ(c.runtime.now(), 5.0);
  c.runtime.leaveOutStalls();
  // Frames, and a slow frame of a fifth of a second, all count.
  EXPECT_NEAR(c.readFor(1.0, 1.0 / 60), 6.0, 1e-9);
  c.clock += 0.2;
  EXPECT_NEAR(c.runtime.now(), 6.2, 1e-9);
  // Stopped for 5 s (SIGSTOP, a debugger): on from where it stood.
  c.clock += 5.0;
  EXPECT_NEAR(c.runtime.now(), 6.2, 1e-9);
  EXPECT_NEAR(c.readFor(0.5, 0.01), 6.7, 1e-9);
  EXPECT_NEAR(c.runtime.stalledSeconds(), 5.0, 1e-9);
  // The main thread busy for 2 s while the audio thread reads the clock at
  // every buffer: nothing stood still, nothing is left out.
  EXPECT_NEAR(c.readFor(2.0, 512 / 44100.0), 8.7, 0.012);
  EXPECT_NEAR(c.runtime.stalledSeconds(), 5.0, 1e-9);

  // At one frame a second, a frame's wait is no stall; a longer gap is.
  DrivenRealClock slow(1);
  slow.runtime.leaveOutStalls();
  slow.clock += 1.2;
  EXPECT_NEAR(slow.runtime.now(), 1.2, 1e-9);
  slow.clock += 1.3;
  EXPECT_NEAR(slow.runtime.now(), 1.2, 1e-9);
}

// The output stood paused (a hidden browser tab), counting the pause as it
// goes: the clock stands still for it once, not once more as a stall.
class PausingBackend final : public HeadlessBackend {
 public:
  explicit PausingBackend(const double& clock) : clock_(clock) {}
  double pausedSeconds() const override { return pausedBefore + (pausedSince ? clock_ - *pausedSince : 0.0); }
  double pausedBefore = 0.0;
  std::optional<double> pausedSince;

 private:
  const double& clock_;
};

TEST(RealClock, APauseOfTheOutputIsNoStall) {
  double clock = 50.0;
  auto backend = std::make_unique<PausingBackend>(clock);
  PausingBackend& pixels = *backend;
  RuntimeConfig config;
  config.realClock = [&clock] { return clock; };
  Runtime runtime(config, std::move(backend), std::make_unique<testing::FakeAudio>());
  runtime.leaveOutStalls();
  for (int frame = 0; frame < 60; ++frame) {
    clock += 1.0 / 60;
    (void)runtime.now();
  }
  EXPECT_NEAR(runtime.now(), 1.0, 1e-9);
  pixels.pausedSince = clock;
  clock += 10.0;
  EXPECT_NEAR(runtime.now(), 1.0, 1e-9);
  pixels.pausedBefore = 10.0;
  pixels.pausedSince.reset();
  clock += 0.1;
  EXPECT_NEAR(runtime.now(), 1.1, 1e-9);
  EXPECT_DOUBLE_EQ(runtime.stalledSeconds(), 0.0);
}

TEST(Trace, WritesOneJsonObjectPerEventWithTheCurrentScene) {
  const std::string path = ::testing::TempDir() + "/trace_test.jsonl";
  {
    HeadlessRuntime h(config({0.01}));
    h.audio.position = [] { return 3u | (16u << 16); };
    h.runtime.setMusicHandle(7);
    ASSERT_TRUE(h.runtime.tracer().open(path, [&] {
      return TraceStamp{h.runtime.now(), h.runtime.framesPresented(), h.runtime.musicPositionNow()};
    }));
    Display& d = h.openDisplay();
    TraceScope scene("LightSweep");
    {
      TraceScope phase("LightSweep.phase1");
      d.present();
    }
  }
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], R"({"t":0.000,"frame":0,"order":3,"row":16,"event":"begin","scene":"LightSweep"})");
  EXPECT_EQ(lines[1], R"({"t":0.000,"frame":0,"order":3,"row":16,"event":"begin","scene":"LightSweep.phase1"})");
  // The key at 0.01 s arrives while the frame's clock moves to 1/60 s.
  EXPECT_EQ(lines[2], R"({"t":0.017,"frame":0,"order":3,"row":16,"event":"key","scene":"LightSweep.phase1"})");
  EXPECT_EQ(lines[3], R"({"t":0.017,"frame":1,"order":3,"row":16,"event":"end","scene":"LightSweep.phase1"})");
  EXPECT_EQ(lines[4], R"({"t":0.017,"frame":1,"order":3,"row":16,"event":"end","scene":"LightSweep"})");
  std::remove(path.c_str());
}

}  // namespace
}  // namespace tolvarin
