#include "targets/sdl/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "window-icon.h"  // the generator's (tolvarin-gen --icons)

namespace tolvarin {
namespace {

bool isModifierKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LSHIFT: case SDLK_RSHIFT: case SDLK_LCTRL: case SDLK_RCTRL:
    case SDLK_LALT: case SDLK_RALT: case SDLK_LGUI: case SDLK_RGUI:
    case SDLK_CAPSLOCK: case SDLK_NUMLOCKCLEAR: case SDLK_SCROLLLOCK: case SDLK_MODE:
      return true;
    default:
      return false;
  }
}

}  // namespace

SdlWindow::SdlWindow(WindowOptions options) : options_(options) {}

SdlWindow::~SdlWindow() { close(); }

bool SdlWindow::displayAvailable(std::string& reason) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    reason = SDL_GetError();
    return false;
  }
  // Without a screen SDL falls back to drivers that show nothing; they count
  // only when asked for by name (SDL_VIDEODRIVER).
  const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  const bool invisible = driver == "offscreen" || driver == "dummy";
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (invisible && (requested == nullptr || driver != requested)) {
    reason = "only the invisible '" + driver + "' video driver is available";
    return false;
  }
  return true;
}

bool SdlWindow::open(const char* title) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "tolvarin: cannot open the display: %s\n", SDL_GetError());
    return false;
  }
  videoInitialised_ = true;
  const char* logging = SDL_getenv("TOLVARIN_WINDOW_LOG");
  logging_ = logging != nullptr && *logging != '\0' && std::strcmp(logging, "0") != 0;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  const int scale = options_.scale < 1 ? 1 : options_.scale;
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (options_.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kFrameWidth * scale,
                             kFrameHeight * scale, flags);
  if (window_ == nullptr) {
    std::fprintf(stderr, "tolvarin: cannot open the window: %s\n", SDL_GetError());
    close();
    return false;
  }
  setIcon();
  if (!createRenderer()) {
    close();
    return false;
  }
  // SDL keeps the screen saver off while video is up unless told otherwise;
  // a demo left running for hours must never depend on that default.
  SDL_DisableScreenSaver();
  log("screen saver off");
  windowChangedAt_ = SDL_GetTicks();
  updatePointer();
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

int SdlWindow::refreshRate() const {
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_);
  return SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 ? mode.refresh_rate : 0;
}

void SdlWindow::setIcon() {
  // SDL only reads the pixels: the surface borrows the constant table.
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(kWindowIcon), kWindowIconSize,
                                                         kWindowIconSize, 32, kWindowIconSize * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;  // a window without an icon still plays
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
}

bool SdlWindow::createRenderer() {
  // Vsync paces the frames only when the display refreshes at the target rate.
  vsync_ = options_.fps > 0 && refreshRate() == options_.fps;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | (vsync_ ? SDL_RENDERER_PRESENTVSYNC : 0));
  if (renderer_ == nullptr) {
    vsync_ = false;
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  }
  if (renderer_ == nullptr) {
    std::fprintf(stderr, "tolvarin: cannot draw into the window: %s\n", SDL_GetError());
    return false;
  }
  // RGB888 ignores the top byte, which the program leaves at any value.
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kFrameWidth,
                               kFrameHeight);
  if (texture_ == nullptr) {
    std::fprintf(stderr, "tolvarin: cannot create the frame texture: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  layout_ = Layout{};
  return true;
}

void SdlWindow::destroyRenderer() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  texture_ = nullptr;
  renderer_ = nullptr;
}

SdlWindow::Layout SdlWindow::layoutFor(int outputWidth, int outputHeight, bool integerScaling) {
  Layout l;
  l.outputWidth = outputWidth;
  l.outputHeight = outputHeight;
  const int whole = std::min(outputWidth / kFrameWidth, outputHeight / kFrameHeight);
  if (integerScaling && whole >= 1) {
    l.scale = whole;
    l.width = kFrameWidth * whole;
    l.height = kFrameHeight * whole;
  } else if (outputWidth * kFrameHeight <= outputHeight * kFrameWidth) {
    l.width = outputWidth;
    l.height = outputWidth * kFrameHeight / kFrameWidth;
  } else {
    l.height = outputHeight;
    l.width = outputHeight * kFrameWidth / kFrameHeight;
  }
  l.x = (outputWidth - l.width) / 2;
  l.y = (outputHeight - l.height) / 2;
  return l;
}

void SdlWindow::updateLayout() {
  // The size in pixels (not points: a high-DPI screen has more of them).
  int width = 0;
  int height = 0;
  if (renderer_ == nullptr || SDL_GetRendererOutputSize(renderer_, &width, &height) != 0) return;
  if (width == layout_.outputWidth && height == layout_.outputHeight) return;
  layout_ = layoutFor(width, height, options_.integerScaling);
  log("output %dx%d, picture %dx%d at %d,%d, scale %d", width, height, layout_.width, layout_.height, layout_.x,
      layout_.y, layout_.scale);
}

void SdlWindow::show(const Pixel* frame) {
  if (texture_ == nullptr) return;
  updateLayout();
  SDL_UpdateTexture(texture_, nullptr, frame, kFrameWidth * static_cast<int>(sizeof(Pixel)));
  SDL_RenderClear(renderer_);
  const SDL_Rect picture{layout_.x, layout_.y, layout_.width, layout_.height};
  SDL_RenderCopy(renderer_, texture_, nullptr, &picture);
  SDL_RenderPresent(renderer_);
}

