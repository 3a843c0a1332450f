// The web target's backends: the browser page (web/page.js) shows the frames
// on a canvas, reads the keyboard and plays the music through Web Audio. The
// page publishes one object, `tolvarinPage`; these classes only call it.
// Under node there is no page: the program then runs headless only.
//
// The web build has no threads. The page output is linked with ASYNCIFY:
// show() waits for the browser's next animation frame and a busy wait's polls
// hand the browser control, while the scene loops stay exactly as they are.
// The sound output has no thread either: it is served at the runtime's polls
// (AudioOutput::threadless), where it mixes ahead what Web Audio will play.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/backends.h"

namespace tolvarin {
namespace {

// clang-format off
EM_JS(int, pagePresent, (), {
  return (typeof tolvarinPage === 'object' && tolvarinPage !== null) ? 1 : 0;
});
EM_JS(void, pageOpen, (const char* title), { tolvarinPage.open(UTF8ToString(title)); });
EM_ASYNC_JS(void, pageShow, (const void* rgba), { await tolvarinPage.show(HEAPU8, rgba); });
EM_ASYNC_JS(void, pageYield, (), { await tolvarinPage.yieldToBrowser(); });
EM_JS(void, pageClose, (), { tolvarinPage.close(); });
EM_JS(int, pageTakeKeys, (), { return tolvarinPage.takeKeys(); });
EM_JS(double, pagePausedSeconds, (), { return tolvarinPage.pausedSeconds(); });
EM_JS(void, pageMessage, (const char* caption, const char* text), {
  tolvarinPage.message(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(void, soundOpen, (), { tolvarinPage.sound.open(); });
EM_JS(void, soundResume, (), { tolvarinPage.sound.resume(); });
EM_JS(void, soundPause, (), { tolvarinPage.sound.pause(); });
EM_JS(void, soundClose, (), { tolvarinPage.sound.close(); });
EM_JS(int, soundFramesWanted, (), { return tolvarinPage.sound.framesWanted(); });
EM_JS(double, soundSecondsUntilHeard, (), { return tolvarinPage.sound.secondsUntilHeard(); });
EM_JS(double, soundHeardSeconds, (), { return tolvarinPage.sound.heardSeconds(); });
EM_JS(void, soundPush, (const std::int16_t* pcm, int frames), { tolvarinPage.sound.push(HEAP16, pcm >> 1, frames); });
// clang-format on

// The frame as the canvas takes it: bytes R, G, B, A = 255. 0x00RRGGBB
// stored little-endian is B, G, R, x.
inline std::uint32_t toCanvasPixel(Pixel p) {
  return 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

class PageCanvas final : public PixelBackend {
 public:
  bool open(const char* title) override {
    pageOpen(title);
    return true;
  }
  void show(const Pixel* frame) override {
    for (int i = 0; i < kFramePixels; ++i) canvas_[i] = toCanvasPixel(frame[i]);
    pumpsSinceShow_ = 0;
    pageShow(canvas_.data());
  }
  void close() override { pageClose(); }
  InputEvents pumpEvents() override {
    // A frame polls once or twice (the key test, the present); a busy wait
    // (the strobe's 0.1 s hold, the wait for a sync or the last key) polls
    // on and on without a frame, and from its third poll on every poll hands
    // the browser control for a moment, so the tab stays alive and the keys
    // and the sound's clock come in.
    if (++pumpsSinceShow_ > 2) pageYield();
    InputEvents events;
    events.keyPresses = pageTakeKeys();
    return events;
  }
  bool hasDisplay() const override { return true; }
  void showMessageBox(const char* caption, const char* text) override { pageMessage(caption, text); }
  // The page waits for the browser's animation frames (and the frame rate
  // asked for) in show().
  bool pacesItself() const override { return true; }
  double pausedSeconds() const override { return pagePausedSeconds(); }

 private:
  std::vector<std::uint32_t> canvas_ = std::vector<std::uint32_t>(kFramePixels);
  int pumpsSinceShow_ = 0;
};

class WebAudioOutput final : public AudioOutput {
 public:
  bool open(Mixer mixer, std::string&) override {
    // Never refused: without Web Audio the page consumes the music at the
    // real rate in silence, so the clock, the syncs and the position run
    // as with sound (the native silent stand-in would need a thread).
    mixer_ = std::move(mixer);
    soundOpen();
    return true;
  }
  void resume() override {
    playing_ = true;
    soundResume();
  }
  void pause() override {
    playing_ = false;
    soundPause();
  }
  void close() override {
    playing_ = false;
    soundClose();
    mixer_ = nullptr;
  }
  int bufferFrames() const override { return kChunkFrames; }
  double outputLatency() const override { return latency_; }
  bool threadless() const override { return true; }
  double heardSeconds() const override { return soundHeardSeconds(); }
  void service() override {
    if (!playing_ || !mixer_) return;
    // The page keeps a fixed lead of mixed sound queued ahead of the
    // speakers; this tops it up.
    for (int wanted = soundFramesWanted(); wanted > 0; wanted -= kChunkFrames) {
      const int frames = std::min(wanted, kChunkFrames);
      latency_ = soundSecondsUntilHeard();
      mixer_(pcm_.data(), static_cast<std::size_t>(frames));
      soundPush(pcm_.data(), frames);
    }
  }

 private:
  static constexpr int kChunkFrames = 1024;
  Mixer mixer_;
  bool playing_ = false;
  double latency_ = 0.0;
  std::vector<std::int16_t> pcm_ = std::vector<std::int16_t>(kChunkFrames * 2);
};

}  // namespace

bool windowAvailable(std::string& reason) {
  if (pagePresent() != 0) return true;
  reason = "no browser page here; the page is index.html";
  return false;
}

std::unique_ptr<PixelBackend> makeWindow(const WindowOptions&) { return std::make_unique<PageCanvas>(); }

std::unique_ptr<AudioOutput> makeSoundDevice() { return std::make_unique<WebAudioOutput>(); }

}  // namespace tolvarin
