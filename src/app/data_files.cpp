#include "app/data_files.h"

#include <filesystem>

namespace tolvarin {

DataFiles::DataFiles(std::string folder) : folder_(std::move(folder)) {}

std::string DataFiles::path(const char* name) const {
  namespace fs = std::filesystem;
  if (!folder_.empty()) return (fs::path(folder_) / name).string();
  std::error_code ec;
  if (fs::exists(name, ec)) return name;
  for (const char* dir : {TOLVARIN_BUILD_DATA_DIR, TOLVARIN_INSTALL_DATA_DIR}) {
    const fs::path candidate = fs::path(dir) / name;
    if (fs::exists(candidate, ec)) return candidate.string();
  }
  return name;  // not found anywhere: the error then names the plain file
}

}  // namespace tolvarin
