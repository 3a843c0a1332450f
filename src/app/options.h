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

// Where --start puts the beginning of the outputs: a scene of the sequence
// (step 1..10) or a demo time.
struct StartPoint {
  int step = 0;  // 0 when given as a time
  double time = 0.0;
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
  std::string flashReport;
  bool calm = false;
  std::string dataDir;
  bool fullscreen = false;
  int scale = 3;
  double avOffsetMs = 0.0;
  std::optional<StartPoint> start;
  int passes = 1;  // --loop: passes of the whole demo; 0 = until the window is closed
  bool quiet = false;
  int volume = 100;
  std::string usage;  // the help text, for errors found once the music is loaded
};

// Parses the command line. Returns the exit code to leave with at once
// (0 after --help, 2 for a bad option, with CLI11's message and usage on
// stderr), or nothing when the program should run.
std::optional<int> parseOptions(int argc, char** argv, ProgramOptions& options);

// Reads a --start value: a scene name (any case), a step number 1..10, or a
// demo time with a fraction or an "s" (90.5, 90s). An error text otherwise.
std::string parseStart(const std::string& text, StartPoint& start);

}  // namespace tolvarin
