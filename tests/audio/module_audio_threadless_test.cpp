// The audio layer on a threadless output (the browser page's): the runtime's
// polls and presents serve the output, and a row is released when the output
// says its place in the stream has been heard, however far ahead it was
// mixed. The output here is scripted: it mixes as far ahead as it is told
// and reports what the test says is heard.
#include <gtest/gtest.h>

#include <vector>

#include "formats/g_writer.h"
#include "gfx2d/framebuffer.h"
#include "audio/module_audio.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "platform/runtime.h"
#include "support/fixture_modules.h"

namespace tolvarin {
namespace {

constexpr double kRowSeconds = 5292.0 / 44100.0;  // 0.12 s

class ScriptedOutput final : public AudioOutput {
 public:
  bool open(Mixer mixer, std::string&) override {
    mixer_ = std::move(mixer);
    return true;
  }
  void resume() override { playing_ = true; }
  void pause() override { playing_ = false; }
  void close() override { mixer_ = nullptr; }
  int bufferFrames() const override { return kChunk; }
  double outputLatency() const override { return 0.0; }
  bool threadless() const override { return true; }
  void service() override {
    ++served;
    std::vector<std::int16_t> pcm(kChunk * 2);
    while (playing_ && mixer_ && mixed < ahead) {
      mixer_(pcm.data(), kChunk);
      mixed += kChunk;
    }
  }
  double heardSeconds() const override { return heard; }

  static constexpr int kChunk = 1024;
  std::int64_t ahead = 0;  // frames to have mixed
  std::int64_t mixed = 0;
  double heard = -1.0;  // nothing heard yet
  int served = 0;

 private:
  Mixer mixer_;
  bool playing_ = false;
};

TEST(ModuleAudioThreadless, RowsAreReleasedWhenTheOutputHearsThemNotWhenMixed) {
  const std::string file = ::testing::TempDir() + "/threadless.s3m";
  ASSERT_TRUE(formats::writeFile(file, formats::encodeS3m(testing::fixtureModule({{{5, 40}, 47}}, {0, 255}))));
  auto device = std::make_unique<ScriptedOutput>();
  ScriptedOutput& out = *device;
  Runtime runtime(RuntimeConfig{}, std::make_unique<HeadlessBackend>(),
                  std::make_unique<ModuleAudio>(std::move(device)));
  RuntimeScope scope(runtime);
  musicClock().clearSync();
  ASSERT_TRUE(startMusic(file.c_str()));

  // Both markers are mixed at the first poll; neither is heard yet.
  out.ahead = 44100 * 10;
  runtime.poll();
  EXPECT_GE(out.mixed, 44 * 5292);
  EXPECT_FALSE(musicClock().syncWaiting());
  EXPECT_EQ(musicPosition(), 0u);

  out.heard = 5 * kRowSeconds - 0.001;
  runtime.poll();
  EXPECT_FALSE(musicClock().syncWaiting());
  EXPECT_EQ(musicPosition(), 4u << 16);
  out.heard = 5 * kRowSeconds + 0.001;
  runtime.poll();
  EXPECT_TRUE(musicClock().takeSync());
  EXPECT_EQ(musicPosition(), 5u << 16);

  // A present serves the output too (after the frame is shown).
  const int served = out.served;
  out.heard = 20 * kRowSeconds + 0.001;
  std::vector<Pixel> frame(kFramePixels);
  runtime.present(frame.data());
  EXPECT_GT(out.served, served);
  EXPECT_EQ(musicPosition(), 20u << 16);
  EXPECT_FALSE(musicClock().syncWaiting());

  out.heard = 40 * kRowSeconds + 0.001;
  runtime.poll();
  EXPECT_TRUE(musicClock().takeSync());
  EXPECT_EQ(musicPosition(), 40u << 16);
  stopMusic();
  // Released: further polls serve nothing and release nothing.
  out.heard = 100.0;
  runtime.poll();
  EXPECT_FALSE(musicClock().syncWaiting());
}

// The real-time clock leaves out the seconds the output stood paused (a
// hidden browser tab), so nothing runs on or races to catch up.
class PausingBackend final : public HeadlessBackend {
 public:
  double pausedSeconds() const override { return paused; }
  double paused = 0.0;
};

TEST(RuntimePause, TheRealClockStandsStillForTheOutputsPauses) {
  auto backend = std::make_unique<PausingBackend>();
  PausingBackend& pixels = *backend;
  Runtime runtime(RuntimeConfig{}, std::move(backend), std::make_unique<ModuleAudio>());
  const double before = runtime.now();
  pixels.paused = 1000.0;
  EXPECT_LT(runtime.now(), before - 999.0);
}

}  // namespace
}  // namespace tolvarin
