#pragma once
// The program's one path to the screen and the keyboard. Everything is drawn
// into a 320x240 off-screen surface that lock() hands out; present() makes it
// visible. The surface keeps what was drawn until it is drawn over.
#include "gfx2d/framebuffer.h"

namespace tolvarin {

inline constexpr const char* kWindowTitle = "Tolvarin, Quarnel, 2000.";

// A key as the keyboard reports it; no caller looks at it.
struct Key {
  int code = 0;
  bool alt = false;
  bool shift = false;
  bool control = false;
};

class Display {
 public:
  Display();
  ~Display();  // releases the surface (and the output, if still open)
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Opens the titled 320x240 output. False when it cannot be opened.
  [[nodiscard]] bool open();
  Pixel* lock();
  void unlock();
  void present();
  // Never blocks and never consumes the key.
  bool keyPressed();
  // Waits for a key press and removes it from the queue.
  Key readKey();
  void close();

 private:
  FrameBuffer surface_;
  bool locked_ = false;
  bool open_ = false;
};

// The display the demo sequence opened; scenes reach it through this.
Display& display();
void publishDisplay(Display* display);

}  // namespace tolvarin
