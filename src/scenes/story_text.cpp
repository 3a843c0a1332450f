#include "scenes/story_text.h"

#include "platform/trace.h"

namespace tolvarin {

void StoryText() { TraceScope scene("StoryText"); }

}  // namespace tolvarin
