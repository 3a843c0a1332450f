#pragma once
// The platform's one clock and the things it drives: the output backend, the
// keyboard (real or scripted), the audio layer and the frame sinks.
//
// Real time: a monotonic clock, less the output's pauses and the stalls of
// the whole program; present() paces frames to the target rate.
// Virtual time (headless): present() advances the clock to the next frame
// boundary and every poll of the keyboard or the timer advances it by 1 ms,
// so busy-wait loops progress; the music is rendered as the clock advances.
//
// A run may start later than its beginning (--start): until that point it
// goes in virtual time, as fast as it can and with every output silent; then
// the outputs begin, and a window run goes on in real time from there.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "gfx2d/framebuffer.h"
#include "platform/audio_library.h"
#include "platform/frame_sink.h"
#include "platform/pixel_backend.h"
#include "platform/trace.h"

namespace tolvarin {

enum class TimeMode { Real, Virtual };

struct RuntimeConfig {
  TimeMode mode = TimeMode::Real;
  int fps = 60;                     // 0: unpaced (real time only)
  std::vector<double> keyTimes;     // scripted key presses, demo seconds (virtual time)
  std::optional<double> until;      // end the run here, as if the window were closed
  double avOffset = 0.0;            // seconds the music's signals are shifted against the picture
  double musicEndGrace = 2.0;       // virtual time: input ends this long after the music
  double passTimeLimit = 3600.0;    // virtual time: a pass of the demo that lasts this long ends the input
                                    // (a safety net for a run that would never end by itself)
  std::optional<double> startTime;  // the outputs begin at this demo time...
  bool startAtMark = false;         // ...or when startOutput() is called
  // Real time: a monotonic clock in seconds (tests drive their own); empty:
  // the steady clock. Frames are still paced on the steady clock.
  std::function<double()> realClock;
};

class Runtime {
 public:
  Runtime(RuntimeConfig config, std::unique_ptr<PixelBackend> pixels, std::unique_ptr<AudioLibrary> audio);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  const RuntimeConfig& config() const { return config_; }
  // True while the clock is virtual: a headless run, or a window run before its start point.
  bool isVirtual() const { return virtual_; }
  // False before the start point: frames, trace and sound go nowhere.
  bool outputStarted() const { return outputStarted_; }
  // Begins the outputs now (and real time, for a window run). Once only.
  void startOutput();

  // Demo time in seconds since the runtime started (in real time without the
  // seconds the output stood paused, nor the stalls left out). Safe from any
  // thread in real time.
  double now() const;
  // Real time: from now on a gap of over a quarter of a second (and a frame)
  // between two readings of the clock, by any thread, counts as a stall of
  // the whole program (stopped and resumed, a debugger, the machine starved
  // of time) and is left out of demo time, like a pause: the demo goes on
  // from where it stood instead of jumping ahead. That is right only while a
  // thread that moves the music reads the clock all the time (the audio
  // layer's output thread does, at every buffer: if it stood still too, so
  // did the music), so the audio layer turns it on.
  void leaveOutStalls();
  // Seconds of stalls left out so far.
  double stalledSeconds() const { return stalledSeconds_.load(std::memory_order_relaxed); }
  // One poll of the keyboard or the timer: 1 ms in virtual time; in real
  // time it reads input and, inside busy-wait loops, yields the CPU briefly.
  void poll();
  // Virtual time only: moves the clock forward to `seconds` (never back).
  void advanceTo(double seconds);
  std::int64_t framesPresented() const { return framesPresented_.load(std::memory_order_relaxed); }

  [[nodiscard]] bool openOutput(const char* title);
  void closeOutput();
  void present(const Pixel* frame);

  // A poll: true while a key press is waiting (always after the input ended).
  bool keyPending();
  // Waits for a key press and removes it; returns at once when input has ended.
  void takeKey();
  // The window was closed, --until passed, or (virtual time) the script and
  // the music are both over: from now on a key is always pending.
  bool inputEnded();
  // Ends the input from outside (a signal handler may call it): as if the
  // window were closed.
  void requestClose() { closeRequested_.store(true, std::memory_order_relaxed); }
  // Whether the music's end (with its grace) ends the input in virtual time:
  // true but for the passes of a looping run that are not the last.
  void setMusicEndsInput(bool ends) { musicEndsInput_ = ends; }
  // The closing picture of a looping run: holds until a key (taken) or the
  // music has ended, with its grace. False when the input ended instead.
  bool holdUntilKeyOrMusicEnd();
  // Virtual time only: moves the clock on to the next whole second, so a new
  // pass of the demo starts on the same footing as the first.
  void advanceToWholeSecond();
  // A new pass of the demo begins now: the safety limit counts from here.
  void beginPass() { passStartNs_ = virtualNs_; }
  // True when the input ended because a pass reached the safety limit.
  bool stoppedByLimit() const { return stoppedByLimit_; }

