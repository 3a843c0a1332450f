#pragma once
// Where the data files are: the --data folder when given; otherwise each file
// is taken from the working folder when it is there, else from the build's
// data folder, else from the installed one.
#include <string>

namespace tolvarin {

class DataFiles {
 public:
  explicit DataFiles(std::string folder = {});
  // The path to open for one of the demo's data file names.
  std::string path(const char* name) const;

 private:
  std::string folder_;
};

}  // namespace tolvarin
