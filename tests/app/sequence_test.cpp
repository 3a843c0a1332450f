// The demo sequence's waits and key handling, and its failure paths, run
// in-process on a headless runtime with a fake audio layer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "assets/data_manifest.h"
#include "app/demo_sequence.h"
#include "scenes/credits_fade_in.h"
#include "scenes/scene_common.h"
#include "app/startup_objects.h"
#include "support/headless_runtime.h"

namespace tolvarin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::HeadlessRuntime;

RuntimeConfig withKeys(std::vector<double> keys, std::optional<double> until = std::nullopt) {
  RuntimeConfig c = HeadlessRuntime::virtualConfig();
  c.keyTimes = std::move(keys);
  c.until = until;
  return c;
}

TEST(WaitForSyncOrKey, APendingKeyReturnsAtOnceAndLeavesTheSyncFlag) {
  HeadlessRuntime h(withKeys({0.0}));
  h.openDisplay();
  h.runtime.poll();  // the key at 0 s is now pending
  syncFlag = 1;
  waitForSyncOrKey();
  EXPECT_TRUE(musicClock().syncWaiting());
  EXPECT_TRUE(display().keyPressed());
  consumeKey();
  EXPECT_FALSE(display().keyPressed());
  consumeKey();  // nothing pending: nothing happens
}

TEST(WaitForSyncOrKey, PollsUntilASyncArrivesAndClearsIt) {
  HeadlessRuntime h(withKeys({}, 5.0));
  h.openDisplay();
  h.runtime.addTimeListener([&](double t) {
    if (t >= 0.25 && t < 0.2505) h.audio.raiseSync();
  });
  h.audio.syncProc = &onMusicSync;
  waitForSyncOrKey();
  EXPECT_NEAR(h.runtime.now(), 0.25, 0.0015);
  EXPECT_FALSE(musicClock().syncWaiting());
  // A key that arrives while waiting ends the wait too.
  HeadlessRuntime k(withKeys({1.5}, 5.0));
  k.openDisplay();
  waitForSyncOrKey();
  EXPECT_NEAR(k.runtime.now(), 1.5, 0.0015);
  EXPECT_TRUE(display().keyPressed());
}

// A data folder with the three meshes (a single triangle each) and whatever else is asked for.
class TempData {
 public:
  explicit TempData(const char* name) : dir_(fs::path(::testing::TempDir()) / name) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* mesh : {data::qxMesh.name, data::esferaMesh.name, data::columnaMesh.name}) {
      std::ofstream(dir_ / mesh) << "Vertices: 3 Faces: 1\nVertex list:\n"
                                    "Vertex 0: X:0 Y:0 Z:10\nVertex 1: X:1 Y:0 Z:10\nVertex 2: X:0 Y:1 Z:10\n"
                                    "Face list:\nFace 0: A:0 B:1 C:2\n";
    }
  }
  ~TempData() { fs::remove_all(dir_); }
  void remove(const char* name) { fs::remove(dir_ / name); }
  std::string path() const { return dir_.string(); }

 private:
  fs::path dir_;
};

int runSequence(HeadlessRuntime& h, const TempData& data) {
  const DataFiles files(data.path());
  StartupObjects objects(files);
  return demoSequence(files);
}

TEST(DemoSequence, EveryMusicFailureExitsWithOneAfterFreeingTheLibrary) {
  TempData data("sequence_music_failures");
  const std::vector<void (*)(testing::FakeAudio&)> breakers{
      [](testing::FakeAudio& a) { a.version = 1; }, [](testing::FakeAudio& a) { a.initSucceeds = false; },
      [](testing::FakeAudio& a) { a.loadSucceeds = false; }, [](testing::FakeAudio& a) { a.startSucceeds = false; },
      [](testing::FakeAudio& a) { a.playSucceeds = false; }};
  for (std::size_t i = 0; i < breakers.size(); ++i) {
    SCOPED_TRACE(i);
    HeadlessRuntime h;
    breakers[i](h.audio);
    EXPECT_EQ(runSequence(h, data), 1);
    EXPECT_EQ(h.messages.size(), 1u);
    ASSERT_GE(h.audio.calls.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(h.audio.calls.end() - 2, h.audio.calls.end()),
                ElementsAre("BASS_Free", "BASS_Stop"));
    if (i == 0) {
      EXPECT_THAT(h.audio.calls, ElementsAre("BASS_GetVersion", "BASS_Free", "BASS_Stop"));
    }
    EXPECT_EQ(h.runtime.framesPresented(), 0);
  }
}

TEST(DemoSequence, AMissingFirstMeshEndsSilentlyBeforeTheMusic) {
  TempData data("sequence_missing_mesh");
  data.remove(data::qxMesh.name);
  HeadlessRuntime h;
  EXPECT_EQ(runSequence(h, data), 0);
  EXPECT_TRUE(h.audio.calls.empty());
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(h.runtime.framesPresented(), 0);
}

TEST(DemoSequence, KeysEndOneSceneEachAndTheLastKeyEndsTheDemo) {
  TempData data("sequence_keys");
  // Keys keep coming every 50 ms: each ends the scene running, then the final wait.
  std::vector<double> keys;
  for (int i = 1; i <= 40; ++i) keys.push_back(0.05 * i);
  HeadlessRuntime h(withKeys(keys, 30.0));
  EXPECT_EQ(runSequence(h, data), 0);
  EXPECT_LT(h.runtime.now(), 3.0);
  EXPECT_THAT(std::vector<std::string>(h.audio.calls.end() - 2, h.audio.calls.end()),
              ElementsAre("BASS_Free", "BASS_Stop"));
}

TEST(CreditsFadeIn, AKeyPendingDrawsOneBlackFrameAndTheFinalReadTakesIt) {
  HeadlessRuntime h(withKeys({0.0}));
  Display& d = h.openDisplay();
  CreditsFadeIn();
  EXPECT_EQ(h.runtime.framesPresented(), 1);
  const Pixel* frame = d.lock();
  d.unlock();
  EXPECT_EQ(frame[0], 0u);
  d.readKey();
  EXPECT_LT(h.runtime.now(), 0.1);
}

}  // namespace
}  // namespace tolvarin
