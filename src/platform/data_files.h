#pragma once
// Where the data files are: the --data folder when given; otherwise each file
// is taken from the working folder when it is there, else from the first of
// the search folders that has it (the target's dataSearchFolders()):
//   Linux:   the build's data folder, <prefix>/share/tolvarin beside the
//            program's <prefix>/bin, the installed data folder;
//   Windows: the program's own folder, then its data subfolder (how the zip
//            and the build folder lay them out);
//   web:     the build's data folder (node), /data (the page's packed files).
#include <filesystem>
#include <string>
#include <vector>

namespace tolvarin {

class DataFiles {
 public:
  explicit DataFiles(std::string folder = {});
  // The path to open for one of the demo's data file names.
  std::string path(const char* name) const;

  // The folders searched after the working folder, in order.
  static std::vector<std::filesystem::path> searchFolders();

 private:
  std::string folder_;
};

// Paths to and from the program's strings, which are UTF-8: the arguments
// and the names given to fopen (on Windows the manifest makes UTF-8 the code
// page of both). std::filesystem's own narrow strings are not UTF-8 there
// (and .string() throws on characters the C locale cannot hold).
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace tolvarin
