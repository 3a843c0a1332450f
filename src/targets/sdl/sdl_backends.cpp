// The native target's backends: an SDL2 window and SDL's audio device.
#include "platform/backends.h"
#include "targets/sdl/sdl_audio_output.h"
#include "targets/sdl/sdl_window.h"

namespace tolvarin {

bool windowAvailable(std::string& reason) { return SdlWindow::displayAvailable(reason); }

std::unique_ptr<PixelBackend> makeWindow(const WindowOptions& options) { return std::make_unique<SdlWindow>(options); }

std::unique_ptr<AudioOutput> makeSoundDevice() { return std::make_unique<SdlAudioOutput>(); }

}  // namespace tolvarin
