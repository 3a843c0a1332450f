// The WebAssembly target's functions. Under node the program has the real
// file system (the build's data folder); in a browser page the data is
// packed at /data. It can neither write PNG files (no libpng) nor start
// programs.
#include <emscripten.h>

#include "platform/target.h"

namespace tolvarin {
namespace {

// clang-format off
EM_JS(int, nodeStderrIsTerminal, (), {
  return (typeof process === 'object' && process.stderr && process.stderr.isTTY) ? 1 : 0;
});
// clang-format on

}  // namespace

namespace fs = std::filesystem;

void attachToTerminal() {}

void announceExit(int code) {
  // In the browser page main returns long after it was called, once the
  // program has waited for the browser (ASYNCIFY), and then nothing tells
  // the page that the run ended: this does, with the exit code.
  EM_ASM({ if (typeof Module['onMainEnd'] === 'function') Module['onMainEnd']($0); }, code);
}

// Emscripten's C library takes every standard stream for a terminal; node
// knows whether it is one.
bool stderrIsTerminal() { return nodeStderrIsTerminal() != 0; }

// A WebAssembly program is no file of its own: /proc/self/exe would name
// node (or nothing in a browser).
fs::path programFolder() { return {}; }

std::vector<fs::path> dataSearchFolders() {
  return {fs::path(TOLVARIN_BUILD_DATA_DIR), fs::path(TOLVARIN_INSTALL_DATA_DIR)};
}

bool canWritePng() { return false; }

bool canStartPrograms() { return false; }

}  // namespace tolvarin
