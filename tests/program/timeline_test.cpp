// The whole demo with its generated music, run headless at 30, 60 and 144
// frames a second with no keys: every scene begins and ends in order, each
// ends by its own music rule (the order and the syncs on its end line), the
// music outlasts the closing picture, and at 60 fps every scene lasts as
// long as the music was composed for. The 60 fps run's sound (--wav) is
// checked as heard: loudness, headroom and no gaps.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "audio/module_renderer.h"
#include "support/demo_scenes.h"
#include "support/program_run.h"
#include "tools/music/audio_checks.h"

namespace tolvarin {
namespace {

using testing::TraceEvent;
using TraceLine = TraceEvent;

const std::string kData = testing::dataFolder();
const std::vector<std::string> kScenes = testing::demoScenes();

// One scene or phase: its begin and end lines and the syncs that reached it.
struct Span {
  TraceLine begin, end;
  std::vector<TraceLine> syncs;
  double length() const { return end.t - begin.t; }
  long frames() const { return end.frame - begin.frame; }
};

struct DemoRun {
  int exitCode = -1;
  std::map<std::string, Span> spans;  // by scene or phase name; the first of repeated phases
  std::vector<std::string> order;     // top-level scenes in the order they began
  std::vector<TraceLine> syncs;
  int keys = 0;
  testing::Pcm wav;
  std::string wavPath;
};

DemoRun runDemo(int fps, bool wav = false) {
  DemoRun run;
  const testing::ProgramRun program =
      testing::Program::native().headless({"--fps", std::to_string(fps)}, wav ? testing::kTrace | testing::kWav : testing::kTrace);
  run.exitCode = program.exitCode;
  run.wav = program.wav;
  run.wavPath = program.path("music.wav");
  EXPECT_TRUE(program.trace.malformed.empty()) << program.trace.malformed.front();
  std::map<std::string, TraceLine> open;
  for (const TraceLine& l : program.events()) {
    if (l.event == "key") ++run.keys;
    if (l.event == "sync") {
      run.syncs.push_back(l);
      for (auto& [name, span] : run.spans) {
        if (open.count(name) != 0) span.syncs.push_back(l);
      }
    }
    if (l.event == "begin") {
      open[l.scene] = l;
      if (run.spans.count(l.scene) == 0) run.spans[l.scene].begin = l;
      if (l.scene.find('.') == std::string::npos) run.order.push_back(l.scene);
    }
    if (l.event == "end" && open.count(l.scene) != 0) {
      open.erase(l.scene);
      if (run.spans[l.scene].end.event.empty()) run.spans[l.scene].end = l;
    }
  }
  return run;
}

// Seconds the module plays, as the program's player renders it.
double musicSeconds() {
  ModuleRenderer r;
  EXPECT_EQ(r.load(kData + "/" + std::string(data::music.name)), 0);
  std::vector<std::int16_t> buffer(2 * 8192);
  std::vector<MusicEvent> events;
  while (r.render(buffer.data(), 8192, events) == 8192) {
  }
  return static_cast<double>(r.samplesRendered()) / ModuleRenderer::kSampleRate;
}

// The scenes' end rules, read from the trace.
void expectMusicRules(const DemoRun& run, double musicEnd) {
  const auto& s = run.spans;
  ASSERT_FALSE(run.syncs.empty());
  EXPECT_LE(run.syncs.front().t, s.at("LogoZoom").begin.t) << "the first picture waits for the first sync";

  // LogoZoom: two syncs and 64 frames before the zooms, a sync for the zoom
  // out, 64 frames of cross-fade; each step on an odd order.
  const Span& p1 = s.at("LogoZoom.phase1");
  EXPECT_GE(p1.syncs.size(), 2u);
  EXPECT_GE(p1.frames(), 64);
  EXPECT_EQ(p1.end.order % 2, 1);
  EXPECT_GE(s.at("LogoZoom.phase2").syncs.size() + s.at("LogoZoom.phase3").syncs.size(), 1u);
  EXPECT_EQ(s.at("LogoZoom.phase3").end.order % 2, 1);
  EXPECT_GE(s.at("LogoZoom.phase4").frames(), 64);
  EXPECT_EQ(s.at("LogoZoom").end.order % 2, 1);

  // LightSweep: exactly one sync, then an odd order.
  EXPECT_EQ(s.at("LightSweep").syncs.size(), 1u);
  EXPECT_EQ(s.at("LightSweep").end.order % 2, 1);
  // CrossfadeSweep: a sync, then an odd order.
  ASSERT_GE(s.at("CrossfadeSweep").syncs.size(), 1u);
  EXPECT_EQ(s.at("CrossfadeSweep").end.order % 2, 1);
  // RotozoomStrobe: the strobe from order 13, the end at order 19; no sync
  // on the way (it would cut the still picture short).
  EXPECT_EQ(s.at("RotozoomStrobe.strobe").begin.order, 13);
  EXPECT_EQ(s.at("RotozoomStrobe").end.order, 19);
  EXPECT_TRUE(s.at("RotozoomStrobe").syncs.empty());
  // The still picture: held until the next sync.
  ASSERT_EQ(s.at("StillPicture").syncs.size(), 1u);
  EXPECT_LT(s.at("StillPicture").end.t - s.at("StillPicture").syncs[0].t, 0.01);
  // StoryText: its phases wait for orders 19, 20, 21, 22, then a sync.
  for (int phase = 1; phase <= 8; ++phase) {
    const Span& p = s.at("StoryText.phase" + std::to_string(phase));
    EXPECT_GE(p.frames(), 86) << "phase " << phase;
    EXPECT_GE(p.end.order, phase <= 4 ? 19 : phase <= 7 ? 20 : 21) << "phase " << phase;
  }
  EXPECT_GE(s.at("StoryText.creditsA").end.order, 21);
  EXPECT_GE(s.at("StoryText.creditsB").end.order, 22);
  EXPECT_GE(s.at("StoryText.creditsB").frames(), 256);
  EXPECT_GE(s.at("StoryText").syncs.size(), 1u);
  // Scene3D: four syncs, then two; PrototypeText: two. Each ends on the
  // frame of its last sync.
  ASSERT_EQ(s.at("Scene3D.phase1").syncs.size(), 4u);
  ASSERT_EQ(s.at("Scene3D.phase2").syncs.size(), 2u);
  EXPECT_LT(s.at("Scene3D").end.t - s.at("Scene3D.phase2").syncs.back().t, 0.05);
  ASSERT_EQ(s.at("PrototypeText").syncs.size(), 2u);
  EXPECT_LT(s.at("PrototypeText").end.t - s.at("PrototypeText").syncs.back().t, 0.05);
  // Greetings: 800 frames, then two syncs or order 44.
  const Span& greetings = s.at("Greetings");
  EXPECT_GE(greetings.frames(), 800);
  int late = 0;
  for (const TraceLine& l : greetings.syncs) late += l.frame >= greetings.begin.frame + 800 ? 1 : 0;
  EXPECT_TRUE(greetings.end.order >= 44 || late >= 2) << "order " << greetings.end.order << ", syncs " << late;
  // The closing picture fades in completely while the music still plays.
  EXPECT_EQ(s.at("CreditsFadeIn").frames(), 255);
  EXPECT_LT(s.at("CreditsFadeIn").end.t, musicEnd);
}

class Timeline : public ::testing::TestWithParam<int> {};

TEST_P(Timeline, EverySceneEndsByItsMusicRule) {
  const int fps = GetParam();
  const DemoRun run = runDemo(fps);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.keys, 0);
  ASSERT_EQ(run.order, kScenes);
  for (const std::string& scene : kScenes) {
    ASSERT_FALSE(run.spans.at(scene).end.event.empty()) << scene << " never ended";
  }
  expectMusicRules(run, run.syncs.front().t + musicSeconds());
}

INSTANTIATE_TEST_SUITE_P(FrameRates, Timeline, ::testing::Values(30, 60, 144),
                         [](const auto& p) { return std::to_string(p.param) + "fps"; });

TEST(Timeline60, ScenesLastWhatTheMusicWasComposedFor) {
  const DemoRun run = runDemo(60, true);
  ASSERT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.order, kScenes);
  const auto& s = run.spans;
  struct Window {
    const char* scene;
    double low, high;
  };
  for (const Window& w : {Window{"LogoZoom", 9, 14}, Window{"LightSweep", 3, 6}, Window{"CrossfadeSweep", 4, 8},
                          Window{"RotozoomStrobe", 20, 35}, Window{"StillPicture", 1, 3}, Window{"StoryText", 30, 45},
                          Window{"Scene3D", 12, 20}, Window{"Scene3D.phase1", 3, 20}, Window{"PrototypeText", 6, 10},
                          Window{"Greetings", 15, 22}}) {
    EXPECT_GE(s.at(w.scene).length(), w.low) << w.scene;
    EXPECT_LE(s.at(w.scene).length(), w.high) << w.scene;
  }
  EXPECT_LT(run.syncs.front().t, 0.5) << "the first picture";
  const double strobe = s.at("RotozoomStrobe").end.t - s.at("RotozoomStrobe.strobe").begin.t;
  EXPECT_GE(strobe, 6.0);
  EXPECT_LE(strobe, 12.0);
  const double musicEnd = run.syncs.front().t + musicSeconds();
  const double outro = musicEnd - s.at("CreditsFadeIn").end.t;
  EXPECT_GE(outro, 8.0);
  EXPECT_LE(outro, 20.0);
  EXPECT_GE(musicEnd, 150.0);
  EXPECT_LE(musicEnd, 210.0);

  // The music as heard.
  const testing::Pcm& pcm = run.wav;
  ASSERT_FALSE(pcm.empty());
  const auto heard = testing::levels(pcm, run.syncs.front().t, musicEnd - 1.0);
  EXPECT_EQ(testing::levels(pcm).clipped, 0);
  EXPECT_LT(heard.peak, 29205) << "peaks below -1 dBFS";
  EXPECT_LT(heard.longestQuiet, 1.0);
  if (const auto lufs = testing::integratedLoudness(run.wavPath)) {
    EXPECT_GE(*lufs, -16.0);
    EXPECT_LE(*lufs, -10.0);
  } else {
    std::printf("ffmpeg is not installed: loudness not measured\n");
  }
}

}  // namespace
}  // namespace tolvarin
