#pragma once
// Command-line options of the tolvarin program.
#include <optional>
#include <string>
#include <vector>

namespace tolvarin {

struct ShotRequest {
  double time = 0.0;
  std::string path;
};

struct ProgramOptions {
  bool headless = false;
  int fps = 60;
  std::vector<double> keys;
  std::optional<double> until;
  std::string record;
  int recordScale = 1;
  std::vector<ShotRequest> shots;
  std::string wav;
  std::string trace;
  std::string frameHashes;
  std::string dataDir;
  bool fullscreen = false;
  int scale = 3;
  double avOffsetMs = 0.0;
};

// Parses the command line. Returns the exit code to leave with at once
// (0 after --help, 2 for a bad option, with CLI11's message and usage on
// stderr), or nothing when the program should run.
std::optional<int> parseOptions(int argc, char** argv, ProgramOptions& options);

}  // namespace tolvarin
