#pragma once
// The audio layer on libopenmpt. In real time the module is mixed into the
// buffers an audio output asks for (or, without a device, a silent stand-in
// that keeps the music clock running); offline it is rendered on the main
// thread as virtual time advances. Either way the rows and markers the
// renderer reports are released to the program when they are heard, not when
// they are mixed. A device that goes away while it plays is replaced by the
// silent stand-in on the same clock until a device opens again.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/audio_library.h"
#include "platform/audio_output.h"
#include "audio/module_renderer.h"
#include "platform/pcm_sink.h"

namespace tolvarin {

class Runtime;

class ModuleAudio final : public AudioLibrary {
 public:
  // Offline: rendered on the main thread as virtual time advances.
  ModuleAudio();
  // Makes the silent stand-in (tests give one they drive themselves).
  using StandInFactory = std::function<std::unique_ptr<AudioOutput>()>;
  // Real time: mixed into `device`'s buffers (the silent stand-in takes its
  // place when it cannot be opened or goes away); offline as long as the
  // clock is virtual.
  explicit ModuleAudio(std::unique_ptr<AudioOutput> device, StandInFactory makeStandIn = {});
  ~ModuleAudio() override;

  // Where the music goes besides the speakers (WAV files, the recorder).
  void addPcmSink(std::shared_ptr<PcmSink> sink) { sinks_.push_back(std::move(sink)); }
  // Loudness of everything heard, 0..100 percent (100 leaves the samples as
  // they are; lower ones are scaled and truncated toward zero).
  void setVolume(int percent) { volume_ = percent; }

  std::uint32_t BASS_GetVersion() override { return kBassVersion; }
  bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t flags, void* window) override;
  HMUSIC BASS_MusicLoad(bool mem, const char* file, std::uint32_t offset, std::uint32_t length,
                        std::uint32_t flags) override;
  HSYNC BASS_ChannelSetSync(HMUSIC handle, std::uint32_t type, std::uint32_t param, SyncProc proc) override;
  bool BASS_Start() override;
  bool BASS_MusicPlay(HMUSIC handle) override;
  std::uint32_t BASS_ChannelGetPosition(HMUSIC handle) override;
  int BASS_ErrorGetCode() override { return error_.load(std::memory_order_relaxed); }
  void BASS_Free() override;
  bool BASS_Stop() override;
  std::optional<double> musicEndedAt() const override;
  std::optional<double> musicEndsAt() const override;
  void beginOutput(double time) override;
  void goLive() override;

  // Mixes the next device buffer (on the output's thread).
  void mixForDevice(std::int16_t* out, std::size_t frames);

  // The real-time device's buffer in frames (0 before BASS_Init or offline).
  int deviceBufferFrames() const { return output_ ? output_->bufferFrames() : 0; }
  // True while the silent stand-in plays instead of the device.
  bool silentFallback() const { return silent_; }

 private:
  static constexpr HMUSIC kMusicHandle = 1;
  struct PendingEvent {
    double due;  // demo time at which it is heard (a threadless output: second of its stream)
    MusicEvent event;
  };

  // Seconds between tries to open the device again after it went away.
  static constexpr double kReopenSeconds = 3.0;

  // Opens the device and starts the dispatcher: the real-time half.
  void openLive();
  void openDevice();
  AudioOutput::Mixer mixer();
  // The silent stand-in takes the place of the device.
  void openStandIn();
  // The output the music goes to from its next buffer (none is mixing).
  void switchOutput(AudioOutput* next);
  // At the runtime's polls: the device gone, the device back.
  void superviseOutput();
  // Says once a run that the music plays silently, and why.
  void tellSilent(const char* why);
  // The demo time at which a sample being mixed now will be heard.
  double heardTimeOfSample(std::int64_t sample);
  void dispatchLoop();
  // A threadless output: serves it and releases the events heard by now.
  void serviceThreadless();
  void deliver(const MusicEvent& event);
  void renderOfflineUntil(double demoTime);
  void applyVolume(std::int16_t* pcm, std::size_t frames) const;
  // The sinks hear one stream from demo time 0: `pcm` continues it. Samples
  // before the start of the outputs are dropped.
  void writeSinks(const std::int16_t* pcm, std::size_t frames);
  // Silence for the sinks up to this sample of the stream.
  void padSinksTo(std::int64_t sample);
  bool fail(int code);

  std::unique_ptr<AudioOutput> device_;  // null offline
  AudioOutput* output_ = nullptr;         // the device, or the silent stand-in, while live
  std::unique_ptr<AudioOutput> silentOutput_;
  StandInFactory makeStandIn_;
  Runtime* runtime_ = nullptr;
  std::vector<std::shared_ptr<PcmSink>> sinks_;
  std::int64_t sinkCursor_ = 0;  // stream sample the sinks get next
  std::int64_t sinkStart_ = 0;   // first stream sample the sinks keep
  int volume_ = 100;
  std::atomic<int> error_{BASS_OK};
  bool initialized_ = false;
  bool started_ = false;
  bool live_ = false;       // the device plays (otherwise rendered offline)
  bool listening_ = false;  // the offline renderer follows the clock
  bool servingPolls_ = false;  // a threadless output is served at the runtime's polls
  bool supervising_ = false;   // the device is watched at the runtime's polls
  std::int64_t deviceFrames_ = 0;  // frames mixed for the output since it opened
  std::atomic<bool> playing_{false};
  std::unique_ptr<ModuleRenderer> renderer_;
  std::atomic<SyncProc> syncProc_{nullptr};
  double avOffset_ = 0.0;
  std::mutex mixMutex_;  // the renderer belongs to the mixing thread while it plays
  std::atomic<std::uint32_t> position_{0};
  double musicStart_ = 0.0;  // demo time of sample 0 of the module
  std::atomic<double> endedAt_;  // NaN until the module has ended
  std::vector<MusicEvent> scratchEvents_;
  std::vector<std::int16_t> scratchPcm_;

  // Real time.
  bool silent_ = false;
  bool toldSilent_ = false;
  bool deviceGone_ = false;  // the device went away: it is tried again from time to time
  double reopenAt_ = 0.0;    // demo time of the next try
  static constexpr std::size_t kBaseWindow = 32;  // callbacks (about 0.4 s)
  std::array<double, kBaseWindow> baseWindow_{};
  std::size_t baseWindowNext_ = 0;
  std::atomic<bool> quit_{false};
  std::thread dispatcher_;
  std::mutex queueMutex_;
  std::condition_variable queueWake_;
  std::deque<PendingEvent> queue_;
};

}  // namespace tolvarin
