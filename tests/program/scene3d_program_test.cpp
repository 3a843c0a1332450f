// The 3D scene inside the whole program, headless, with the generated data:
// it begins and ends in its place, both phases run, each ended by its syncs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_run.h"

namespace tolvarin::testing {
namespace {

TEST(Scene3DInTheProgram, BeginsAndEndsWithBothPhasesEachEndedByItsSyncs) {
  const ProgramRun run = Program::native().headless({}, kTrace);
  ASSERT_EQ(run.exitCode, 0) << run.err;

  std::vector<std::string> order;
  std::vector<std::int64_t> frames;
  int phase1Syncs = 0, phase2Syncs = 0, keys = 0;
  for (const TraceEvent& l : run.events()) {
    if (l.scene.rfind("Scene3D", 0) != 0) continue;
    if (l.event == "begin" || l.event == "end") {
      order.push_back(l.event + " " + l.scene);
      frames.push_back(l.frame);
    }
    phase1Syncs += l.event == "sync" && l.scene == "Scene3D.phase1";
    phase2Syncs += l.event == "sync" && l.scene == "Scene3D.phase2";
    keys += l.event == "key";
  }
  ASSERT_EQ(order, (std::vector<std::string>{"begin Scene3D", "begin Scene3D.phase1", "end Scene3D.phase1",
                                             "begin Scene3D.phase2", "end Scene3D.phase2", "end Scene3D"}));
  EXPECT_LT(frames[1], frames[2]) << "phase 1 drew no frame";
  EXPECT_LT(frames[3], frames[4]) << "phase 2 drew no frame";
  // Syncs that arrive within one frame count once, so there may be more.
  EXPECT_GE(phase1Syncs, 4);
  EXPECT_GE(phase2Syncs, 2);
  EXPECT_EQ(keys, 0);
}

}  // namespace
}  // namespace tolvarin::testing
