#pragma once
// The scenes in the order the demo plays them, as the trace names them,
// from the program's own table (tests link tolvarin_app for it).
#include <string>
#include <vector>

#include "app/demo_sequence.h"

namespace tolvarin::testing {

inline std::vector<std::string> demoScenes() {
  const auto names = sceneNames();
  return {names.begin(), names.end()};
}

}  // namespace tolvarin::testing
