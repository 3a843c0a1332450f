#include "audio/module_audio.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/runtime.h"
#include "platform/silent_audio_output.h"

namespace tolvarin {
namespace {

constexpr int kSampleRate = ModuleRenderer::kSampleRate;
constexpr std::size_t kOfflineBlock = 4096;
// The dispatcher reads the demo clock again at least this often: the clock
// need not keep pace with the steady one its waits run on (a stall it left
// out, a test's clock).
constexpr double kDispatchSliceSeconds = 0.02;

}  // namespace

ModuleAudio::ModuleAudio() : endedAt_(std::nan("")) {}

ModuleAudio::ModuleAudio(std::unique_ptr<AudioOutput> device, StandInFactory makeStandIn)
    : device_(std::move(device)), makeStandIn_(std::move(makeStandIn)), endedAt_(std::nan("")) {
  if (!makeStandIn_) {
    // Paced by the demo clock: the music stays in step with it, stalls and all.
    makeStandIn_ = [this] {
      Runtime* runtime = runtime_;
      return std::make_unique<SilentAudioOutput>(512, [runtime] { return runtime->now(); });
    };
  }
}

ModuleAudio::~ModuleAudio() {
  if (initialized_) BASS_Free();
}

bool ModuleAudio::fail(int code) {
  error_.store(code, std::memory_order_relaxed);
  return false;
}

bool ModuleAudio::BASS_Init(int, std::uint32_t, std::uint32_t, void*) {
  if (initialized_) return fail(BASS_ERROR_ALREADY);
  runtime_ = currentRuntime();
  if (runtime_ == nullptr) return fail(BASS_ERROR_INIT);
  avOffset_ = runtime_->config().avOffset;
  // Before a later start of the run the sinks hear nothing (beginOutput).
  if (!runtime_->outputStarted()) sinkStart_ = INT64_MAX;
  if (!runtime_->isVirtual() && device_) {
    openLive();
  } else if (!listening_) {
    // Rendered as virtual time advances (the listener stays for the run).
    runtime_->addTimeListener([this](double t) { renderOfflineUntil(t); });
    listening_ = true;
  }
  initialized_ = true;
  error_ = BASS_OK;
  return true;
}

void ModuleAudio::openLive() {
  openDevice();
  quit_ = false;
  if (output_->threadless()) {
    // No threads: the runtime's polls serve the output and release what has
    // been heard (the listener stays for the run, like the offline one).
    if (!servingPolls_) {
      runtime_->addPollListener([this] { serviceThreadless(); });
      servingPolls_ = true;
    }
  } else {
    dispatcher_ = std::thread([this] { dispatchLoop(); });
    // The output's thread reads the clock at every buffer it mixes, so when
    // no thread read it for a long while the music stood still too: the
    // runtime leaves such a stall out of demo time, and the two stay in step.
    runtime_->leaveOutStalls();
    if (!supervising_) {
      runtime_->addPollListener([this] { superviseOutput(); });
      supervising_ = true;
    }
  }
  live_ = true;
}

void ModuleAudio::serviceThreadless() {
  if (!live_ || output_ == nullptr || !output_->threadless()) return;
  output_->service();
  const double heard = output_->heardSeconds();
  while (!queue_.empty() && queue_.front().due <= heard) {
    const MusicEvent event = queue_.front().event;
    queue_.pop_front();
    deliver(event);
  }
}

AudioOutput::Mixer ModuleAudio::mixer() {
  return [this](std::int16_t* out, std::size_t frames) { mixForDevice(out, frames); };
}

void ModuleAudio::openDevice() {
  deviceFrames_ = 0;
  std::string reason;
  if (device_->open(mixer(), reason)) {
    switchOutput(device_.get());
    silent_ = false;
    deviceGone_ = false;
    return;
  }
  // No device: a stand-in consumes the music at the real rate, so the music
  // clock, the syncs and the position run exactly as with sound. Said once
  // a run, however often the music starts again.
  tellSilent(("no audio device (" + reason + "); the music plays silently").c_str());
  openStandIn();
}

void ModuleAudio::tellSilent(const char* why) {
  if (toldSilent_) return;
  toldSilent_ = true;
  std::fprintf(stderr, "tolvarin: %s\n", why);
}

void ModuleAudio::openStandIn() {
  silentOutput_ = makeStandIn_();
  std::string reason;
  (void)silentOutput_->open(mixer(), reason);
  switchOutput(silentOutput_.get());
  silent_ = true;
}

void ModuleAudio::switchOutput(AudioOutput* next) {
  std::lock_guard lock(mixMutex_);
  output_ = next;
  // The device's pace is learnt afresh: the last one's says nothing of it.
  baseWindowNext_ = 0;
}

void ModuleAudio::superviseOutput() {
  if (!live_ || output_ == nullptr) return;
  if (output_ == device_.get()) {
    if (!device_->lost()) return;
    // Closed, its thread is done with the mixer; the stand-in goes on from
    // the next sample at the same clock, so the rows are heard (and the syncs
    // released) on time, only silently.
    device_->close();
    tellSilent("the audio device went away; the music plays on silently until one comes back");
    deviceGone_ = true;
    reopenAt_ = runtime_->now() + kReopenSeconds;
    openStandIn();
    if (started_) output_->resume();
    return;
  }
  if (!deviceGone_ || runtime_->now() < reopenAt_) return;
  reopenAt_ = runtime_->now() + kReopenSeconds;
  std::string reason;
  if (!device_->open(mixer(), reason)) return;
  // A device again (the default one): the stand-in stops, and the device
  // carries on from the next sample.
  silentOutput_->close();
  switchOutput(device_.get());
  silent_ = false;
  deviceGone_ = false;
  if (started_) output_->resume();
}

void ModuleAudio::goLive() {
  if (!device_ || live_ || !initialized_) return;
  // The offline rendering has reached this moment; the device carries on
  // from its next sample, and the dispatcher releases what is still due.
  openLive();
  if (started_) output_->resume();
}

HMUSIC ModuleAudio::BASS_MusicLoad(bool, const char* file, std::uint32_t, std::uint32_t, std::uint32_t) {
  if (!initialized_) return fail(BASS_ERROR_INIT), 0;
  auto renderer = std::make_unique<ModuleRenderer>();
  const int code = renderer->load(file != nullptr ? file : "");
  if (code != BASS_OK) return fail(code), 0;
  {
    std::lock_guard lock(mixMutex_);
    renderer_ = std::move(renderer);
    playing_ = false;
  }
  position_ = 0;
  return kMusicHandle;
}

HSYNC ModuleAudio::BASS_ChannelSetSync(HMUSIC handle, std::uint32_t type, std::uint32_t param, SyncProc proc) {
  if (handle != kMusicHandle || !renderer_) return fail(BASS_ERROR_HANDLE), 0;
  // The renderer reports notes of instrument 32, whatever the note.
  if (type != BASS_SYNC_MUSICINST || (param & 0xFFFF) != ModuleRenderer::kMarkerInstrument) {
    return fail(BASS_ERROR_UNKNOWN), 0;
  }
  syncProc_.store(proc);
  return 1;
}

bool ModuleAudio::BASS_Start() {
  if (!initialized_) return fail(BASS_ERROR_INIT);
  if (started_) return true;
  if (output_ != nullptr) output_->resume();
  started_ = true;
  return true;
}

bool ModuleAudio::BASS_MusicPlay(HMUSIC handle) {
  if (handle != kMusicHandle || !renderer_) return fail(BASS_ERROR_HANDLE);
  if (!started_) return fail(BASS_ERROR_START);
  endedAt_ = std::nan("");
  if (!live_) {
    musicStart_ = runtime_->now();
    // The sinks hear silence until the music starts, so they stay aligned with the picture.
    padSinksTo(std::llround(musicStart_ * kSampleRate));
  }
  playing_ = true;
  return true;
}

std::uint32_t ModuleAudio::BASS_ChannelGetPosition(HMUSIC handle) {
  if (handle != kMusicHandle) return fail(BASS_ERROR_HANDLE), 0;
  return position_.load(std::memory_order_relaxed);
}

void ModuleAudio::BASS_Free() {
  if (!initialized_) {
    fail(BASS_ERROR_INIT);
    return;
  }
  quit_ = true;
  if (output_ != nullptr) output_->close();  // no mixing runs after this returns
  output_ = nullptr;
  queueWake_.notify_all();
  if (dispatcher_.joinable()) dispatcher_.join();
  {
    std::lock_guard lock(mixMutex_);
    renderer_.reset();
  }
  queue_.clear();
  playing_ = false;
  started_ = false;
  initialized_ = false;
  live_ = false;
  syncProc_.store(nullptr);
}

bool ModuleAudio::BASS_Stop() {
  if (!initialized_) return fail(BASS_ERROR_INIT);
  if (output_ != nullptr) output_->pause();
  return true;
}

std::optional<double> ModuleAudio::musicEndedAt() const {
  const double t = endedAt_.load();
  if (std::isnan(t)) return std::nullopt;
  return t;
}

std::optional<double> ModuleAudio::musicEndsAt() const {
  if (!playing_ || !renderer_) return std::nullopt;
  return musicStart_ + renderer_->durationSeconds();
}

void ModuleAudio::beginOutput(double time) { sinkStart_ = std::llround(time * kSampleRate); }

void ModuleAudio::applyVolume(std::int16_t* pcm, std::size_t frames) const {
  if (volume_ >= 100) return;
  for (std::size_t i = 0; i < frames * 2; ++i) pcm[i] = static_cast<std::int16_t>(pcm[i] * volume_ / 100);
}

void ModuleAudio::writeSinks(const std::int16_t* pcm, std::size_t frames) {
  const std::int64_t skip = std::clamp<std::int64_t>(sinkStart_ - sinkCursor_, 0, static_cast<std::int64_t>(frames));
  const auto kept = frames - static_cast<std::size_t>(skip);
  if (kept > 0) {
    for (auto& sink : sinks_) sink->write(pcm + skip * 2, kept);
  }
  sinkCursor_ += static_cast<std::int64_t>(frames);
}

void ModuleAudio::padSinksTo(std::int64_t sample) {
  std::vector<std::int16_t> silence;
  while (sinkCursor_ < sample) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(sample - sinkCursor_, kOfflineBlock));
    silence.assign(n * 2, 0);
    writeSinks(silence.data(), n);
  }
}

