#pragma once
// The window and the sound device of the target the program is built for,
// chosen at build time: SDL2's window and audio device natively and on
// Windows (src/targets/sdl/), the browser page on the web (src/targets/web/).
// main asks for them here and never names a backend.
#include <memory>
#include <string>

#include "platform/audio_output.h"
#include "platform/pixel_backend.h"

namespace tolvarin {

struct WindowOptions {
  int scale = 3;
  bool fullscreen = false;
  bool integerScaling = true;
  int fps = 60;  // vsync is used when the display refreshes at this rate
};

// True when a window can be opened; otherwise false with the reason.
[[nodiscard]] bool windowAvailable(std::string& reason);
[[nodiscard]] std::unique_ptr<PixelBackend> makeWindow(const WindowOptions& options);
// The real-time sound device (it may still fail to open; the audio layer
// then plays silently).
[[nodiscard]] std::unique_ptr<AudioOutput> makeSoundDevice();

}  // namespace tolvarin
