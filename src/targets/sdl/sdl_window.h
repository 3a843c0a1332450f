#pragma once
// The window backend: an SDL2 window showing the 320x240 frame through a
// streaming texture, scaled with its 4:3 shape kept (whole multiples by
// default) and centred on black, resizable; Alt+Enter toggles full screen;
// closing the window is reported as a close request.
//
// Manners for a screen nobody watches (a party screen, a shop window): the
// screen saver stays off while the window is open; in full screen the mouse
// pointer is hidden and shows only while the mouse moves; a display mode
// change, a display coming or going or the window moving to another screen
// lets the picture be laid out again from the new output size, full screen
// covers its screen again and vsync is used only while the screen runs at
// the target rate. TOLVARIN_WINDOW_LOG=1 tells these steps on stderr.
#include <cstdint>
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
  // The picture's place in an output of this size: the largest whole
  // multiple of 320x240 that fits (or the largest 4:3 fit when not even one
  // does, or without integer scaling), centred.
  struct Layout {
    int outputWidth = 0, outputHeight = 0;
    int x = 0, y = 0, width = 0, height = 0, scale = 0;  // scale 0: not a whole multiple
  };
  static Layout layoutFor(int outputWidth, int outputHeight, bool integerScaling);

  int refreshRate() const;  // of the window's display now, 0 when unknown
  bool createRenderer();
  // The demo's icon in the title bar and the task switcher.
  void setIcon();
  void destroyRenderer();
  void updateLayout();
  void toggleFullscreen();
  bool fullscreen() const;
  void displayChanged(const char* why);
  void useVsyncIfDisplayMatches();
  void pointerMoved(int x, int y);
  void updatePointer();
#if defined(__GNUC__)
  __attribute__((format(printf, 2, 3)))
#endif
  void log(const char* format, ...) const;

  WindowOptions options_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  Layout layout_;
  bool vsync_ = false;
  bool videoInitialised_ = false;
  bool logging_ = false;
  bool pointerShown_ = true;
  std::uint32_t pointerMovedAt_ = 0;   // SDL ticks; 0: not since full screen began
  std::uint32_t windowChangedAt_ = 0;  // SDL ticks of the last window event
  int pointerX_ = -1, pointerY_ = -1;  // in the window, where it was last seen
};

}  // namespace tolvarin
