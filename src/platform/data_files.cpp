#include "platform/data_files.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tolvarin {

namespace fs = std::filesystem;

DataFiles::DataFiles(std::string folder) : folder_(std::move(folder)) {}

#ifdef _WIN32

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

std::vector<fs::path> DataFiles::searchFolders() {
  // The program's folder, then its data folder: nothing is compiled in, as
  // the program is unpacked wherever its user likes.
  const fs::path self = programFolder();
  if (self.empty()) return {};
  return {self, self / "data"};
}

#else

fs::path programFolder() {
#ifdef __EMSCRIPTEN__
  // A WebAssembly program is no file of its own: /proc/self/exe would name
  // node (or nothing in a browser).
  return {};
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
#endif
}

std::vector<fs::path> DataFiles::searchFolders() {
  std::vector<fs::path> folders{fs::path(TOLVARIN_BUILD_DATA_DIR)};
  // The installed data found from where the program itself lies
  // (<prefix>/bin/tolvarin finds <prefix>/share/tolvarin), so a package
  // installed under any prefix finds its data.
  const fs::path self = programFolder();
  if (!self.empty()) folders.push_back(self.parent_path() / "share" / "tolvarin");
  folders.push_back(fs::path(TOLVARIN_INSTALL_DATA_DIR));
  return folders;
}

#endif

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
