#pragma once
// Fixture files for loader tests, in a folder of their own per test process
// so that tests running side by side never share a file.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "formats/g_writer.h"

namespace tolvarin::test {

// Made on first use, removed with everything in it when the process ends.
// The name has a random part besides the process id: WebAssembly programs
// under node all have the same one.
class TempFolder {
 public:
  TempFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("tolvarin-assets-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::filesystem::path tempFolder() {
  static const TempFolder folder;
  return folder.path();
}

// Writes bytes to a file named `name` in the test folder; returns its path.
inline std::string writeTemp(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = (tempFolder() / name).string();
  if (!formats::writeFile(path, bytes)) return {};
  return path;
}

}  // namespace tolvarin::test
