#pragma once
// The whole program started as a user starts it, for every test that runs
// it: the command (the native build/tolvarin, or a runner in front, such as
// "node tolvarin.js" or "wine tolvarin.exe") with the test's options, and
// what the run left: exit code, messages, trace, frame hashes and sound.
// Every run writes into a folder of its own, so tests that CTest runs side by
// side never share a file.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/trace_events.h"
#include "tools/music/audio_checks.h"

namespace tolvarin::testing {

// One line of --frame-hashes: "index time hash" (the time as written).
struct FrameLine {
  std::int64_t index = 0;
  std::string time, hash;
  double seconds() const { return std::stod(time); }
  bool operator==(const FrameLine&) const = default;
};
// Skips the comment line.
std::vector<FrameLine> parseFrameHashes(std::string_view text);

std::string readFile(const std::string& path);
// A new, empty folder under the test's temporary folder, named after the
// running test, `tag` and a count of the folders made so far.
std::string freshFolder(std::string_view tag = "run");

// The outputs a run is asked for (into its folder) and read back.
enum Output : unsigned { kTrace = 1, kFrameHashes = 2, kWav = 4 };

struct RunOptions {
  RunOptions(unsigned wanted = 0) : outputs(wanted) {}  // NOLINT: kTrace | kWav reads as options
  RunOptions& withEnvironment(std::vector<std::string> variables) {
    environment = std::move(variables);
    return *this;
  }
  RunOptions& withTimeout(int seconds) {
    timeoutSeconds = seconds;
    return *this;
  }

  unsigned outputs;
  // NAME=VALUE sets a variable for the run; NAME alone removes it.
  std::vector<std::string> environment;
  std::string folder;  // where the run's files go; empty: a fresh folder
  int timeoutSeconds = 600;
};

struct ProgramRun {
  int exitCode = -1;  // -1 when it did not exit by itself
  int signal = 0;     // the signal that ended it, if any
  bool timedOut = false;
  std::string out, err;  // standard output and error
  std::string folder;
  ParsedTrace trace;
  std::vector<FrameLine> frames;
  Pcm wav;

  std::string path(std::string_view name) const { return folder + "/" + std::string(name); }
  const std::vector<TraceEvent>& events() const { return trace.events; }
};

class Program {
 public:
  explicit Program(std::vector<std::string> command) : command_(std::move(command)) {}
  // build/tolvarin, the program of this build.
  static Program native();

  ProgramRun run(const std::vector<std::string>& args, const RunOptions& options = {}) const;
  // With --headless and the build's data in front of `args`.
  ProgramRun headless(std::vector<std::string> args, const RunOptions& options = {}) const;

 private:
  std::vector<std::string> command_;
};

// The build's generated data folder.
std::string dataFolder();

}  // namespace tolvarin::testing
