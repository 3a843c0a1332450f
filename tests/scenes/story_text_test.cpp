// StoryText: the sway positions, the phases' minimum lengths and order
// thresholds, and the keys the scene reads itself.
#include <gtest/gtest.h>

#include "scenes/story_text.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using testing::keysAt;
using testing::SceneHarness;
using testing::TraceLog;

const std::vector<std::string> kStoryPhases{"StoryText.phase1", "StoryText.phase2", "StoryText.phase3",
                                            "StoryText.phase4", "StoryText.phase5", "StoryText.phase6",
                                            "StoryText.phase7", "StoryText.phase8"};

TEST(StoryText, SwayAndCreditPositions) {
  buildTrigTables();
  EXPECT_EQ(storySwayPosition(0).x, 53);
  EXPECT_EQ(storySwayPosition(0).y, 18);
  // cos 180 in the table is just above -1, so 3c + 50 is just above 47.
  EXPECT_EQ(storySwayPosition(180).x, 47);
  EXPECT_EQ(storySwayPosition(180).y, 12);

  const CreditPositions at0 = creditPositions(0);
  EXPECT_EQ(at0.title.x, 13);
  EXPECT_EQ(at0.title.y, 53);
  EXPECT_EQ(at0.members[0].x, 27);
  EXPECT_EQ(at0.members[0].y, 80);
  EXPECT_EQ(at0.members[1].y, 102);  // 3 sin 45 + 100
  EXPECT_EQ(at0.members[4].x, 23);
  EXPECT_EQ(at0.members[4].y, 173);
}

// With the music already past every threshold, each story phase still runs
// its 86 frames (k = 0, 3, ..., 255) and each credits phase its 256; then the
// scene holds the last frame until a sync.
TEST(StoryText, PhasesRunTheirMinimumFramesWhenTheOrderIsAlreadyPast) {
  SceneHarness s(keysAt({}, 60.0));
  s.order = 22;
  s.syncAfterFrame(0);  // a sync during the story does not end the final wait early
  s.afterFrame([&](std::int64_t i) {
    if (i == 8 * 86 + 2 * 256 - 1) syncFlag = 1;  // raised with the last frame
  });
  TraceLog trace(s.h.runtime);
  StoryText();
  for (const auto& phase : kStoryPhases) EXPECT_EQ(trace.framesIn(phase), 86) << phase;
  EXPECT_EQ(trace.framesIn("StoryText.creditsA"), 256);
  EXPECT_EQ(trace.framesIn("StoryText.creditsB"), 256);
  EXPECT_EQ(s.frames(), 8 * 86 + 2 * 256);
  EXPECT_FALSE(syncIsSet());
}

TEST(StoryText, EachPhaseWaitsForItsOrder) {
  SceneHarness s(keysAt({}, 60.0));
  s.order = 18;
  s.orderAfterFrame(99, 20);  // phase 1 (until 19) ends at its 100th frame; phases 2-7 need no more than 20
  const std::int64_t phase8 = 100 + 6 * 86;
  s.orderAfterFrame(phase8 + 95, 21);  // phase 8 waits 10 frames past its 86
  const std::int64_t creditsB = phase8 + 96 + 256;
  s.orderAfterFrame(creditsB + 299, 22);  // credits B waits 44 frames past its 256
  s.syncAfterFrame(creditsB + 299);
  TraceLog trace(s.h.runtime);
  StoryText();
  EXPECT_EQ(trace.framesIn("StoryText.phase1"), 100);
  EXPECT_EQ(trace.framesIn("StoryText.phase7"), 86);
  EXPECT_EQ(trace.framesIn("StoryText.phase8"), 96);
  EXPECT_EQ(trace.framesIn("StoryText.creditsA"), 256);
  EXPECT_EQ(trace.framesIn("StoryText.creditsB"), 300);
}

// A key in phase 3 ends it and skips the rest of the story; the scene
// discards it and the credits run.
TEST(StoryText, AKeyInTheStorySkipsOnlyTheRestOfTheStory) {
  SceneHarness s(keysAt({3.0}, 60.0));  // frame 180: phase 3 runs frames 173..258
  s.order = 22;
  s.afterFrame([&](std::int64_t) {
    if (s.frames() > 200) syncFlag = 1;
  });
  TraceLog trace(s.h.runtime);
  StoryText();
  EXPECT_EQ(trace.begun(), (std::vector<std::string>{"StoryText", "StoryText.phase1", "StoryText.phase2",
                                                      "StoryText.phase3", "StoryText.creditsA",
                                                      "StoryText.creditsB"}));
  EXPECT_EQ(trace.framesIn("StoryText.creditsA"), 256);
  EXPECT_FALSE(display().keyPressed());
}

// A key in credits A ends it, skips credits B and the wait, and is discarded
// by the scene: the demo sequence finds no key pending.
TEST(StoryText, AKeyInTheCreditsSkipsTheRestAndIsDiscarded) {
  SceneHarness s(keysAt({12.0}, 60.0));  // the story takes 688 frames, about 11.5 s
  s.order = 22;
  TraceLog trace(s.h.runtime);
  StoryText();
  const auto begun = trace.begun();
  EXPECT_EQ(begun.back(), "StoryText.creditsA");
  EXPECT_LT(trace.framesIn("StoryText.creditsA"), 256);
  EXPECT_FALSE(display().keyPressed());
  EXPECT_LT(s.h.runtime.now(), 12.1);
}

// A key pending on entry skips the whole story; it is discarded and the
// credits run in full.
TEST(StoryText, AKeyPendingOnEntryStillShowsTheCredits) {
  SceneHarness s(keysAt({0.0}, 60.0));
  s.order = 22;
  s.syncAfterFrame(511);
  s.pollOnce();
  TraceLog trace(s.h.runtime);
  StoryText();
  EXPECT_EQ(trace.begun(), (std::vector<std::string>{"StoryText", "StoryText.creditsA", "StoryText.creditsB"}));
  EXPECT_EQ(s.frames(), 512);
}

}  // namespace
}  // namespace tolvarin
