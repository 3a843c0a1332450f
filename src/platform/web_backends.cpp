// The web target's backends: the browser page shows the frames on a canvas,
// reads the keyboard and plays the music through Web Audio. The page itself
// is not written yet, so these are its frame only: windowAvailable() says so
// and the program runs headless (virtual time) only.
//
// The web build has no threads. The real-time audio layer as it stands starts
// a dispatcher thread and, without a device, the silent stand-in's thread;
// neither may run here, which refusing real time guarantees.
#include <emscripten.h>

#include "platform/backends.h"

namespace tolvarin {
namespace {

class PageCanvas final : public PixelBackend {
 public:
  bool open(const char*) override { return false; }
  void show(const Pixel*) override {}
  void close() override {}
  InputEvents pumpEvents() override {
    // The scene loops never return to the browser by themselves: every poll
    // hands it control for a moment (the page is linked with ASYNCIFY).
    emscripten_sleep(0);
    return {};
  }
  bool hasDisplay() const override { return false; }
  void showMessageBox(const char*, const char*) override {}
};

class WebAudioOutput final : public AudioOutput {
 public:
  bool open(Mixer, std::string& reason) override {
    reason = "Web Audio is not connected yet";
    return false;
  }
  void resume() override {}
  void pause() override {}
  void close() override {}
  int bufferFrames() const override { return 512; }
  double outputLatency() const override { return 0.0; }
};

}  // namespace

bool windowAvailable(std::string& reason) {
  reason = "the web build has no page to draw on yet";
  return false;
}

std::unique_ptr<PixelBackend> makeWindow(const WindowOptions&) { return std::make_unique<PageCanvas>(); }

std::unique_ptr<AudioOutput> makeSoundDevice() { return std::make_unique<WebAudioOutput>(); }

}  // namespace tolvarin
