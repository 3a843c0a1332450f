// The 3D scene inside the whole program, headless, with the generated data:
// it begins and ends in its place, both phases run, each ended by its syncs.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct TraceLine {
  long frame;
  std::string event, scene;
};

std::vector<TraceLine> readTrace(const std::string& path) {
  static const std::regex line(R"re(\{"t":[0-9.]+,"frame":(\d+),.*"event":"(\w+)","scene":"([A-Za-z0-9.]*)"\})re");
  std::vector<TraceLine> out;
  std::ifstream in(path);
  for (std::string s; std::getline(in, s);) {
    std::smatch m;
    if (std::regex_match(s, m, line)) out.push_back({std::stol(m[1]), m[2], m[3]});
  }
  return out;
}

TEST(Scene3DInTheProgram, BeginsAndEndsWithBothPhasesEachEndedByItsSyncs) {
  const std::string trace = ::testing::TempDir() + "/scene3d_program.jsonl";
  const std::string cmd = std::string(TOLVARIN_BINARY_DIR) + "/tolvarin --headless --data " +
                          TOLVARIN_TEST_DATA_DIR + " --trace " + trace + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);

  std::vector<std::string> order;
  std::vector<long> frames;
  int phase1Syncs = 0, phase2Syncs = 0, keys = 0;
  for (const auto& l : readTrace(trace)) {
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
