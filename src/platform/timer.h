#pragma once
// The demo's stopwatch, measured in seconds on the platform's clock. Each
// read of time() is a poll: in virtual time it moves the clock on by 1 ms, so
// a loop that waits on it makes progress.

namespace tolvarin {

class Timer {
 public:
  void set(double seconds);
  void start();
  void stop();
  double time();

 private:
  double elapsedAt(double now) const;

  double base_ = 0.0;       // value at startedAt_ (or the frozen value when stopped)
  double startedAt_ = 0.0;  // clock time of the last start or set while running
  bool running_ = false;
};

}  // namespace tolvarin
