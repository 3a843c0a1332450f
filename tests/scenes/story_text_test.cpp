// StoryText: sway positions, the phases' minimum lengths and thresholds,
// and the keys the scene reads itself.
#include <gtest/gtest.h>

#include "scenes/story_text.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using namespace testing;

TEST(StoryText, SwayAndCreditPositions) {
  buildTrigTables();
  EXPECT_EQ(storySwayPosition(0).x, 53);
  EXPECT_EQ(storySwayPosition(0).y, 18);
  EXPECT_EQ(storySwayPosition(180).x, 47);  // the table's cos 180 is just above -1
  EXPECT_EQ(storySwayPosition(180).y, 12);
  const CreditPositions at = creditPositions(0);
  EXPECT_EQ(at.title.x, 13);
  EXPECT_EQ(at.members[1].y, 102);  // 3 sin 45 + 100
  EXPECT_EQ(at.members[4].x, 23);
  EXPECT_EQ(at.members[4].y, 173);
}

// Past every threshold, each story phase still runs its 86 frames
// (k = 0, 3, ..., 255) and each credits phase its 256; then the scene holds
// the last frame until a sync. Below a threshold a phase runs on.
TEST(StoryText, PhasesRunTheirMinimumFramesThenWaitForTheirOrder) {
  {
    SceneHarness s;
    s.order = 22;
    s.syncAfter(8 * 86 + 2 * 256 - 1);
    TraceLog trace(s.h.runtime);
    StoryText();
    for (const char* p : {"StoryText.phase1", "StoryText.phase5", "StoryText.phase8"}) EXPECT_EQ(trace.framesIn(p), 86);
    EXPECT_EQ(trace.framesIn("StoryText.creditsB"), 256);
    EXPECT_EQ(s.frames(), 8 * 86 + 2 * 256);
  }
  {
    SceneHarness s;
    s.order = 18;
    s.orderAfter(99, 20);  // phase 1 (until 19) ends at 100 frames; phases 2-7 need no more than 20
    s.orderAfter(100 + 6 * 86 + 95, 21);  // phase 8 ends at 96
    s.orderAfter(100 + 7 * 86 + 10 + 256 + 299, 22);  // credits B at 300
    s.syncAfter(100 + 7 * 86 + 10 + 256 + 299);
    TraceLog trace(s.h.runtime);
    StoryText();
    EXPECT_EQ(trace.framesIn("StoryText.phase1"), 100);
    EXPECT_EQ(trace.framesIn("StoryText.phase7"), 86);
    EXPECT_EQ(trace.framesIn("StoryText.phase8"), 96);
    EXPECT_EQ(trace.framesIn("StoryText.creditsB"), 300);
  }
}

// A key in the story (here in phase 3, or pending on entry) skips the rest of
// it and is discarded: the credits still run. A key in the credits ends them
// and the wait, and is discarded too.
TEST(StoryText, TheSceneReadsTheKeysThatSkipItsParts) {
  const std::vector<std::string> withCredits{"StoryText", "StoryText.phase1", "StoryText.phase2", "StoryText.phase3",
                                             "StoryText.creditsA", "StoryText.creditsB"};
  {
    SceneHarness s(keysAt({3.0}));  // frame 180; phase 3 runs frames 173..258
    s.order = 22;
    s.afterFrame([](std::int64_t) { syncFlag = 1; });
    TraceLog trace(s.h.runtime);
    StoryText();
    EXPECT_EQ(trace.begun(), withCredits);
    EXPECT_EQ(trace.framesIn("StoryText.creditsA"), 256);
    EXPECT_FALSE(display().keyPressed());
  }
  {
    SceneHarness s(keysAt({0.0}));
    s.order = 22;
    s.syncAfter(511);
    s.pollOnce();
    StoryText();
    EXPECT_EQ(s.frames(), 2 * 256);
  }
  {
    SceneHarness s(keysAt({12.0}));  // the story takes 688 frames, about 11.5 s
    s.order = 22;
    TraceLog trace(s.h.runtime);
    StoryText();
    EXPECT_EQ(trace.begun().back(), "StoryText.creditsA");
    EXPECT_FALSE(display().keyPressed());
    EXPECT_LT(s.h.runtime.now(), 12.1);
  }
}

}  // namespace
}  // namespace tolvarin
