// The whole program, headless, with the data and module the build makes: the
// scenes and their phases begin and end in order, each phase inside its scene.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Event {
  std::string event, scene;
  long frame;
};

std::vector<Event> runDemo(const std::string& trace) {
  const std::string cmd = std::string(TOLVARIN_BINARY_DIR) + "/tolvarin --headless --data " +
                          TOLVARIN_TEST_DATA_DIR + " --trace " + trace + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  static const std::regex re(R"re("frame":(\d+),.*"event":"(begin|end)","scene":"([A-Za-z0-9.]+)")re");
  std::vector<Event> out;
  std::ifstream in(trace);
  for (std::string s; std::getline(in, s);) {
    std::smatch m;
    if (std::regex_search(s, m, re)) out.push_back({m[2], m[3], std::stol(m[1])});
  }
  return out;
}

std::string sceneOf(const std::string& name) { return name.substr(0, name.find('.')); }

TEST(WholeDemo, ScenesAndPhasesBeginAndEndInOrder) {
  const auto events = runDemo(::testing::TempDir() + "/whole_demo.jsonl");
  const std::vector<std::string> scenes{"LogoZoom",  "LightSweep", "CrossfadeSweep", "RotozoomStrobe",
                                        "StillPicture", "StoryText", "Scene3D", "PrototypeText",
                                        "Greetings", "CreditsFadeIn"};
  std::vector<std::string> begun;
  std::vector<std::string> phases;
  std::vector<Event> open;  // scopes running, outermost first
  long greetingsBegin = -1;
  for (const Event& e : events) {
    if (e.event == "begin") {
      if (e.scene.find('.') == std::string::npos) {
        EXPECT_TRUE(open.empty()) << e.scene << " began inside " << open.back().scene;
        begun.push_back(e.scene);
        if (e.scene == "Greetings") greetingsBegin = e.frame;
      } else {
        ASSERT_FALSE(open.empty()) << e.scene;
        EXPECT_EQ(sceneOf(e.scene), open.front().scene) << "phase outside its scene";
        phases.push_back(e.scene);
        if (e.scene == "Greetings.tunnel") {
          EXPECT_EQ(e.frame - greetingsBegin, 799);
        }
      }
      open.push_back(e);
    } else {
      ASSERT_FALSE(open.empty()) << e.scene;
      EXPECT_EQ(open.back().scene, e.scene) << "scopes do not nest";
      if (e.scene == "RotozoomStrobe.strobe") {
        EXPECT_EQ(e.frame - open.back().frame, 3);  // three pictures
      }
      open.pop_back();
    }
  }
  EXPECT_TRUE(open.empty());
  EXPECT_EQ(begun, scenes);

  // No key was pressed, so every phase of the two many-phased scenes ran, in order.
  auto phasesOf = [&](const std::string& scene) {
    std::vector<std::string> out;
    for (const auto& p : phases) {
      if (sceneOf(p) == scene) out.push_back(p);
    }
    return out;
  };
  EXPECT_EQ(phasesOf("LogoZoom"), (std::vector<std::string>{"LogoZoom.phase1", "LogoZoom.phase2",
                                                             "LogoZoom.phase3", "LogoZoom.phase4"}));
  EXPECT_EQ(phasesOf("StoryText"),
            (std::vector<std::string>{"StoryText.phase1", "StoryText.phase2", "StoryText.phase3",
                                      "StoryText.phase4", "StoryText.phase5", "StoryText.phase6",
                                      "StoryText.phase7", "StoryText.phase8", "StoryText.creditsA",
                                      "StoryText.creditsB"}));
}

}  // namespace
