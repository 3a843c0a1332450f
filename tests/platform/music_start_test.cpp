// startMusic's five failure paths and the calls it makes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assets/data_manifest.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "support/headless_runtime.h"

namespace tolvarin {
namespace {

using ::testing::ElementsAre;
using testing::HeadlessRuntime;

TEST(StartMusic, StartsTheModuleWithTheMarkerSync) {
  HeadlessRuntime h;
  ASSERT_TRUE(startMusic("dir/music.s3m"));
  EXPECT_THAT(h.audio.calls, ElementsAre("BASS_GetVersion", "BASS_Init:44100", "BASS_MusicLoad",
                                         "BASS_ChannelSetSync:4294901792", "BASS_Start", "BASS_MusicPlay"));
  EXPECT_EQ(h.audio.loadedFile, "dir/music.s3m");
  EXPECT_TRUE(h.messages.empty());
  h.audio.raiseSync();
  EXPECT_TRUE(musicClock().syncWaiting());
  h.audio.position = [] { return 0x00050013u; };
  EXPECT_EQ(musicPosition(), 0x00050013u);
  stopMusic();
  EXPECT_THAT(std::vector<std::string>(h.audio.calls.end() - 2, h.audio.calls.end()),
              ElementsAre("BASS_Free", "BASS_Stop"));
}

TEST(StartMusic, EachFailureShowsItsOwnMessageAndStops) {
  struct Case {
    const char* name;
    void (*breakIt)(testing::FakeAudio&);
    const char* caption;
    const char* text;
    std::size_t calls;  // calls made, the failing one included
  };
  const Case cases[] = {
      {"version", [](testing::FakeAudio& a) { a.version = 0x00080000; }, "Incorrect BASS.DLL",
       "BASS version 0.7 was not loaded", 1},
      {"init", [](testing::FakeAudio& a) { a.initSucceeds = false; a.errorCode = 23; }, "Error",
       "Can't initialize digital sound system\n(error code: 23)", 2},
      {"load", [](testing::FakeAudio& a) { a.loadSucceeds = false; a.errorCode = 2; }, "Error",
       "Can't load music\n(error code: 2)", 3},
      {"start", [](testing::FakeAudio& a) { a.startSucceeds = false; a.errorCode = 9; }, "Error",
       "Can't Start music", 5},
      {"play", [](testing::FakeAudio& a) { a.playSucceeds = false; }, "Error", "Can't play music", 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessRuntime h;
    c.breakIt(h.audio);
    EXPECT_FALSE(startMusic(data::music.name));
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].caption, c.caption);
    EXPECT_EQ(h.messages[0].text, c.text);
    EXPECT_EQ(h.audio.calls.size(), c.calls);
  }
}

}  // namespace
}  // namespace tolvarin
