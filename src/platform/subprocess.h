#pragma once
// Runs a program (looked up in PATH) with arguments passed as they are, no
// shell in between. Used to hand frames and sound to the ffmpeg program.
// Each target defines it (src/targets/*/subprocess_*.cpp): posix_spawnp on
// POSIX, CreateProcessW with the arguments quoted into one command line on
// Windows; a WebAssembly program cannot start one, and every start fails.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tolvarin {

class Subprocess {
 public:
  Subprocess();
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
  // The running program and our end of the pipe to its standard input, in
  // the target's own terms (a process id and a descriptor, or two handles).
  // Empty when nothing runs.
  struct Child;
  std::unique_ptr<Child> child_;
};

// Runs a program to completion; its exit code, or -1 when it could not run.
int runProgram(const std::vector<std::string>& argv);

}  // namespace tolvarin
