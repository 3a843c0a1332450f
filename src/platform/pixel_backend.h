#pragma once
// The pixel layer under Display: where finished frames go and where key
// presses come from. HeadlessBackend (below) shows nothing; each target's
// window (an SDL2 window, the browser page's canvas) is made by makeWindow()
// in platform/backends.h.
#include "gfx2d/framebuffer.h"

namespace tolvarin {

// What pumpEvents reports.
struct InputEvents {
  int keyPresses = 0;        // fresh presses of real keys (no repeats, no lone modifiers)
  bool closeRequested = false;
};

class PixelBackend {
 public:
  virtual ~PixelBackend() = default;

  // Opens the output with a title; false (with a reason on stderr) on failure.
  [[nodiscard]] virtual bool open(const char* title) = 0;
  // Makes one 320x240 frame visible.
  virtual void show(const Pixel* frame) = 0;
  virtual void close() = 0;
  virtual InputEvents pumpEvents() = 0;

  // True when there is a screen to show message boxes on.
  virtual bool hasDisplay() const = 0;
  virtual void showMessageBox(const char* caption, const char* text) = 0;
  // True when show() waits for the display's vertical blank at the target rate.
  virtual bool pacesItself() const { return false; }
  // Seconds, in all, that the output has stood paused so far (a browser tab
  // in the background, counting the pause still going on); the real-time
  // clock leaves them out, so the demo neither runs on unseen nor races to
  // catch up. Safe from any thread.
  virtual double pausedSeconds() const { return 0.0; }
};

// No window, no input: the frames only reach the frame sinks. (Tests derive
// from it to change one answer.)
class HeadlessBackend : public PixelBackend {
 public:
  bool open(const char*) override { return true; }
  void show(const Pixel*) override {}
  void close() override {}
  InputEvents pumpEvents() override { return {}; }
  bool hasDisplay() const override { return false; }
  void showMessageBox(const char*, const char*) override {}
};

}  // namespace tolvarin
