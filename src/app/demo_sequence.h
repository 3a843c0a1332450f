#pragma once
// The demo's main routine: sets up the output, loads what the start-up
// objects do not, starts the music, plays the fixed list of scenes, waits for
// a last key and shuts down.
#include "platform/data_files.h"

namespace tolvarin {

// Returns the exit code: 0 after a normal end (and, silently, when a mesh
// fails to load), 1 when the music cannot start or the output cannot open.
int demoSequence(const DataFiles& data);

}  // namespace tolvarin
