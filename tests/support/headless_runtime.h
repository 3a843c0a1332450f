#pragma once
// A virtual-time runtime with no window and a FakeAudio, installed as the
// current runtime for the life of the object, with an open Display published
// for scenes. Messages shown by the program are collected in `messages`.
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/display.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "platform/runtime.h"
#include "support/fake_audio.h"

namespace tolvarin::testing {

struct ShownMessage {
  std::string caption;
  std::string text;
};

class HeadlessRuntime {
 public:
  explicit HeadlessRuntime(RuntimeConfig config = virtualConfig())
      : audioOwned_(std::make_unique<FakeAudio>()),
        audio(*audioOwned_),
        runtime(std::move(config), std::make_unique<HeadlessBackend>(), std::move(audioOwned_)),
        scope_(runtime) {
    runtime.setMessageHandler([this](const char* caption, const char* text) { messages.push_back({caption, text}); });
    musicClock().clearSync();
  }

  static RuntimeConfig virtualConfig() {
    RuntimeConfig c;
    c.mode = TimeMode::Virtual;
    c.fps = 60;
    return c;
  }

  // Opens a Display and publishes it for scenes.
  Display& openDisplay() {
    display_ = std::make_unique<Display>();
    if (!display_->open()) throw std::runtime_error("headless display did not open");
    publishDisplay(display_.get());
    return *display_;
  }

  ~HeadlessRuntime() {
    if (display_) publishDisplay(nullptr);
  }

 private:
  std::unique_ptr<FakeAudio> audioOwned_;

 public:
  FakeAudio& audio;
  Runtime runtime;
  std::vector<ShownMessage> messages;

 private:
  RuntimeScope scope_;
  std::unique_ptr<Display> display_;
};

}  // namespace tolvarin::testing
