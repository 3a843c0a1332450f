#include "platform/music.h"

#include <cstdio>

#include "platform/music_clock.h"
#include "platform/runtime.h"

namespace tolvarin {

std::atomic<std::uint8_t> syncFlag{0};

void onMusicSync(HSYNC, std::uint32_t, std::uint32_t) { syncFlag.store(1, std::memory_order_relaxed); }

namespace {

// The program's clock: syncFlag (relaxed ordering is all a one-byte flag
// needs) and the audio layer's position.
class SyncFlagClock final : public MusicClock {
 public:
  std::uint32_t position() override { return musicPosition(); }
  bool takeSync() override { return syncFlag.exchange(0, std::memory_order_relaxed) != 0; }
  bool syncWaiting() override { return syncFlag.load(std::memory_order_relaxed) != 0; }
  void clearSync() override { syncFlag.store(0, std::memory_order_relaxed); }
};

std::atomic<MusicClock*> g_clockOverride{nullptr};

void showLibraryError(const char* what) {
  char message[200];
  std::snprintf(message, sizeof message, "%s\n(error code: %d)", what, runtime().audio().BASS_ErrorGetCode());
  runtime().showMessage("Error", message);
}

}  // namespace

bool startMusic(const char* moduleFile) {
  Runtime& rt = runtime();
  AudioLibrary& bass = rt.audio();
  if (bass.BASS_GetVersion() != kBassVersion) {
    rt.showMessage("Incorrect BASS.DLL", "BASS version 0.7 was not loaded");
    return false;
  }
  // Device -1 (the default output), 44100 Hz, no flags; the audio layer needs no window.
  if (!bass.BASS_Init(-1, 44100, 0, nullptr)) {
    showLibraryError("Can't initialize digital sound system");
    return false;
  }
  // Whole file, normal volume ramping, no loop flag: the module plays once.
  const HMUSIC music = bass.BASS_MusicLoad(false, moduleFile, 0, 0, BASS_MUSIC_RAMP);
  if (music == 0) {
    showLibraryError("Can't load music");
    return false;
  }
  rt.setMusicHandle(music);
  bass.BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, musicSyncInstrument, &onMusicSync);
  if (!bass.BASS_Start()) {
    rt.showMessage("Error", "Can't Start music");
    return false;
  }
  if (!bass.BASS_MusicPlay(music)) {
    rt.showMessage("Error", "Can't play music");
    return false;
  }
  return true;
}

std::uint32_t musicPosition() { return runtime().musicPositionNow(); }

MusicClock& musicClock() {
  static SyncFlagClock programClock;
  MusicClock* forced = g_clockOverride.load(std::memory_order_relaxed);
  return forced != nullptr ? *forced : programClock;
}

void installMusicClock(MusicClock* clock) { g_clockOverride.store(clock, std::memory_order_relaxed); }

void stopMusic() {
  AudioLibrary& bass = runtime().audio();
  bass.BASS_Free();
  bass.BASS_Stop();
  runtime().setMusicHandle(0);
}

}  // namespace tolvarin