void ModuleAudio::mixForDevice(std::int16_t* out, std::size_t frames) {
  std::lock_guard lock(mixMutex_);
  if (!playing_ || !renderer_) {
    std::memset(out, 0, frames * 4);
    return;
  }
  const std::int64_t first = renderer_->samplesRendered();
  const double heardAt = heardTimeOfSample(first);
  const std::int64_t streamFirst = deviceFrames_;
  deviceFrames_ += static_cast<std::int64_t>(frames);
  scratchEvents_.clear();
  const std::size_t n = renderer_->render(out, frames, scratchEvents_);
  if (n < frames) std::memset(out + n * 2, 0, (frames - n) * 4);
  applyVolume(out, n);
  writeSinks(out, n);
  if (renderer_->ended() && std::isnan(endedAt_.load())) {
    endedAt_ = heardAt + static_cast<double>(n) / kSampleRate;
  }
  if (!scratchEvents_.empty()) {
    std::lock_guard queueLock(queueMutex_);
    for (const MusicEvent& e : scratchEvents_) {
      // A threadless output tells which second of its stream is heard, so
      // its events wait for their place in the stream.
      const double due = output_->threadless()
                             ? static_cast<double>(streamFirst + (e.sample - first)) / kSampleRate + avOffset_
                             : heardAt + static_cast<double>(e.sample - first) / kSampleRate;
      queue_.push_back({due, e});
    }
    queueWake_.notify_one();
  }
}

