#pragma once
// The demo's main routine: sets up the output, loads what the start-up
// objects do not, starts the music, plays the fixed list of scenes, waits for
// a last key and shuts down.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data_files.h"

namespace tolvarin {

// How a run goes beyond the one pass the demo makes by itself.
struct SequenceOptions {
  int startStep = 0;                // the outputs begin when this step (1..10) starts; 0: not by step
  std::optional<double> startTime;  // the outputs begin at this demo time (the runtime sees to it)
  int passes = 1;                   // passes of the whole demo; 0: until the input ends
  std::string usage;                // shown with an option that turns out wrong once the music is loaded
};

// The scenes in the order the sequence plays them, by the names the trace
// gives them; step n is entry n - 1.
std::vector<std::string_view> sceneNames();

// Returns the exit code: 0 after a normal end (and, silently, when a mesh
// fails to load), 1 when the music cannot start or the output cannot open,
// 2 when --start lies past the end of the music.
int demoSequence(const DataFiles& data, const SequenceOptions& options = {});

}  // namespace tolvarin
