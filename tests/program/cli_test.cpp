// The tolvarin program run as a user runs it, headless: the whole sequence
// with the generated data, determinism, the trace, options and bad data.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "support/demo_scenes.h"
#include "support/program_run.h"

namespace tolvarin::testing {
namespace {

namespace fs = std::filesystem;

const Program kProgram = Program::native();
const std::string kData = dataFolder();

TEST(Cli, TheWholeDemoRunsHeadlessToTheEndTheSameWayTwice) {
  const RunOptions all = kTrace | kFrameHashes | kWav;
  const ProgramRun a = kProgram.headless({}, all);
  const ProgramRun b = kProgram.headless({}, all);
  ASSERT_EQ(a.exitCode, 0) << a.err;
  ASSERT_EQ(b.exitCode, 0) << b.err;
  EXPECT_EQ(a.err, "") << "a headless run with no terminal to show progress on says nothing";
  EXPECT_TRUE(a.trace.malformed.empty());
  EXPECT_EQ(sceneOrder(a.events(), "begin"), demoScenes());
  EXPECT_EQ(sceneOrder(a.events(), "end"), demoScenes());
  EXPECT_FALSE(a.frames.empty());
  EXPECT_EQ(a.frames, b.frames);
  EXPECT_FALSE(a.wav.empty());
  EXPECT_EQ(readFile(a.path("music.wav")), readFile(b.path("music.wav")));
  EXPECT_EQ(readFile(a.path("trace.jsonl")), readFile(b.path("trace.jsonl")));
  // Time and frames only move forward.
  const auto& trace = a.events();
  for (std::size_t i = 1; i < trace.size(); ++i) {
    EXPECT_GE(trace[i].t, trace[i - 1].t);
    EXPECT_GE(trace[i].frame, trace[i - 1].frame);
  }
}

TEST(Cli, UntilEndsTheRunAndKeysEndTheRunningScene) {
  const ProgramRun until = kProgram.headless({"--until", "10"}, kTrace);
  ASSERT_EQ(until.exitCode, 0);
  ASSERT_FALSE(until.events().empty());
  EXPECT_LE(until.events().back().t, 10.2);
  EXPECT_EQ(sceneOrder(until.events(), "end").back(), demoScenes().back());  // everything ended, in order

  const ProgramRun keyed = kProgram.headless({"--keys", "0.05", "--until", "3"}, kTrace);
  ASSERT_EQ(keyed.exitCode, 0);
  EXPECT_EQ(countEvents(keyed.events(), "key"), 1);
}

TEST(Cli, BadOptionsGiveUsageAndExitCodeTwo) {
  const ProgramRun unknown = kProgram.run({"--no-such-option"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("--headless"), std::string::npos);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--fps", "banana"}, {"--fps", "0"}, {"--shot", "nonsense"}, {"--keys", "1,-2"}}) {
    SCOPED_TRACE(bad[0] + " " + bad[1]);
    EXPECT_EQ(kProgram.headless(bad).exitCode, 2);
  }
  EXPECT_EQ(kProgram.run({"--help"}).exitCode, 0);
}

TEST(Cli, CalmModeIsWarnedOfAndAStartPointInItShowsWhatAWholeRunShows) {
  const ProgramRun help = kProgram.run({"--help"});
  EXPECT_NE(help.out.find("contains flashing images"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("--calm"), std::string::npos);

  // The strobe, calm, from the beginning and from a start point inside it:
  // the filter has seen the frames before the start point, so both show the same.
  const ProgramRun whole = kProgram.headless({"--calm", "--until", "48"}, kFrameHashes);
  const ProgramRun started = kProgram.headless({"--calm", "--start", "46.5s", "--until", "48"}, kFrameHashes);
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  ASSERT_EQ(started.exitCode, 0) << started.err;
  ASSERT_GT(started.frames.size(), 10u);
  std::vector<FrameLine> tail;
  for (const FrameLine& f : whole.frames) {
    if (f.seconds() >= started.frames.front().seconds()) tail.push_back(f);
  }
  EXPECT_EQ(tail, started.frames);

  // The report, to stdout; a report that cannot be written stops the run.
  const ProgramRun report = kProgram.headless({"--until", "2", "--flash-report", "-"});
  EXPECT_EQ(report.exitCode, 0);
  EXPECT_NE(report.out.find("\nseconds over 3: 0\n"), std::string::npos) << report.out;
  const ProgramRun unwritable = kProgram.headless({"--until", "2", "--flash-report", "/nonexistent/flashes.txt"});
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("cannot write /nonexistent/flashes.txt"), std::string::npos) << unwritable.err;
}

TEST(Cli, WithoutADisplayTheWindowModeSaysWhatToDo) {
  const ProgramRun run =
      kProgram.run({"--data", kData}, RunOptions().withEnvironment({"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER="}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("no display found"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--headless --record FILE"), std::string::npos) << run.err;
}

class CliData : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = freshFolder("data");
    fs::remove(dir_);
    fs::copy(kData, dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  ProgramRun runOn(std::vector<std::string> args, const RunOptions& options = {}) {
    args.insert(args.begin(), {"--headless", "--data", dir_});
    return kProgram.run(args, options);
  }
  std::string dir_;
};

TEST_F(CliData, AMissingModuleShowsTheLoadErrorAndExitsWithOne) {
  fs::remove(dir_ + "/" + std::string(data::music.name));
  const ProgramRun missing = runOn({});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Can't load music\n(error code: 2)"), std::string::npos) << missing.err;
  std::ofstream(dir_ + "/" + std::string(data::music.name)) << "not a module";
  const ProgramRun bad = runOn({});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("Can't load music"), std::string::npos) << bad.err;
}

TEST_F(CliData, AMissingFirstMeshExitsSilentlyWithZero) {
  fs::remove(dir_ + "/" + std::string(data::qxMesh.name));
  const ProgramRun run = runOn({}, kTrace);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(run.path("trace.jsonl")), "");
}

TEST_F(CliData, MissingPicturesAreWarnedAboutAndTheDemoStillRuns) {
  fs::remove(dir_ + "/" + std::string(data::ojs.name));
  fs::remove(dir_ + "/" + std::string(data::tunel.name));
  const ProgramRun run = runOn({"--until", "5"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find(data::ojs.name), std::string::npos);
  EXPECT_NE(run.err.find(data::tunel.name), std::string::npos);
}

TEST(Cli, RecordingHasOneVideoFramePerFrameBoundaryAndTheMusic) {
  if (!haveProgram("ffmpeg") || !haveProgram("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
  const std::string folder = freshFolder("record");
  const std::string video = folder + "/rec.mkv";
  const ProgramRun run = kProgram.headless({"--until", "2", "--record", video}, kFrameHashes);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The last presented frame sits on frame boundary n; the video holds boundaries 0..n.
  ASSERT_FALSE(run.frames.empty());
  const long boundaries = std::lround(run.frames.back().seconds() * 60) + 1;
  const std::string info = runCommand(
      "ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames,width -of csv=p=0 '" + video +
      "'");
  EXPECT_NE(info.find("video,320," + std::to_string(boundaries)), std::string::npos) << info;
  EXPECT_GE(boundaries, 121);  // at least the two seconds asked for
  EXPECT_NE(info.find("audio"), std::string::npos) << info;
  EXPECT_FALSE(fs::exists(video + ".video.mkv"));
  EXPECT_FALSE(fs::exists(video + ".sound.flac"));
}

}  // namespace
}  // namespace tolvarin::testing
