// The whole program headless with the data and module the build makes: the
// scenes and their phases begin and end in order, each phase inside its scene.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

TEST(WholeDemo, ScenesAndPhasesBeginAndEndInOrder) {
  const std::string trace = ::testing::TempDir() + "/whole_demo.jsonl";
  const std::string cmd = std::string(TOLVARIN_BINARY_DIR) + "/tolvarin --headless --data " + TOLVARIN_TEST_DATA_DIR +
                          " --trace " + trace + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  static const std::regex re(R"re("frame":(\d+),.*"event":"(begin|end)","scene":"([A-Za-z0-9.]+)")re");
  std::vector<std::string> scenes, phases, open;
  std::vector<long> openedAt;
  std::ifstream in(trace);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, re)) continue;
    const std::string name = m[3];
    const long frame = std::stol(m[1]);
    const bool phase = name.find('.') != std::string::npos;
    if (m[2] == "begin") {
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
  EXPECT_EQ(scenes, (std::vector<std::string>{"LogoZoom", "LightSweep", "CrossfadeSweep", "RotozoomStrobe",
                                              "StillPicture", "StoryText", "Scene3D", "PrototypeText", "Greetings",
                                              "CreditsFadeIn"}));
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
