#include "targets/sdl/sdl_window.h"

#include <SDL.h>

#include <cstdio>

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
  // Vsync paces the frames only when the display refreshes at the target rate.
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_);
  vsync_ = options_.fps > 0 && SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 &&
           mode.refresh_rate == options_.fps;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | (vsync_ ? SDL_RENDERER_PRESENTVSYNC : 0));
  if (renderer_ == nullptr) {
    vsync_ = false;
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  }
  if (renderer_ == nullptr) {
    std::fprintf(stderr, "tolvarin: cannot draw into the window: %s\n", SDL_GetError());
    close();
    return false;
  }
  SDL_RenderSetLogicalSize(renderer_, kFrameWidth, kFrameHeight);
  SDL_RenderSetIntegerScale(renderer_, options_.integerScaling ? SDL_TRUE : SDL_FALSE);
  // RGB888 ignores the top byte, which the program leaves at any value.
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kFrameWidth,
                               kFrameHeight);
  if (texture_ == nullptr) {
    std::fprintf(stderr, "tolvarin: cannot create the frame texture: %s\n", SDL_GetError());
    close();
    return false;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

void SdlWindow::show(const Pixel* frame) {
  if (texture_ == nullptr) return;
  SDL_UpdateTexture(texture_, nullptr, frame, kFrameWidth * static_cast<int>(sizeof(Pixel)));
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void SdlWindow::close() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  if (videoInitialised_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  videoInitialised_ = false;
}

void SdlWindow::toggleFullscreen() {
  if (window_ == nullptr) return;
  const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

InputEvents SdlWindow::pumpEvents() {
  InputEvents events;
  if (!videoInitialised_) return events;
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) {
    if (e.type == SDL_QUIT) {
      events.closeRequested = true;
    } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
      events.closeRequested = true;
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
  return events;
}

void SdlWindow::showMessageBox(const char* caption, const char* text) {
  // No owner window, OK button only.
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }
}

}  // namespace tolvarin
