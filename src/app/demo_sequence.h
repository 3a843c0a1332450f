#pragma once
// The demo's main routine: sets up the output, loads what the start-up
// objects do not, starts the music, plays the fixed list of scenes, waits for
// a last key and shuts down.
#include "app/data_files.h"

namespace tolvarin {

// Returns the exit code: 0 after a normal end (and, silently, when a mesh
// fails to load), 1 when the music cannot start or the output cannot open.
int demoSequence(const DataFiles& data);

// If a key is pending, returns at once (the sync flag untouched); otherwise
// polls until a sync arrives (and clears it) or a key is pending.
void waitForSyncOrKey();
// Reads and discards a pending key, if any.
void consumeKey();
// The closing picture rising from black, at most 255 frames.
void CreditsFadeIn();

}  // namespace tolvarin
