// The libopenmpt audio layer rendering offline under virtual time: syncs and
// the position arrive when their rows are heard, and renders are repeatable.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "formats/g_writer.h"
#include "audio/module_audio.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "platform/runtime.h"
#include "platform/wav_writer.h"
#include "support/fixture_modules.h"

namespace tolvarin {
namespace {

constexpr double kRowSeconds = 5292.0 / 44100.0;  // 0.12 s

std::string writeFixture(const std::string& name) {
  const std::string path = ::testing::TempDir() + "/" + name;
  const auto bytes = formats::encodeS3m(testing::fixtureModule({{{5, 40}, 47}}, {0, 255}));
  EXPECT_TRUE(formats::writeFile(path, bytes));
  return path;
}

struct OfflineRun {
  explicit OfflineRun(double avOffset = 0.0, std::shared_ptr<PcmSink> sink = nullptr, int volume = 100)
      : runtime(makeConfig(avOffset), std::make_unique<HeadlessBackend>(), makeAudio(sink, volume)), scope(runtime) {
    musicClock().clearSync();
  }
  static RuntimeConfig makeConfig(double avOffset) {
    RuntimeConfig c;
    c.mode = TimeMode::Virtual;
    c.avOffset = avOffset;
    return c;
  }
  static std::unique_ptr<AudioLibrary> makeAudio(const std::shared_ptr<PcmSink>& sink, int volume) {
    auto audio = std::make_unique<ModuleAudio>();
    if (sink) audio->addPcmSink(sink);
    audio->setVolume(volume);
    return audio;
  }
  // Advances in 1 ms steps until the flag rises; the time it rose at.
  double timeOfNextSync(double limit) {
    while (!musicClock().syncWaiting() && runtime.now() < limit) runtime.poll();
    musicClock().clearSync();
    return runtime.now();
  }
  Runtime runtime;
  RuntimeScope scope;
};

TEST(ModuleAudioOffline, SyncsAndPositionArriveWhenTheirRowIsHeard) {
  const std::string file = writeFixture("audio_sync.s3m");
  OfflineRun run;
  ASSERT_TRUE(startMusic(file.c_str()));
  EXPECT_NEAR(run.timeOfNextSync(1.0), 5 * kRowSeconds, 0.0025);
  EXPECT_EQ(musicPosition(), 5u << 16);
  run.runtime.advanceTo(20 * kRowSeconds + 0.002);
  EXPECT_EQ(musicPosition(), 20u << 16);
  EXPECT_NEAR(run.timeOfNextSync(10.0), 40 * kRowSeconds, 0.0025);
  // The pattern breaks after row 47 and the song ends: the position stays there.
  EXPECT_FALSE(run.runtime.audio().musicEndedAt().has_value());
  run.runtime.advanceTo(10.0);
  ASSERT_TRUE(run.runtime.audio().musicEndedAt().has_value());
  EXPECT_NEAR(*run.runtime.audio().musicEndedAt(), 48 * kRowSeconds, 0.2);
  EXPECT_EQ(musicPosition(), 47u << 16);
  EXPECT_FALSE(musicClock().syncWaiting());
  stopMusic();
}

TEST(ModuleAudioOffline, AvOffsetShiftsTheSignalsNotTheSound) {
  const std::string file = writeFixture("audio_offset.s3m");
  {
    OfflineRun late(0.25);
    ASSERT_TRUE(startMusic(file.c_str()));
    EXPECT_NEAR(late.timeOfNextSync(2.0), 5 * kRowSeconds + 0.25, 0.0025);
    stopMusic();
  }
  {
    OfflineRun early(-0.25);
    ASSERT_TRUE(startMusic(file.c_str()));
    EXPECT_NEAR(early.timeOfNextSync(2.0), 5 * kRowSeconds - 0.25, 0.0025);
    stopMusic();
  }
}

std::vector<char> renderToWav(const std::string& module, const std::string& wav, int volume = 100) {
  {
    auto sink = std::make_shared<WavWriter>();
    EXPECT_TRUE(sink->open(wav));
    OfflineRun run(0.0, sink, volume);
    EXPECT_TRUE(startMusic(module.c_str()));
    for (int i = 0; i < 3000; ++i) run.runtime.poll();  // uneven steps: 1 ms polls
    run.runtime.advanceTo(7.0);
    stopMusic();
    EXPECT_TRUE(sink->close());
  }
  std::ifstream in(wav, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ModuleAudioOffline, RendersAreBitIdenticalAndHoldTheWholeSong) {
  const std::string file = writeFixture("audio_wav.s3m");
  const auto a = renderToWav(file, ::testing::TempDir() + "/a.wav");
  const auto b = renderToWav(file, ::testing::TempDir() + "/b.wav");
  ASSERT_GT(a.size(), 44u);
  EXPECT_EQ(a, b);
  // 48 rows of sound, 16-bit stereo, after the 44-byte header.
  const double seconds = static_cast<double>(a.size() - 44) / (44100.0 * 4);
  EXPECT_NEAR(seconds, 48 * kRowSeconds, 0.2);
  bool audible = false;
  for (std::size_t i = 44; i < a.size() && !audible; ++i) audible = a[i] != 0;
  EXPECT_TRUE(audible);
}

TEST(ModuleAudioOffline, VolumeScalesEverySampleAndZeroIsSilence) {
  const std::string file = writeFixture("audio_volume.s3m");
  const auto full = renderToWav(file, ::testing::TempDir() + "/full.wav");
  const auto half = renderToWav(file, ::testing::TempDir() + "/half.wav", 50);
  const auto none = renderToWav(file, ::testing::TempDir() + "/none.wav", 0);
  ASSERT_EQ(full.size(), half.size());
  ASSERT_EQ(full.size(), none.size());
  const auto sample = [](const std::vector<char>& wav, std::size_t i) {
    return static_cast<std::int16_t>(static_cast<unsigned char>(wav[44 + 2 * i]) |
                                     static_cast<unsigned char>(wav[45 + 2 * i]) << 8);
  };
  bool loud = false;
  for (std::size_t i = 0; i < (full.size() - 44) / 2; ++i) {
    ASSERT_EQ(sample(half, i), sample(full, i) * 50 / 100) << i;
    ASSERT_EQ(sample(none, i), 0) << i;
    loud = loud || sample(full, i) > 1000;
  }
  EXPECT_TRUE(loud);
}

}  // namespace
}  // namespace tolvarin
