// Subprocess for targets that cannot start programs (WebAssembly): every
// start fails, so nothing waits on a program that never ran. The program
// refuses --record there before running (backends.h).
#include "platform/subprocess.h"

namespace tolvarin {

Subprocess::~Subprocess() = default;

bool Subprocess::start(const std::vector<std::string>&) { return false; }

bool Subprocess::write(const void*, std::size_t) { return false; }

int Subprocess::finish() {
  // Nothing ever started: there is no pipe to close and no program to wait for.
  stdinFd_ = -1;
  pid_ = -1;
  return -1;
}

int runProgram(const std::vector<std::string>&) { return -1; }

}  // namespace tolvarin
