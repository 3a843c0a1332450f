// The Windows target's functions: a window program that finds its console
// when started from one, and its data beside itself (the zip is unpacked
// wherever its user likes, so no folder is compiled in).
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/target.h"
#include "targets/windows/windows_console.h"

namespace tolvarin {

namespace fs = std::filesystem;

void attachToTerminal() { useParentConsole(); }

void announceExit(int) {}

bool stderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

fs::path programFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return fs::path(buffer).parent_path();
    }
    buffer.resize(buffer.size() * 2);  // cut short: try again with more room
  }
}

std::vector<fs::path> dataSearchFolders() {
  // The program's folder, then its data folder.
  const fs::path self = programFolder();
  if (self.empty()) return {};
  return {self, self / "data"};
}

bool canWritePng() { return true; }

bool canStartPrograms() { return true; }

}  // namespace tolvarin
