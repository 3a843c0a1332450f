#pragma once
// The dialogue over colour-cycling pictures, then the swaying credits.

namespace tolvarin {

void StoryText();

}  // namespace tolvarin
