#pragma once
// The window backend: an SDL2 window showing the 320x240 frame through a
// streaming texture, scaled with its 4:3 shape kept (whole multiples by
// default), resizable; Alt+Enter toggles full screen; closing the window is
// reported as a close request.
#include <string>

#include "platform/backends.h"
#include "platform/pixel_backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace tolvarin {

class SdlWindow final : public PixelBackend {
 public:
  explicit SdlWindow(WindowOptions options);
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  // True when a display can be opened; otherwise false with SDL's reason.
  static bool displayAvailable(std::string& reason);

  bool open(const char* title) override;
  void show(const Pixel* frame) override;
  void close() override;
  InputEvents pumpEvents() override;
  bool hasDisplay() const override { return true; }
  void showMessageBox(const char* caption, const char* text) override;
  bool pacesItself() const override { return vsync_; }

 private:
  void toggleFullscreen();

  WindowOptions options_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool vsync_ = false;
  bool videoInitialised_ = false;
};

}  // namespace tolvarin
