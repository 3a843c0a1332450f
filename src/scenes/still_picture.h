#pragma once
// The still picture between the rotating zoom and the story.

namespace tolvarin {

// One frame of the still picture (ojs.g), which stays on screen while the
// demo sequence waits for the next sync.
void StillPicture();

}  // namespace tolvarin
