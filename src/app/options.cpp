#include "app/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/data_files.h"

namespace tolvarin {
namespace {

// "T:FILE" for --shot.
std::string parseShot(const std::string& text, ShotRequest& shot) {
  const auto colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return "expected T:FILE, got " + text;
  const std::string time = text.substr(0, colon);
  char* end = nullptr;
  const double t = std::strtod(time.c_str(), &end);
  if (end == time.c_str() || *end != '\0' || !(t >= 0.0)) return "bad time in --shot " + text;
  shot = ShotRequest{t, text.substr(colon + 1)};
  return {};
}

// CLI::ExistingDirectory, but reading the name as UTF-8 (on Windows
// std::filesystem would read it in another code page and miss the folder).
const CLI::Validator existingFolder(
    [](std::string& dir) {
      std::error_code ec;
      return std::filesystem::is_directory(pathFromUtf8(dir), ec) ? std::string() : "Directory does not exist: " + dir;
    },
    "DIR");

}  // namespace

std::optional<int> parseOptions(int argc, char** argv, ProgramOptions& o) {
  CLI::App app{
      "Tolvarin, Quarnel, 2000. A real-time demo: software-rendered scenes in time with a tracker module.\n"
      "With no options it opens a window and plays; --headless renders in virtual time, frame-exact."};
  app.set_version_flag("--version", "tolvarin 0.1");
  app.failure_message(CLI::FailureMessage::help);  // a bad option shows the error and the usage
  const auto demoTime = CLI::Range(0.0, 86400.0);
  std::vector<std::string> shots;

  app.add_flag("--headless", o.headless, "No window: run in virtual time (for --record, --shot, tests)");
  app.add_option("--fps", o.fps, "Target frame rate; 0 = unpaced (window only)")
      ->check(CLI::Range(0, 1000))
      ->capture_default_str();
  app.add_option("--keys", o.keys, "Headless: key presses at these demo times, in seconds (T1,T2,...)")
      ->delimiter(',')
      ->check(demoTime);
  app.add_option("--until", o.until, "End the run at this demo time, as if the window were closed")
      ->check(demoTime);
  app.add_option("--record", o.record, "Render headless to a video with the music (.mp4 H.264, .mkv lossless)");
  app.add_option("--record-scale", o.recordScale, "Enlarge the recorded video N times (nearest neighbour)")
      ->check(CLI::Range(1, 8))
      ->capture_default_str();
  app.add_option("--shot", shots, "PNG of the screen at demo time T (repeatable): T:FILE");
  app.add_option("--wav", o.wav, "Write the music as heard to a WAV file");
  app.add_option("--trace", o.trace, "Write scene, phase, sync and key events as JSON lines ('-' = stderr)");
  app.add_option("--frame-hashes", o.frameHashes, "Write index, demo time and a 64-bit hash of every frame");
  app.add_option("--data", o.dataDir, "Folder of the data files (default: working folder, then the installed data)")
      ->check(existingFolder);
  app.add_flag("--fullscreen", o.fullscreen, "Start in full screen (Alt+Enter toggles)");
  app.add_option("--scale", o.scale, "Window size as a multiple of 320x240")
      ->check(CLI::Range(1, 16))
      ->capture_default_str();
  app.add_option("--av-offset", o.avOffsetMs, "Shift the music's signals against the picture, in milliseconds")
      ->check(CLI::Range(-2000.0, 2000.0));

  try {
    app.parse(argc, argv);
    for (const std::string& s : shots) {
      ShotRequest shot;
      const std::string error = parseShot(s, shot);
      if (!error.empty()) throw CLI::ValidationError("--shot", error);
      o.shots.push_back(shot);
    }
    if (!o.record.empty()) o.headless = true;  // recording always renders headless
    if (o.headless && o.fps == 0) throw CLI::ValidationError("--fps", "0 (unpaced) needs a window; use 1 or more");
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  std::sort(o.keys.begin(), o.keys.end());
  return std::nullopt;
}

}  // namespace tolvarin