double ModuleAudio::heardTimeOfSample(std::int64_t sample) {
  // A threadless output is asked ahead of time, not at the device's pace,
  // and knows exactly when the buffer it asks for will be heard.
  if (output_->threadless()) return runtime_->now() + output_->outputLatency() + avOffset_;
  // Where sample 0 would lie on the demo clock if this callback came exactly
  // when the device asked. Callbacks are never early, only late (the system
  // was busy), so the smallest of the recent estimates is the device's own
  // pace; a lasting shift (an underrun) wins the window after a moment.
  const double base = runtime_->now() - static_cast<double>(sample) / kSampleRate;
  baseWindow_[baseWindowNext_ % kBaseWindow] = base;
  ++baseWindowNext_;
  const std::size_t filled = std::min<std::size_t>(baseWindowNext_, kBaseWindow);
  const double clockBase = *std::min_element(baseWindow_.begin(), baseWindow_.begin() + filled);
  return clockBase + static_cast<double>(sample) / kSampleRate + output_->outputLatency() + avOffset_;
}

void ModuleAudio::dispatchLoop() {
  std::unique_lock lock(queueMutex_);
  while (!quit_) {
    if (queue_.empty()) {
      queueWake_.wait(lock);
      continue;
    }
    const double wait = queue_.front().due - runtime_->now();
    if (wait > 0) {
      queueWake_.wait_for(lock, std::chrono::duration<double>(std::min(wait, kDispatchSliceSeconds)));
      continue;
    }
    const MusicEvent event = queue_.front().event;
    queue_.pop_front();
    lock.unlock();
    deliver(event);
    lock.lock();
  }
}

void ModuleAudio::deliver(const MusicEvent& event) {
  position_.store(event.position, std::memory_order_relaxed);
  if (!event.marker) return;
  if (SyncProc proc = syncProc_.load()) {
    proc(1, kMusicHandle, 0);
    runtime_->tracer().event("sync");
  }
}

void ModuleAudio::renderOfflineUntil(double demoTime) {
  if (!initialized_ || live_ || !playing_ || !renderer_) return;
  const double musicTime = demoTime - musicStart_;
  // Render what the picture has reached, and further ahead when the signals
  // are shifted earlier than the sound.
  const double ahead = std::max(musicTime, musicTime - avOffset_);
  const auto target = static_cast<std::int64_t>(std::floor(ahead * kSampleRate));
  while (!renderer_->ended() && renderer_->samplesRendered() < target) {
    const auto n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(kOfflineBlock), target - renderer_->samplesRendered()));
    scratchPcm_.resize(n * 2);
    const std::size_t got = renderer_->render(scratchPcm_.data(), n, scratchEvents_);
    applyVolume(scratchPcm_.data(), got);
    writeSinks(scratchPcm_.data(), got);
    for (const MusicEvent& e : scratchEvents_) {
      queue_.push_back({musicStart_ + static_cast<double>(e.sample) / kSampleRate + avOffset_, e});
    }
    scratchEvents_.clear();
  }
  if (renderer_->ended() && std::isnan(endedAt_.load())) {
    endedAt_ = musicStart_ + static_cast<double>(renderer_->samplesRendered()) / kSampleRate;
  }
  while (!queue_.empty() && queue_.front().due <= demoTime) {
    const MusicEvent event = queue_.front().event;
    queue_.pop_front();
    deliver(event);
  }
}

}  // namespace tolvarin
