// The audio layer when the sound device goes away in the middle of a run and
// comes back: the stand-in carries the music on from the next sample at the
// same clock, the program says so once, the device is tried again every few
// seconds and takes the music back when it opens, and every row is released
// when it is heard throughout. The outputs are played by hand on a clock the
// test drives, so what is heard when is exact; only the dispatcher runs by
// itself, and the test waits for it (boundedly) where a row is due.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/module_audio.h"
#include "formats/g_writer.h"
#include "gfx2d/framebuffer.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "platform/runtime.h"
#include "support/faulty_audio_output.h"
#include "support/fixture_modules.h"

namespace tolvarin {
namespace {

using testing::FaultyAudioOutput;
using testing::HeardLog;

constexpr std::int64_t kRowFrames = 5292;
constexpr double kStep = 0.001;  // the test's clock moves in steps of 1 ms
// A row is released within this of being heard: it is stamped at most one
// 64-frame chunk after its start, and the outputs ask at most a step late.
constexpr double kEarly = 0.001;
constexpr double kLate = 64 / HeardLog::kRate + 2 * kStep;
// The device: a headset with a long way to the ear (so a stand-in that kept
// the device's pace would release rows early).
constexpr int kDeviceBuffer = 1024;
constexpr double kDeviceLatency = 0.05;

// A module with a marker on every odd row: one every 0.24 s.
std::string writeModule() {
  std::vector<int> rows;
  for (int r = 1; r < 64; r += 2) rows.push_back(r);
  const std::string path = ::testing::TempDir() + "/device_loss.s3m";
  EXPECT_TRUE(formats::writeFile(path, formats::encodeS3m(testing::fixtureModule({{rows}}, {0, 0, 0, 0, 0}))));
  return path;
}

class DeviceLoss {
 public:
  DeviceLoss() {
    auto device = std::make_unique<FaultyAudioOutput>(log_, kDeviceBuffer, kDeviceLatency);
    device_ = device.get();
    auto audio = std::make_unique<ModuleAudio>(std::move(device), [this] {
      auto standIn = std::make_unique<FaultyAudioOutput>(log_, 512, 0.0);
      standIn_ = standIn.get();
      return standIn;
    });
    RuntimeConfig config;
    config.fps = 0;  // no pacing: the clock is the test's
    config.realClock = [this] { return clock_.load(); };
    runtime_ = std::make_unique<Runtime>(config, std::make_unique<HeadlessBackend>(), std::move(audio));
    scope_ = std::make_unique<RuntimeScope>(*runtime_);
    musicClock().clearSync();
  }

  FaultyAudioOutput& device() { return *device_; }
  FaultyAudioOutput* standIn() { return standIn_; }
  Runtime& runtime() { return *runtime_; }
  double clock() const { return clock_.load(); }

  // Starts the music (again) from its first row.
  bool start(const std::string& file) {
    log_->reset();
    next_ = 0;
    earlyChecked_ = false;
    musicClock().clearSync();
    return startMusic(file.c_str());
  }

  // Moves the clock on step by step: the outputs ask for what is due, a
  // frame is shown every 16 steps (the runtime polls there, and the layer
  // watches its device), and every marker heard by then must have been
  // released on time.
  void advanceTo(double t) {
    while (clock() < t - 1e-9) {
      checkEarly();
      clock_.store(std::min(clock() + kStep, t));
      device_->pump(clock());
      if (standIn_ != nullptr) standIn_->pump(clock());
      if (++steps_ % 16 == 0) runtime_->present(frame_.data());
      checkReleased();
    }
  }

  // Heard time less music time of each marker released so far, in order.
  std::vector<double> offsets;

 private:
  static std::int64_t markerFrame(std::size_t k) {
    const std::size_t row = 1 + 2 * k;  // pattern rows run on across orders
    return static_cast<std::int64_t>(row) * kRowFrames;
  }

  double nextHeard() const { return log_->heardAt(markerFrame(next_)); }

  // Just before the clock reaches a marker's earliest time, the dispatcher
  // (which reads the clock at least every 20 ms) has had time to release it
  // if it were due already. A slow machine can only hide an early release
  // here, never fail a right one.
  void checkEarly() {
    const double heard = nextHeard();
    if (earlyChecked_ || std::isnan(heard) || clock() + kStep < heard - kEarly) return;
    earlyChecked_ = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_FALSE(musicClock().syncWaiting()) << "marker " << next_ << " released before " << heard - kEarly;
  }

