#pragma once
// Runs a program (looked up in PATH) with arguments passed as they are, no
// shell in between. Used to hand frames and sound to the ffmpeg program.
#include <cstddef>
#include <string>
#include <vector>

namespace tolvarin {

class Subprocess {
 public:
  Subprocess() = default;
  ~Subprocess();
  Subprocess(const Subprocess&) = delete;
  Subprocess& operator=(const Subprocess&) = delete;

  // Starts the program with a pipe to its standard input. False when it
  // cannot be started.
  [[nodiscard]] bool start(const std::vector<std::string>& argv);
  // False once the program has gone away (its input pipe is closed).
  [[nodiscard]] bool write(const void* data, std::size_t size);
  // Closes the input and waits; the exit code, or -1 when it did not exit normally.
  int finish();

 private:
  int pid_ = -1;
  int stdinFd_ = -1;
};

// Runs a program to completion; its exit code, or -1 when it could not run.
int runProgram(const std::vector<std::string>& argv);

}  // namespace tolvarin
