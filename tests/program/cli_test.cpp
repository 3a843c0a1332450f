// The tolvarin program run as a user runs it, headless: the whole sequence
// with the generated data, determinism, the trace, options and bad data.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "assets/data_manifest.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = std::string(TOLVARIN_BINARY_DIR) + "/tolvarin";
const std::string kData = TOLVARIN_TEST_DATA_DIR;

std::string temp(const std::string& name) { return ::testing::TempDir() + "/cli_" + name; }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the program with the arguments (already shell-safe) and an
// environment prefix; stderr goes to `err` when given. The exit code.
int run(const std::string& args, const std::string& err = "/dev/null", const std::string& env = "") {
  const std::string cmd = env + " " + kProgram + " " + args + " >/dev/null 2>" + err;
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct TraceLine {
  double t;
  long frame;
  int order, row;
  std::string event, scene;
};

std::vector<TraceLine> readTrace(const std::string& path) {
  static const std::regex line(
      R"re(\{"t":(\d+\.\d{3}),"frame":(\d+),"order":(\d+),"row":(\d+),"event":"(begin|end|sync|key)","scene":"([A-Za-z0-9.]*)"\})re");
  std::vector<TraceLine> out;
  std::istringstream in(slurp(path));
  for (std::string s; std::getline(in, s);) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(s, m, line)) << "not a trace line: " << s;
    if (m.empty()) continue;
    out.push_back({std::stod(m[1]), std::stol(m[2]), std::stoi(m[3]), std::stoi(m[4]), m[5], m[6]});
  }
  return out;
}

std::vector<std::string> sceneOrder(const std::vector<TraceLine>& trace, const std::string& event) {
  std::vector<std::string> out;
  for (const auto& l : trace) {
    if (l.event == event && l.scene.find('.') == std::string::npos) out.push_back(l.scene);
  }
  return out;
}

const std::vector<std::string> kScenes{"LogoZoom",  "LightSweep", "CrossfadeSweep", "RotozoomStrobe",
                                       "StillPicture", "StoryText", "Scene3D", "PrototypeText",
                                       "Greetings", "CreditsFadeIn"};

TEST(Cli, TheWholeDemoRunsHeadlessToTheEndTheSameWayTwice) {
  const std::string args = "--headless --data " + kData;
  ASSERT_EQ(run(args + " --trace " + temp("a.jsonl") + " --frame-hashes " + temp("a.hash") + " --wav " +
                temp("a.wav")),
            0);
  ASSERT_EQ(run(args + " --trace " + temp("b.jsonl") + " --frame-hashes " + temp("b.hash") + " --wav " +
                temp("b.wav")),
            0);
  const auto trace = readTrace(temp("a.jsonl"));
  EXPECT_EQ(sceneOrder(trace, "begin"), kScenes);
  EXPECT_EQ(sceneOrder(trace, "end"), kScenes);
  EXPECT_FALSE(slurp(temp("a.hash")).empty());
  EXPECT_EQ(slurp(temp("a.hash")), slurp(temp("b.hash")));
  EXPECT_EQ(slurp(temp("a.wav")), slurp(temp("b.wav")));
  EXPECT_EQ(slurp(temp("a.jsonl")), slurp(temp("b.jsonl")));
  // Time and frames only move forward.
  for (std::size_t i = 1; i < trace.size(); ++i) {
    EXPECT_GE(trace[i].t, trace[i - 1].t);
    EXPECT_GE(trace[i].frame, trace[i - 1].frame);
  }
}

TEST(Cli, UntilEndsTheRunAndKeysEndTheRunningScene) {
  ASSERT_EQ(run("--headless --data " + kData + " --until 10 --trace " + temp("u.jsonl")), 0);
  const auto until = readTrace(temp("u.jsonl"));
  ASSERT_FALSE(until.empty());
  EXPECT_LE(until.back().t, 10.2);
  EXPECT_EQ(sceneOrder(until, "end").back(), "CreditsFadeIn");  // everything ended, in order

  ASSERT_EQ(run("--headless --data " + kData + " --keys 0.05 --until 3 --trace " + temp("k.jsonl")), 0);
  const auto keyed = readTrace(temp("k.jsonl"));
  int keys = 0;
  for (const auto& l : keyed) keys += l.event == "key" ? 1 : 0;
  EXPECT_EQ(keys, 1);
}

