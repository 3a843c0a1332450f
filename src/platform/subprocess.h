#pragma once
// Runs a program (looked up in PATH) with arguments passed as they are, no
// shell in between. Used to hand frames and sound to the ffmpeg program.
// POSIX: posix_spawnp (subprocess_posix.cpp); Windows: CreateProcessW with
// the arguments quoted into one command line (subprocess_windows.cpp).
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
#ifdef _WIN32
  void* process_ = nullptr;  // the child's process handle
  void* input_ = nullptr;    // our end of the pipe to its standard input
#else
  int pid_ = -1;
  int stdinFd_ = -1;
#endif
};

// Runs a program to completion; its exit code, or -1 when it could not run.
int runProgram(const std::vector<std::string>& argv);

#ifdef _WIN32
// The file a program name starts: the name itself when it has a folder,
// otherwise the first match in the folders of PATH, ".exe" added when the
// name has no extension. Empty when there is none. (Unlike CreateProcess's
// own search, the working folder and the program's folder are not searched.)
std::string findProgram(const std::string& name);
#endif

}  // namespace tolvarin
