// Subprocess where programs cannot be started (WebAssembly): every start
// fails, so nothing waits on a program that never ran. The option parser
// refuses --record here before running (canStartPrograms()).
#include "platform/subprocess.h"

namespace tolvarin {

struct Subprocess::Child {};

Subprocess::Subprocess() = default;

Subprocess::~Subprocess() = default;

bool Subprocess::start(const std::vector<std::string>&) { return false; }

bool Subprocess::write(const void*, std::size_t) { return false; }

int Subprocess::finish() { return -1; }

int runProgram(const std::vector<std::string>&) { return -1; }

}  // namespace tolvarin
