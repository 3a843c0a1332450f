#pragma once
// The one reader of the program's --trace output for every test (the shell
// tests reach it through tolvarin-test-run). A line is exactly what the
// tracer writes, fields in this order:
//   {"t":12.345,"frame":740,"order":3,"row":16,"event":"begin","scene":"LightSweep"}
// anything else is reported, not skipped.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarin::testing {

struct TraceEvent {
  double t = 0.0;          // demo seconds, as written (three decimals)
  std::int64_t frame = 0;  // frames presented so far
  int order = 0, row = 0;  // the music's position
  std::string event;       // begin, end, sync or key
  std::string scene;       // the scene or "Scene.phase"; for sync and key the innermost one running ("" before any)

  // The top-level scene: "StoryText" for "StoryText.phase3".
  std::string topScene() const { return scene.substr(0, scene.find('.')); }
  bool isPhase() const { return scene.find('.') != std::string::npos; }
  bool is(std::string_view e, std::string_view s) const { return event == e && scene == s; }
};

struct ParsedTrace {
  std::vector<TraceEvent> events;
  std::vector<std::string> malformed;  // lines that are not trace lines, as found
};

// `live`: the trace may still be being written, so an unterminated last line
// is left for later rather than reported.
ParsedTrace parseTrace(std::string_view text, bool live = false);

// Top-level scenes with an event of this kind (begin or end), in trace order.
std::vector<std::string> sceneOrder(const std::vector<TraceEvent>& events, std::string_view event = "begin");
int countEvents(const std::vector<TraceEvent>& events, std::string_view event);

}  // namespace tolvarin::testing