  AudioLibrary& audio() { return *audio_; }
  PixelBackend& pixels() { return *pixels_; }
  void setMusicHandle(HMUSIC handle) { musicHandle_.store(handle, std::memory_order_relaxed); }
  HMUSIC musicHandle() const { return musicHandle_.load(std::memory_order_relaxed); }
  std::uint32_t musicPositionNow();

  Tracer& tracer() { return tracer_; }
  void addFrameSink(std::unique_ptr<FrameSink> sink) { sinks_.push_back(std::move(sink)); }
  // Replaces every presented frame, before it is shown or given to a sink,
  // by what `filter(frame, time shown)` returns (valid until its next call).
  // It sees every frame, those of a fast-forward to a start point included.
  using FrameFilter = std::function<const Pixel*(const Pixel*, double)>;
  void setFrameFilter(FrameFilter filter) { frameFilter_ = std::move(filter); }
  // Called after every advance of virtual time (the offline audio renders here).
  void addTimeListener(std::function<void(double)> listener) { timeListeners_.push_back(std::move(listener)); }
  // Real time: called at every poll of the input and after every frame is
  // shown, on the program's thread (an audio output without threads is
  // served and releases what has been heard here).
  void addPollListener(std::function<void()> listener) { pollListeners_.push_back(std::move(listener)); }
  // Called after every present with the index of the frame (tests script music with it).
  void addPresentHook(std::function<void(std::int64_t)> hook) { presentHooks_.push_back(std::move(hook)); }

  // Dialog layer: a message box when there is a display, stderr otherwise.
  void showMessage(const char* caption, const char* text);
  // Replaces where messages go (tests).
  void setMessageHandler(std::function<void(const char*, const char*)> handler) { messageHandler_ = std::move(handler); }

  // End of the run: lets the frame sinks finish (video, screenshots). False
  // when one of them failed.
  [[nodiscard]] bool finish();

 private:
  void advanceVirtualNs(std::int64_t targetNs);
  // The first frame boundary at or after `ns` (after it when `strictly`).
  std::int64_t frameBoundaryNs(std::int64_t ns, bool strictly) const;
  bool musicOver();
  void pumpInput();
  void pushKey();
  void paceRealFrame();

  RuntimeConfig config_;
  std::unique_ptr<PixelBackend> pixels_;
  std::unique_ptr<AudioLibrary> audio_;
  Tracer tracer_;
  std::vector<std::unique_ptr<FrameSink>> sinks_;
  std::vector<std::function<void(double)>> timeListeners_;
  std::vector<std::function<void()>> pollListeners_;
  std::vector<std::function<void(std::int64_t)>> presentHooks_;
  FrameFilter frameFilter_;
  std::function<void(const char*, const char*)> messageHandler_;

  // Real time: seconds on the clock since demo time 0, less the output's
  // pauses (the stalls not yet taken off).
  double readClock() const;
  double clockOrigin_ = 0.0;  // real time: the clock's reading at demo time 0
  std::atomic<bool> leavesOutStalls_{false};
  double stallGap_ = 0.25;  // seconds between readings beyond which it is a stall
  mutable std::mutex stallMutex_;
  mutable double lastReading_ = 0.0;  // demo time of the latest reading, stalls included
  mutable std::atomic<double> stalledSeconds_{0.0};
  bool virtual_ = false;
  bool outputStarted_ = true;
  bool musicEndsInput_ = true;
  const Pixel* lastPresented_ = nullptr;
  std::int64_t virtualNs_ = 0;
  std::int64_t passStartNs_ = 0;
  bool stoppedByLimit_ = false;
  std::atomic<std::int64_t> framesPresented_{0};
  std::size_t nextScriptKey_ = 0;
  int pendingKeys_ = 0;
  bool windowClosed_ = false;
  std::atomic<bool> closeRequested_{false};
  bool outputOpen_ = false;
  std::atomic<HMUSIC> musicHandle_{0};
  // Real-time pacing.
  std::chrono::steady_clock::time_point nextDeadline_;
  int pollsSincePresent_ = 0;
};

// The runtime in use, set by RuntimeScope; null outside one.
Runtime* currentRuntime();
Runtime& runtime();

class RuntimeScope {
 public:
  explicit RuntimeScope(Runtime& runtime);
  ~RuntimeScope();
  RuntimeScope(const RuntimeScope&) = delete;
  RuntimeScope& operator=(const RuntimeScope&) = delete;

 private:
  Runtime* previous_;
};

}  // namespace tolvarin
