#pragma once
// An audio layer for tests: records the calls made, fails where told to, and
// plays a scripted position instead of a module. Syncs are raised by the test
// through raiseSync().
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio_library.h"

namespace tolvarin::testing {

class FakeAudio final : public AudioLibrary {
 public:
  std::vector<std::string> calls;
  std::uint32_t version = kBassVersion;
  bool initSucceeds = true;
  bool loadSucceeds = true;
  bool startSucceeds = true;
  bool playSucceeds = true;
  int errorCode = 0;  // what BASS_ErrorGetCode reports
  std::function<std::uint32_t()> position = [] { return 0u; };
  SyncProc syncProc = nullptr;
  std::string loadedFile;

  // Calls the registered sync callback, as the music does at a marker.
  void raiseSync() {
    if (syncProc != nullptr) syncProc(1, 1, 0);
  }

  std::uint32_t BASS_GetVersion() override {
    calls.push_back("BASS_GetVersion");
    return version;
  }
  bool BASS_Init(int, std::uint32_t frequency, std::uint32_t, void*) override {
    calls.push_back("BASS_Init:" + std::to_string(frequency));
    return initSucceeds;
  }
  HMUSIC BASS_MusicLoad(bool, const char* file, std::uint32_t, std::uint32_t, std::uint32_t) override {
    calls.push_back("BASS_MusicLoad");
    loadedFile = file;
    return loadSucceeds ? 7u : 0u;
  }
  HSYNC BASS_ChannelSetSync(HMUSIC, std::uint32_t, std::uint32_t param, SyncProc proc) override {
    calls.push_back("BASS_ChannelSetSync:" + std::to_string(param));
    syncProc = proc;
    return 1;
  }
  bool BASS_Start() override {
    calls.push_back("BASS_Start");
    return startSucceeds;
  }
  bool BASS_MusicPlay(HMUSIC) override {
    calls.push_back("BASS_MusicPlay");
    return playSucceeds;
  }
  std::uint32_t BASS_ChannelGetPosition(HMUSIC) override { return position(); }
  int BASS_ErrorGetCode() override { return errorCode; }
  void BASS_Free() override { calls.push_back("BASS_Free"); }
  bool BASS_Stop() override {
    calls.push_back("BASS_Stop");
    return true;
  }
};

}  // namespace tolvarin::testing
