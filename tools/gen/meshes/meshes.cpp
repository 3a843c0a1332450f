#include "gen/generated_file.h"

namespace tolvarin::gen {

std::vector<GeneratedFile> generateMeshes() { return {}; }

}  // namespace tolvarin::gen