  void checkReleased() {
    const double heard = nextHeard();
    if (std::isnan(heard) || clock() < heard + kLate) return;
    bool released = false;
    for (int i = 0; i < 5000 && !(released = musicClock().takeSync()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(released) << "marker " << next_ << " heard at " << heard << " not released by " << clock();
    const std::uint32_t row = (1 + 2 * next_) % 64;
    EXPECT_EQ(musicPosition() >> 16, row) << "marker " << next_;
    offsets.push_back(heard - static_cast<double>(markerFrame(next_)) / HeardLog::kRate);
    ++next_;
    earlyChecked_ = false;
  }

  std::shared_ptr<HeardLog> log_ = std::make_shared<HeardLog>();
  std::atomic<double> clock_{100.0};
  FaultyAudioOutput* device_ = nullptr;
  FaultyAudioOutput* standIn_ = nullptr;
  std::unique_ptr<Runtime> runtime_;
  std::unique_ptr<RuntimeScope> scope_;
  std::vector<Pixel> frame_ = std::vector<Pixel>(kFramePixels);
  std::size_t next_ = 0;
  bool earlyChecked_ = false;
  int steps_ = 0;
};

// How far the music moved against the clock between two markers: 0 while one
// output plays it steadily.
double jump(const std::vector<double>& offsets, std::size_t i) { return offsets[i] - offsets[i - 1]; }

TEST(ModuleAudioDeviceLoss, TheStandInCarriesTheMusicOnTimeUntilTheDeviceIsBackAndTheRunIsToldOnce) {
  const std::string file = writeModule();
  DeviceLoss rig;
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(rig.start(file));
  auto& device = rig.device();

  rig.advanceTo(103.0);
  const std::size_t atLoss = rig.offsets.size();
  ASSERT_GE(atLoss, 10u);
  EXPECT_EQ(rig.standIn(), nullptr);

  // Pulled out: at the next frame's poll the stand-in takes over.
  device.unplug();
  rig.advanceTo(103.02);
  ASSERT_NE(rig.standIn(), nullptr);
  EXPECT_TRUE(rig.standIn()->asking());
  auto* audio = dynamic_cast<ModuleAudio*>(&rig.runtime().audio());
  ASSERT_NE(audio, nullptr);
  EXPECT_TRUE(audio->silentFallback());

  // Tried again every 3 s (at about 106 and 109) while it is out; plugged in
  // at 110, it opens at the try at about 112 and the stand-in stops.
  rig.advanceTo(110.0);
  EXPECT_EQ(device.failedOpens, 2);
  device.plugIn();
  rig.advanceTo(112.0);
  EXPECT_FALSE(device.asking());
  const std::size_t atReturn = rig.offsets.size();
  rig.advanceTo(112.1);
  EXPECT_TRUE(device.asking());
  EXPECT_FALSE(rig.standIn()->asking());
  EXPECT_FALSE(audio->silentFallback());
  rig.advanceTo(115.0);
  ASSERT_GT(rig.offsets.size(), atReturn + 10);

  // The music went on at the same clock: it moved once across the loss, by
  // skipping at most what the device had been given but not yet played, and
  // once across the return, by waiting for the device's way to the ear.
  // Elsewhere it never moved.
  const double buffer = kDeviceBuffer / HeardLog::kRate;
  std::vector<double> lossJumps;
  std::vector<double> returnJumps;
  for (std::size_t i = 1; i < rig.offsets.size(); ++i) {
    const double j = jump(rig.offsets, i);
    if (std::abs(j) < 1e-9) continue;
    EXPECT_GE(i, atLoss) << "the music moved before the loss, at marker " << i;
    (i < atReturn ? lossJumps : returnJumps).push_back(j);
  }
  ASSERT_EQ(lossJumps.size(), 1u);
  EXPECT_LE(lossJumps[0], 0.0);
  EXPECT_GE(lossJumps[0], -(kDeviceLatency + buffer + kStep));
  ASSERT_EQ(returnJumps.size(), 1u);
  EXPECT_NEAR(returnJumps[0], kDeviceLatency, buffer + kStep);
  // The demo clock knew nothing of it.
  EXPECT_DOUBLE_EQ(rig.runtime().now() + 100.0, rig.clock());

  // Gone again, and the music starts again (the next pass of a looping run)
  // while it is out: silently, nothing more said, and the device is still
  // tried and taken back.
  device.unplug();
  rig.advanceTo(116.0);
  stopMusic();
  ASSERT_TRUE(rig.start(file));
  const std::size_t secondPass = rig.offsets.size();
  EXPECT_TRUE(audio->silentFallback());
  rig.advanceTo(118.5);  // the try at 118 (3 s after the loss) failed
  EXPECT_FALSE(device.asking());
  device.plugIn();
  rig.advanceTo(120.9);
  EXPECT_FALSE(device.asking());
  rig.advanceTo(121.1);
  EXPECT_TRUE(device.asking());
  rig.advanceTo(122.0);
  EXPECT_GE(rig.offsets.size(), secondPass + 20);
  stopMusic();

  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "tolvarin: the audio device went away; the music plays on silently until one comes back\n");
}

}  // namespace
}  // namespace tolvarin
