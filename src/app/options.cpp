#include "app/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "app/demo_sequence.h"
#include "platform/data_files.h"
#include "platform/target.h"

namespace tolvarin {
namespace {

bool sameName(const std::string& a, std::string_view other) {
  return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// A demo time: finite, not negative, at most a day.
CLI::Validator demoTime() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        char* end = nullptr;
        const double t = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0') return "not a number: " + text;
        if (!std::isfinite(t) || t < 0.0 || t > 86400.0) return "not a demo time in seconds (0 to 86400): " + text;
        return {};
      },
      "SECONDS");
}

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
      "With no options it opens a window and plays; --headless renders in virtual time, frame-exact.\n"
      "Warning: contains flashing images (a full-screen strobe); --calm softens them to 3 flashes a second at most."};
  app.set_version_flag("--version", "tolvarin 0.1");
  app.failure_message(CLI::FailureMessage::help);  // a bad option shows the error and the usage
  std::vector<std::string> shots;
  std::string start;
  std::string loop;

  app.add_flag("--headless", o.headless, "No window: run in virtual time (for --record, --shot, tests)");
  app.add_option("--fps", o.fps, "Target frame rate; 0 = unpaced (window only)")
      ->check(CLI::Range(0, 1000))
      ->capture_default_str();
  app.add_option("--keys", o.keys, "Headless: key presses at these demo times, in seconds (T1,T2,...)")
      ->delimiter(',')
      ->check(demoTime());
  app.add_option("--until", o.until, "End the run at this demo time, as if the window were closed")
      ->check(demoTime());
  const std::vector<std::string_view> scenes = sceneNames();
  app.add_option("--start", start,
                 "Begin at a scene (" + std::string(scenes.front()) + " ... " + std::string(scenes.back()) +
                     ", or its step 1-" + std::to_string(scenes.size()) +
                     "; --list-scenes names them) or at a demo time (90.5, 90s): "
                     "the run gets there at once, exactly as a whole run would");
  bool listScenes = false;
  app.add_flag("--list-scenes", listScenes, "Print the scenes' names in the order they play, one a line, and exit");
  auto* loopOption = app.add_option("--loop", loop,
                                    "Play the demo again and again: N passes, or until the window is closed")
                         ->expected(0, 1);
  app.add_flag("--quiet", o.quiet, "No progress line for headless runs");
  app.add_option("--volume", o.volume, "Loudness of the music in percent (0-100)")
      ->check(CLI::Range(0, 100))
      ->capture_default_str();
  app.add_option("--record", o.record, "Render headless to a video with the music (.mp4 H.264, .mkv lossless)");
  app.add_option("--record-scale", o.recordScale, "Enlarge the recorded video N times (nearest neighbour)")
      ->check(CLI::Range(1, 8))
      ->capture_default_str();
  app.add_option("--shot", shots, "PNG of the screen at demo time T (repeatable): T:FILE");
  app.add_option("--wav", o.wav, "Write the music as heard to a WAV file");
  app.add_option("--trace", o.trace, "Write scene, phase, sync and key events as JSON lines ('-' = stderr)");
  app.add_option("--frame-hashes", o.frameHashes, "Write index, demo time and a 64-bit hash of every frame");
  app.add_flag("--calm", o.calm,
               "Calm mode: no more than 3 flashes in any second (the strobe and bright flashes softened); "
               "timing, music and scenes unchanged");
  app.add_option("--flash-report", o.flashReport,
                 "Write the flashes counted in every second of the frames shown, and the worst second ('-' = stdout)");
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
    if (!start.empty()) {
      StartPoint point;
      const std::string error = parseStart(start, point);
      if (!error.empty()) throw CLI::ValidationError("--start", error);
      o.start = point;
    }
    if (!o.record.empty()) o.headless = true;  // recording always renders headless
    if (loopOption->count() > 0) {
      if (loop.empty()) {
        if (o.headless) throw CLI::ValidationError("--loop", "needs a number of passes when headless");
        o.passes = 0;
      } else {
        char* end = nullptr;
        const long n = std::strtol(loop.c_str(), &end, 10);
        if (end == loop.c_str() || *end != '\0' || n < 1 || n > 1000) {
          throw CLI::ValidationError("--loop", "the number of passes must be 1 to 1000, not " + loop);
        }
        o.passes = static_cast<int>(n);
      }
    }
    if (o.headless && o.fps == 0) throw CLI::ValidationError("--fps", "0 (unpaced) needs a window; use 1 or more");
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  if (listScenes) {
    for (std::string_view name : scenes) std::printf("%.*s\n", static_cast<int>(name.size()), name.data());
    return 0;
  }
  // What this build cannot do is refused before anything runs, like a bad option.
  if (!o.shots.empty() && !canWritePng()) {
    std::fprintf(stderr, "tolvarin: --shot is not available in this build (it cannot write PNG files)\n");
    return 2;
  }
  if (!o.record.empty() && !canStartPrograms()) {
    std::fprintf(stderr, "tolvarin: --record is not available in this build (it cannot start ffmpeg)\n");
    return 2;
  }
  std::sort(o.keys.begin(), o.keys.end());
  o.usage = app.help();
  return std::nullopt;
}

std::string parseStart(const std::string& text, StartPoint& start) {
  const std::vector<std::string_view> scenes = sceneNames();
  const int steps = static_cast<int>(scenes.size());
  for (int i = 0; i < steps; ++i) {
    if (sameName(text, scenes[static_cast<std::size_t>(i)])) {
      start = StartPoint{i + 1, 0.0};
      return {};
    }
  }
  if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    const long step = std::strtol(text.c_str(), nullptr, 10);
    if (text.size() > 2 || step < 1 || step > steps) {
      return "no step " + text + ": the steps are 1 to " + std::to_string(steps) + " (a demo time is written " +
             text + "s or " + text + ".0)";
    }
    start = StartPoint{static_cast<int>(step), 0.0};
    return {};
  }
  std::string number = text;
  if (!number.empty() && (number.back() == 's' || number.back() == 'S')) number.pop_back();
  char* end = nullptr;
  const double t = std::strtod(number.c_str(), &end);
  const bool isTime = !number.empty() && end != number.c_str() && *end == '\0' &&
                      (number != text || number.find('.') != std::string::npos);
  if (isTime) {
    if (!std::isfinite(t) || t < 0.0 || t > 86400.0) return "not a demo time in seconds: " + text;
    start = StartPoint{0, t};
    return {};
  }
  std::string names;
  for (std::string_view name : scenes) names += (names.empty() ? "" : ", ") + std::string(name);
  return "unknown scene " + text + " (scenes: " + names + "; or a step 1-10, or a time such as 90.5 or 90s)";
}

}  // namespace tolvarin
