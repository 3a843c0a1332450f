// What the output options do to a whole run: --volume scales the sound and
// nothing else, --av-offset moves the music's signals and not the sound,
// --record with --record-scale makes the .mp4 it promises, and an output
// that cannot be made stops the run with a message that names it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "audio/module_renderer.h"
#include "support/program_run.h"

namespace tolvarin::testing {
namespace {

namespace fs = std::filesystem;

const Program kProgram = Program::native();

// Largest difference of two sounds over the samples both have.
int largestDifference(const Pcm& a, const Pcm& b) {
  int most = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

TEST(Outputs, VolumeFiftyHalvesEverySampleAndChangesNothingElse) {
  const RunOptions outputs = kTrace | kFrameHashes | kWav;
  const ProgramRun full = kProgram.headless({"--until", "10"}, outputs);
  const ProgramRun half = kProgram.headless({"--until", "10", "--volume", "50"}, outputs);
  ASSERT_EQ(full.exitCode, 0) << full.err;
  ASSERT_EQ(half.exitCode, 0) << half.err;
  ASSERT_EQ(half.wav.size(), full.wav.size());
  ASSERT_GT(levels(full.wav).peak, 8000) << "the music plays";
  std::size_t off = 0;
  for (std::size_t i = 0; i < full.wav.size(); ++i) {
    // Halved and rounded towards zero: at most one step from exactly half.
    off += std::abs(2 * half.wav[i] - full.wav[i]) > 1 ? 1 : 0;
  }
  EXPECT_EQ(off, 0u) << "samples not halved";
  EXPECT_EQ(half.frames, full.frames);
  EXPECT_EQ(readFile(half.path("trace.jsonl")), readFile(full.path("trace.jsonl")));
}

// The samples at which the module's marker rows begin, as the player renders it.
std::vector<double> markerSeconds() {
  ModuleRenderer r;
  EXPECT_EQ(r.load(dataFolder() + "/" + std::string(data::music.name)), 0);
  std::vector<std::int16_t> buffer(2 * 8192);
  std::vector<MusicEvent> events;
  std::vector<double> out;
  while (r.render(buffer.data(), 8192, events) == 8192 && out.size() < 64) {
    for (const MusicEvent& e : events) {
      if (e.marker) out.push_back(static_cast<double>(e.sample) / ModuleRenderer::kSampleRate);
    }
    events.clear();
  }
  return out;
}

TEST(Outputs, AvOffsetMovesEverySyncByTheOffsetAndLeavesTheSound) {
  // In virtual time the music starts at demo time 0 and a marker row's sync
  // is due at its first sample's time plus the offset; the runtime delivers
  // it at the first step of the clock that reaches that time (a frame, 1/fps,
  // or a 1 ms poll), never before, and at once when it is due before 0.
  const std::vector<double> markers = markerSeconds();
  ASSERT_GE(markers.size(), 6u);
  const int fps = 60;
  const ProgramRun plain = kProgram.headless({"--fps", "60", "--until", "30"}, kTrace | kWav);
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  for (const int offsetMs : {0, 40, -120}) {
    SCOPED_TRACE("--av-offset " + std::to_string(offsetMs));
    const ProgramRun run = kProgram.headless(
        {"--fps", std::to_string(fps), "--until", "30", "--av-offset", std::to_string(offsetMs)},
        kTrace | kWav);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<TraceEvent> syncs;
    for (const TraceEvent& e : run.events()) {
      if (e.event == "sync") syncs.push_back(e);
    }
    ASSERT_GE(syncs.size(), 5u);
    // The trace rounds to the millisecond; a row is stamped at the end of the
    // renderer's chunk that reaches it, and the program cuts its rendering
    // into other pieces than markerSeconds() does.
    const double slack = 0.0005 + static_cast<double>(ModuleRenderer::kChunkFrames) / ModuleRenderer::kSampleRate;
    for (std::size_t k = 0; k < syncs.size(); ++k) {
      const double due = markers[k] + offsetMs / 1000.0;
      EXPECT_GE(syncs[k].t, due - slack) << "sync " << k << " came early";
      EXPECT_LE(syncs[k].t, std::max(due, 0.0) + 1.0 / fps + 0.001 + slack) << "sync " << k << " came late";
    }
    // The sound is the music's own, not shifted: the same but for rounding
    // (rendering ahead for an earlier offset cuts it into other pieces).
    ASSERT_GE(run.wav.size(), plain.wav.size());
    EXPECT_LE(largestDifference(run.wav, plain.wav), 1);
  }
}

TEST(Outputs, RecordScaleEnlargesTheMp4) {
  if (!haveProgram("ffmpeg") || !haveProgram("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
  const std::string video = freshFolder("record") + "/demo.mp4";
  const ProgramRun run = kProgram.headless({"--until", "2", "--record", video, "--record-scale", "2"},
                                           kFrameHashes);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_FALSE(run.frames.empty());
  // One video frame per 60 fps boundary from 0 to the last frame shown.
  const long boundaries = std::lround(run.frames.back().seconds() * 60) + 1;
  std::istringstream info(runCommand("ffprobe -v error -show_entries stream=codec_name,width,height,duration,nb_frames "
                                     "-of csv=p=0 '" + video + "'"));
  std::string videoLine, audioLine;
  std::getline(info, videoLine);
  std::getline(info, audioLine);
  EXPECT_EQ(videoLine.rfind("h264,640,480,", 0), 0u) << videoLine;
  EXPECT_EQ(videoLine.substr(videoLine.rfind(',') + 1), std::to_string(boundaries)) << videoLine;  // nb_frames
  ASSERT_EQ(audioLine.rfind("aac,", 0), 0u) << audioLine;
  // The sound lasts as long as the picture, to within one AAC frame.
  const double audioSeconds = std::stod(audioLine.substr(4));
  EXPECT_NEAR(audioSeconds, boundaries / 60.0, 1024.0 / 44100 + 1.0 / 60) << audioLine;
  EXPECT_EQ(fs::directory_iterator(fs::path(video).parent_path())->path(), fs::path(video)) << "one file only";
}

TEST(Outputs, AnOutputThatCannotBeMadeEndsTheRunWithOneLineNamingIt) {
  const std::string nowhere = freshFolder("nowhere") + "/no such folder";
  struct Case {
    std::string option, file, message;
  };
  for (const Case& c : {Case{"--wav", "music.wav", "tolvarin: cannot write "},
                        Case{"--trace", "trace.jsonl", "tolvarin: cannot write the trace "},
                        Case{"--frame-hashes", "frames.txt", "tolvarin: cannot write "}}) {
    SCOPED_TRACE(c.option);
    const std::string path = nowhere + "/" + c.file;
    const ProgramRun run = kProgram.headless({"--until", "1", c.option, path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, c.message + path + "\n");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(fs::exists(nowhere));

  // Recording with no ffmpeg on the PATH: said once, nothing left behind.
  const std::string emptyPath = freshFolder("no_ffmpeg");
  const std::string folder = freshFolder("record");
  for (const char* name : {"demo.mp4", "demo.mkv"}) {
    SCOPED_TRACE(name);
    const ProgramRun run =
        kProgram.headless({"--until", "1", "--record", folder + "/" + name}, RunOptions().withEnvironment({"PATH=" + emptyPath}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "tolvarin: recording needs the ffmpeg program, which could not be started (is it installed and on the "
              "PATH?)\n");
    EXPECT_TRUE(fs::is_empty(folder));
  }
}

}  // namespace
}  // namespace tolvarin::testing
