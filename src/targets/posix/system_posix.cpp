// The POSIX target's functions (Linux): the program's folder from
// /proc/self/exe, the data folders of the build and of the installation.
#include <unistd.h>

#include <cstdio>

#include "platform/target.h"

namespace tolvarin {

namespace fs = std::filesystem;

void attachToTerminal() {}

void announceExit(int) {}

bool stderrIsTerminal() { return isatty(fileno(stderr)) != 0; }

fs::path programFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
}

std::vector<fs::path> dataSearchFolders() {
  std::vector<fs::path> folders{fs::path(TOLVARIN_BUILD_DATA_DIR)};
  // The installed data found from where the program itself lies
  // (<prefix>/bin/tolvarin finds <prefix>/share/tolvarin), so a package
  // installed under any prefix finds its data.
  const fs::path self = programFolder();
  if (!self.empty()) folders.push_back(self.parent_path() / "share" / "tolvarin");
  folders.push_back(fs::path(TOLVARIN_INSTALL_DATA_DIR));
  return folders;
}

bool canWritePng() { return true; }

bool canStartPrograms() { return true; }

}  // namespace tolvarin
