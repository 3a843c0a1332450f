#include "platform/display.h"

#include <cassert>
#include <cstdlib>

#include "platform/runtime.h"

namespace tolvarin {
namespace {

Display* g_display = nullptr;

}  // namespace

Display::Display() : surface_(allocateFrame()) {}

Display::~Display() {
  if (open_) close();
  if (g_display == this) g_display = nullptr;
}

bool Display::open() {
  open_ = runtime().openOutput(kWindowTitle);
  return open_;
}

Pixel* Display::lock() {
  locked_ = true;
  return surface_.get();
}

void Display::unlock() { locked_ = false; }

void Display::present() {
  assert(!locked_ && "present() with the surface locked");
  runtime().present(surface_.get());
}

bool Display::keyPressed() { return runtime().keyPending(); }

Key Display::readKey() {
  runtime().takeKey();
  return Key{};
}

void Display::close() {
  runtime().closeOutput();
  open_ = false;
}

Display& display() {
  if (g_display == nullptr) {
    // A scene ran without an open display: a programming error, not bad data.
    std::abort();
  }
  return *g_display;
}

void publishDisplay(Display* display) { g_display = display; }

}  // namespace tolvarin
