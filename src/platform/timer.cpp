#include "platform/timer.h"

#include "platform/runtime.h"

namespace tolvarin {

double Timer::elapsedAt(double now) const { return running_ ? base_ + (now - startedAt_) : base_; }

void Timer::set(double seconds) {
  base_ = seconds;
  startedAt_ = runtime().now();
}

void Timer::start() {
  if (running_) return;
  startedAt_ = runtime().now();
  running_ = true;
}

void Timer::stop() {
  if (!running_) return;
  base_ = elapsedAt(runtime().now());
  running_ = false;
}

double Timer::time() {
  runtime().poll();
  return elapsedAt(runtime().now());
}

}  // namespace tolvarin
