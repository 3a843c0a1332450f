// The whole program headless with the data and module the build makes: the
// scenes and their phases begin and end in order, each phase inside its scene.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/demo_scenes.h"
#include "support/program_run.h"

namespace tolvarin::testing {
namespace {

TEST(WholeDemo, ScenesAndPhasesBeginAndEndInOrder) {
  const ProgramRun run = Program::native().headless({}, kTrace);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_TRUE(run.trace.malformed.empty());

  std::vector<std::string> scenes, phases, open;
  std::vector<std::int64_t> openedAt;
  for (const TraceEvent& e : run.events()) {
    if (e.event != "begin" && e.event != "end") continue;
    const std::string& name = e.scene;
    const std::int64_t frame = e.frame;
    const bool phase = e.isPhase();
    if (e.event == "begin") {
      EXPECT_EQ(open.size(), phase ? 1u : 0u) << name;
      if (phase && !open.empty()) {
        EXPECT_EQ(name.substr(0, name.find('.')), open[0]);
      }
      (phase ? phases : scenes).push_back(name);
      open.push_back(name);
      openedAt.push_back(frame);
    } else {
      ASSERT_FALSE(open.empty());
      EXPECT_EQ(open.back(), name) << "scopes do not nest";
      if (name == "RotozoomStrobe.strobe") {
        EXPECT_EQ(frame - openedAt.back(), 3) << "three pictures";
      }
      if (name == "Greetings.tunnel") {
        EXPECT_EQ(openedAt.back() - openedAt[0], 799) << "from frame 800";
      }
      open.pop_back();
      openedAt.pop_back();
    }
  }
  EXPECT_TRUE(open.empty());
  EXPECT_EQ(scenes, demoScenes());
  // No key was pressed, so every phase of the two many-phased scenes ran, in order.
  std::vector<std::string> expected{"LogoZoom.phase1", "LogoZoom.phase2", "LogoZoom.phase3", "LogoZoom.phase4"};
  for (int i = 1; i <= 8; ++i) expected.push_back("StoryText.phase" + std::to_string(i));
  expected.insert(expected.end(), {"StoryText.creditsA", "StoryText.creditsB"});
  std::vector<std::string> seen;
  for (const auto& p : phases) {
    if (p.rfind("LogoZoom.", 0) == 0 || p.rfind("StoryText.", 0) == 0) seen.push_back(p);
  }
  EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace tolvarin::testing
