#include "platform/data_files.h"

#include <filesystem>
#include <vector>

namespace tolvarin {

DataFiles::DataFiles(std::string folder) : folder_(std::move(folder)) {}

namespace {

namespace fs = std::filesystem;

// The installed data folder, found from where the program itself lies
// (<prefix>/bin/tolvarin finds <prefix>/share/tolvarin), so a package
// installed under any prefix finds its data.
fs::path installedDataNextToProgram() {
#ifdef __EMSCRIPTEN__
  // A WebAssembly program is no file of its own: /proc/self/exe would name
  // node (or nothing in a browser).
  return {};
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path().parent_path() / "share" / "tolvarin";
#endif
}

}  // namespace

std::string DataFiles::path(const char* name) const {
  if (!folder_.empty()) return (fs::path(folder_) / name).string();
  std::error_code ec;
  if (fs::exists(name, ec)) return name;
  for (const fs::path& dir : {fs::path(TOLVARIN_BUILD_DATA_DIR), installedDataNextToProgram(),
                              fs::path(TOLVARIN_INSTALL_DATA_DIR)}) {
    if (dir.empty()) continue;
    const fs::path candidate = dir / name;
    if (fs::exists(candidate, ec)) return candidate.string();
  }
  return name;  // not found anywhere: the error then names the plain file
}

}  // namespace tolvarin