TEST(Cli, BadOptionsGiveUsageAndExitCodeTwo) {
  EXPECT_EQ(run("--no-such-option", temp("opt.err")), 2);
  EXPECT_NE(slurp(temp("opt.err")).find("--headless"), std::string::npos);
  EXPECT_EQ(run("--headless --fps banana"), 2);
  EXPECT_EQ(run("--headless --fps 0"), 2);
  EXPECT_EQ(run("--headless --shot nonsense"), 2);
  EXPECT_EQ(run("--headless --keys 1,-2"), 2);
  EXPECT_EQ(run("--help"), 0);
}

TEST(Cli, WithoutADisplayTheWindowModeSaysWhatToDo) {
  EXPECT_EQ(run("--data " + kData, temp("nodisplay.err"), "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER="), 1);
  EXPECT_NE(slurp(temp("nodisplay.err")).find("no display found"), std::string::npos);
  EXPECT_NE(slurp(temp("nodisplay.err")).find("--headless --record FILE"), std::string::npos);
}

class CliData : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = temp("data_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::copy(kData, dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_;
};

TEST_F(CliData, AMissingModuleShowsTheLoadErrorAndExitsWithOne) {
  fs::remove(dir_ + "/" + std::string(tolvarin::data::music.name));
  EXPECT_EQ(run("--headless --data " + dir_, temp("nomusic.err")), 1);
  EXPECT_NE(slurp(temp("nomusic.err")).find("Can't load music\n(error code: 2)"), std::string::npos);
  std::ofstream(dir_ + "/" + std::string(tolvarin::data::music.name)) << "not a module";
  EXPECT_EQ(run("--headless --data " + dir_, temp("badmusic.err")), 1);
  EXPECT_NE(slurp(temp("badmusic.err")).find("Can't load music"), std::string::npos);
}

TEST_F(CliData, AMissingFirstMeshExitsSilentlyWithZero) {
  fs::remove(dir_ + "/" + std::string(tolvarin::data::qxMesh.name));
  EXPECT_EQ(run("--headless --data " + dir_ + " --trace " + temp("nomesh.jsonl"), temp("nomesh.err")), 0);
  EXPECT_EQ(slurp(temp("nomesh.err")), "");
  EXPECT_EQ(slurp(temp("nomesh.jsonl")), "");
}

TEST_F(CliData, MissingPicturesAreWarnedAboutAndTheDemoStillRuns) {
  fs::remove(dir_ + "/" + std::string(tolvarin::data::ojs.name));
  fs::remove(dir_ + "/" + std::string(tolvarin::data::tunel.name));
  EXPECT_EQ(run("--headless --until 5 --data " + dir_, temp("nopics.err")), 0);
  const std::string err = slurp(temp("nopics.err"));
  EXPECT_NE(err.find(tolvarin::data::ojs.name), std::string::npos);
  EXPECT_NE(err.find(tolvarin::data::tunel.name), std::string::npos);
}

}  // namespace

namespace {

TEST(Cli, RecordingHasOneVideoFramePerFrameBoundaryAndTheMusic) {
  if (std::system("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null") != 0) {
    GTEST_SKIP() << "ffmpeg is not installed";
  }
  const std::string video = temp("rec.mkv");
  ASSERT_EQ(run("--headless --data " + kData + " --until 2 --record " + video + " --frame-hashes " +
                temp("rec.hash")),
            0);
  // The last presented frame sits on frame boundary n; the video holds boundaries 0..n.
  std::istringstream hashes(slurp(temp("rec.hash")));
  double lastTime = 0;
  for (std::string line; std::getline(hashes, line);) {
    if (line.rfind('#', 0) != 0) lastTime = std::stod(line.substr(line.find(' ') + 1));
  }
  const long boundaries = std::lround(lastTime * 60) + 1;
  const std::string probe = temp("rec.txt");
  ASSERT_EQ(std::system(("ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames,width "
                         "-of csv=p=0 " + video + " >" + probe)
                            .c_str()),
            0);
  const std::string info = slurp(probe);
  EXPECT_NE(info.find("video,320," + std::to_string(boundaries)), std::string::npos) << info;
  EXPECT_GE(boundaries, 121);  // at least the two seconds asked for
  EXPECT_NE(info.find("audio"), std::string::npos) << info;
  EXPECT_FALSE(fs::exists(video + ".video.mkv"));
  EXPECT_FALSE(fs::exists(video + ".sound.flac"));
}

}  // namespace
