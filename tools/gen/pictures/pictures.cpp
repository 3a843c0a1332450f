#include "gen/generated_file.h"

namespace tolvarin::gen {

std::vector<GeneratedFile> generatePictures() { return {}; }

}  // namespace tolvarin::gen
