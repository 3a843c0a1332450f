#include "gen/generated_file.h"

namespace tolvarin::gen {

std::vector<GeneratedFile> generateMusic() { return {}; }

}  // namespace tolvarin::gen
