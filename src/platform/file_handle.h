#pragma once
// A C stdio file owned by one object: closed when the owner goes.
#include <cstdio>
#include <memory>

namespace tolvarin {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Closes the file now; false when a write failed or the close itself did.
[[nodiscard]] inline bool closeChecked(FileHandle& file) {
  if (!file) return true;
  const bool ok = std::fflush(file.get()) == 0 && !std::ferror(file.get());
  return std::fclose(file.release()) == 0 && ok;
}

}  // namespace tolvarin
