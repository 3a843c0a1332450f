#pragma once
// The audio layer: the functions of the audio library the demo was written
// against, with the same names and meanings. ModuleAudio (src/audio/)
// implements them on libopenmpt, mixing into the target's sound device
// (AudioOutput) in real time or rendering offline; tests put a fake in its
// place to reach every failure path.
#include <cstdint>
#include <optional>

namespace tolvarin {

using HSYNC = std::uint32_t;
using HMUSIC = std::uint32_t;
using SyncProc = void (*)(HSYNC handle, std::uint32_t channel, std::uint32_t data);

inline constexpr std::uint32_t kBassVersion = 0x00070000;  // "0.7"
inline constexpr std::uint32_t BASS_SYNC_MUSICINST = 1;
inline constexpr std::uint32_t BASS_MUSIC_RAMP = 1;

// Error codes reported by BASS_ErrorGetCode.
enum BassError : int {
  BASS_OK = 0,
  BASS_ERROR_MEM = 1,
  BASS_ERROR_FILEOPEN = 2,
  BASS_ERROR_DRIVER = 3,
  BASS_ERROR_HANDLE = 5,
  BASS_ERROR_FORMAT = 6,
  BASS_ERROR_INIT = 8,
  BASS_ERROR_START = 9,
  BASS_ERROR_ALREADY = 14,
  BASS_ERROR_DEVICE = 23,
  BASS_ERROR_UNKNOWN = -1,
};

class AudioLibrary {
 public:
  virtual ~AudioLibrary() = default;

  virtual std::uint32_t BASS_GetVersion() = 0;
  // device -1 = default output; window is the output window or null.
  virtual bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t flags, void* window) = 0;
  // Loads a module from a file (mem false). Returns 0 on failure.
  virtual HMUSIC BASS_MusicLoad(bool mem, const char* file, std::uint32_t offset, std::uint32_t length,
                                std::uint32_t flags) = 0;
  virtual HSYNC BASS_ChannelSetSync(HMUSIC handle, std::uint32_t type, std::uint32_t param,
                                    SyncProc proc) = 0;
  virtual bool BASS_Start() = 0;
  virtual bool BASS_MusicPlay(HMUSIC handle) = 0;
  // Low word: order number; high word: row. What is heard now, not what was mixed.
  virtual std::uint32_t BASS_ChannelGetPosition(HMUSIC handle) = 0;
  virtual int BASS_ErrorGetCode() = 0;
  virtual void BASS_Free() = 0;
  virtual bool BASS_Stop() = 0;

  // Beyond the library's own functions: the demo time at which the module
  // played to its end, once it has (headless runs use it to know when the
  // music is over).
  virtual std::optional<double> musicEndedAt() const { return std::nullopt; }
  // The demo time at which the playing module will end (its length from
  // where it started); nothing before it plays.
  virtual std::optional<double> musicEndsAt() const { return std::nullopt; }
  // The run's outputs begin at demo time `time`: the sound sinks get the
  // music from that sample on.
  virtual void beginOutput(double time) {}
  // The clock turned from virtual to real time: from here on the device
  // plays, from the sample the offline rendering had reached.
  virtual void goLive() {}
};

}  // namespace tolvarin