void SdlWindow::close() {
  destroyRenderer();
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
  if (videoInitialised_) {
    SDL_ShowCursor(SDL_ENABLE);
    pointerShown_ = true;
    SDL_EnableScreenSaver();
    log("screen saver allowed");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  videoInitialised_ = false;
}

bool SdlWindow::fullscreen() const {
  return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlWindow::toggleFullscreen() {
  if (window_ == nullptr) return;
  SDL_SetWindowFullscreen(window_, fullscreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  windowChangedAt_ = SDL_GetTicks();
}

void SdlWindow::useVsyncIfDisplayMatches() {
  if (renderer_ == nullptr) return;
  const int hz = refreshRate();
  const bool matches = options_.fps > 0 && hz == options_.fps;
  if (matches == vsync_) return;
  // Without vsync the runtime paces the frames itself; a renderer that
  // cannot switch keeps what it had and the runtime paces on top of it.
  const bool switched = SDL_RenderSetVSync(renderer_, matches ? 1 : 0) == 0;
  vsync_ = matches && switched;
  log("the display runs at %d Hz: vsync %s", hz, vsync_ ? "on" : "off");
}

void SdlWindow::displayChanged(const char* why) {
  if (window_ == nullptr || renderer_ == nullptr) return;
  log("%s", why);
  useVsyncIfDisplayMatches();
  // Full screen covers the screen the window is on, at that screen's mode
  // now; a window left at the old size is put in full screen again there.
  if (fullscreen()) {
    SDL_Rect bounds{};
    int width = 0;
    int height = 0;
    const int display = SDL_GetWindowDisplayIndex(window_);
    SDL_GetWindowSize(window_, &width, &height);
    if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0 &&
        (width != bounds.w || height != bounds.h)) {
      log("full screen again on display %d (%dx%d)", display, bounds.w, bounds.h);
      SDL_SetWindowFullscreen(window_, 0);
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
  }
  updateLayout();
}

void SdlWindow::pointerMoved(int x, int y) {
  // A window that appears, moves or changes size under a resting pointer
  // reports motion too: only motion once the window has settled counts.
  constexpr std::uint32_t kSettleMs = 250;
  const std::uint32_t now = SDL_GetTicks();
  const bool same = x == pointerX_ && y == pointerY_;
  pointerX_ = x;
  pointerY_ = y;
  if (same || now - windowChangedAt_ < kSettleMs) return;
  pointerMovedAt_ = now == 0 ? 1 : now;
}

void SdlWindow::updatePointer() {
  // In a window the pointer is the desktop's; in full screen it shows only
  // while the mouse moves and for a few seconds after.
  constexpr std::uint32_t kRestMs = 3000;
  bool show = true;
  if (fullscreen()) {
    show = pointerMovedAt_ != 0 && SDL_GetTicks() - pointerMovedAt_ < kRestMs;
    if (!show) pointerMovedAt_ = 0;
  } else {
    pointerMovedAt_ = 0;
  }
  if (show == pointerShown_) return;
  SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  pointerShown_ = show;
  log("pointer %s", show ? "shown" : "hidden");
}

void SdlWindow::log(const char* format, ...) const {
  if (!logging_) return;
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "tolvarin: window: %s\n", line);
}

InputEvents SdlWindow::pumpEvents() {
  InputEvents events;
  if (!videoInitialised_) return events;
  SDL_Event e;
  char why[96];
  while (SDL_PollEvent(&e) != 0) {
    if (e.type == SDL_QUIT) {
      events.closeRequested = true;
    } else if (e.type == SDL_WINDOWEVENT) {
      windowChangedAt_ = SDL_GetTicks();
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          events.closeRequested = true;
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          // A full-screen window follows its screen's mode, whose rate may
          // have changed with it.
          useVsyncIfDisplayMatches();
          updateLayout();
          break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
          std::snprintf(why, sizeof why, "the window moved to display %d", static_cast<int>(e.window.data1));
          displayChanged(why);
          break;
        default:
          break;
      }
    } else if (e.type == SDL_DISPLAYEVENT) {
      std::snprintf(why, sizeof why, "display %u changed (event %d)", static_cast<unsigned>(e.display.display),
                    static_cast<int>(e.display.event));
      displayChanged(why);
    } else if (e.type == SDL_RENDER_DEVICE_RESET) {
      // The graphics device was lost (a mode change can do that on Windows):
      // the renderer and the texture are made anew.
      log("the graphics device was reset");
      destroyRenderer();
      if (!createRenderer()) destroyRenderer();
    } else if (e.type == SDL_MOUSEMOTION) {
      pointerMoved(e.motion.x, e.motion.y);
    } else if (e.type == SDL_KEYDOWN) {
      if (e.key.repeat != 0 || isModifierKey(e.key.keysym.sym)) continue;
      if ((e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) &&
          (e.key.keysym.mod & KMOD_ALT) != 0) {
        toggleFullscreen();
        continue;
      }
      // Alt+F4 closes the window on Windows (the close request follows); it
      // is not a key press for the running scene.
      if (e.key.keysym.sym == SDLK_F4 && (e.key.keysym.mod & KMOD_ALT) != 0) continue;
      ++events.keyPresses;
    }
  }
  updatePointer();
  return events;
}

void SdlWindow::showMessageBox(const char* caption, const char* text) {
  // No owner window, OK button only.
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }
}

}  // namespace tolvarin
