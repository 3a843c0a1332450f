#include "platform/data_files.h"

#include "platform/target.h"

namespace tolvarin {

namespace fs = std::filesystem;

DataFiles::DataFiles(std::string folder) : folder_(std::move(folder)) {}

std::vector<fs::path> DataFiles::searchFolders() { return dataSearchFolders(); }

fs::path pathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string utf8FromPath(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string DataFiles::path(const char* name) const {
  if (!folder_.empty()) return utf8FromPath(pathFromUtf8(folder_) / name);
  std::error_code ec;
  if (fs::exists(name, ec)) return name;
  for (const fs::path& dir : searchFolders()) {
    const fs::path candidate = dir / name;
    if (fs::exists(candidate, ec)) return utf8FromPath(candidate);
  }
  return name;  // not found anywhere: the error then names the plain file
}

}  // namespace tolvarin
