// Benchmarks of the scenes: one tunnel frame as the greetings draw it, one
// frame of the logo's zoom phases, and the scenes themselves, each run headless for a stretch of frames with the generated
// pictures and reported per frame ("per_frame"). Compare with BM_MemcpyFrame.
//
// The pictures are read from the data folder beside the benchmark program
// (build/data, written by tolvarin-gen), or from $TOLVARIN_DATA_DIR.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "assets/data_manifest.h"
#include "scenes/light_scenes.h"
#include "app/startup_objects.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/zoom_wrap.h"
#include "gfx2d/trig_tables.h"
#include "platform/display.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "platform/runtime.h"
#include "scenes/greetings.h"
#include "scenes/logo_zoom.h"
#include "scenes/prototype_text.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"
#include "scenes/story_text.h"

namespace {

using namespace tolvarin;

std::filesystem::path dataDir() {
  if (const char* env = std::getenv("TOLVARIN_DATA_DIR")) return env;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path() / "data";
  return "data";
}

// The start-up objects and the three pictures the demo sequence loads, once.
struct DemoObjects {
  DataFiles files{dataDir().string()};
  StartupObjects objects{files};
  Picture wave, alone, metal;
  std::vector<Pixel> scratch = std::vector<Pixel>(kFramePixels), black = std::vector<Pixel>(kFramePixels);
  std::unique_ptr<std::uint8_t[]> distance{new std::uint8_t[kFramePixels]}, angle{new std::uint8_t[kFramePixels]};
  TunnelTables tunnel{240, 320, distance.get(), angle.get()};
  DemoObjects() {
    loadPicture(wave, files, data::wave);
    loadPicture(alone, files, data::alone);
    loadPicture(metal, files, data::metal);
    imgWave = &wave;
    imgAloneFlash = &alone;
    imgMetal = &metal;
    scratchFrame = scratch.data();
    blackFrame = black.data();
    initGlyphTable();
    buildTrigTables();
    buildTunnelTables(tunnel);
  }
};

DemoObjects& demo() {
  static DemoObjects d;
  return d;
}

// Music that stays at one order and never syncs.
class StillMusic final : public AudioLibrary {
 public:
  explicit StillMusic(std::uint32_t order) : order_(order) {}
  std::uint32_t BASS_GetVersion() override { return kBassVersion; }
  bool BASS_Init(int, std::uint32_t, std::uint32_t, void*) override { return true; }
  HMUSIC BASS_MusicLoad(bool, const char*, std::uint32_t, std::uint32_t, std::uint32_t) override { return 1; }
  HSYNC BASS_ChannelSetSync(HMUSIC, std::uint32_t, std::uint32_t, SyncProc) override { return 1; }
  bool BASS_Start() override { return true; }
  bool BASS_MusicPlay(HMUSIC) override { return true; }
  std::uint32_t BASS_ChannelGetPosition(HMUSIC) override { return order_; }
  int BASS_ErrorGetCode() override { return 0; }
  void BASS_Free() override {}
  bool BASS_Stop() override { return true; }

 private:
  std::uint32_t order_;
};

// Runs `scene` on a headless virtual-time runtime at the given order until
// `frames` frames have been presented (then the input ends, which ends the
// scene as a key would), once per iteration.
void runScene(benchmark::State& state, std::uint32_t order, int frames, const std::function<void()>& scene) {
  demo();
  std::int64_t presented = 0;
  for (auto _ : state) {
    RuntimeConfig config;
    config.mode = TimeMode::Virtual;
    Runtime runtime(config, std::make_unique<HeadlessBackend>(), std::make_unique<StillMusic>(order));
    RuntimeScope scope(runtime);
    runtime.setMusicHandle(1);
    runtime.addPresentHook([&runtime, frames](std::int64_t i) {
      if (i + 1 >= frames) runtime.requestClose();
    });
    Display output;
    if (!output.open()) {
      state.SkipWithError("headless output did not open");
      return;
    }
    publishDisplay(&output);
    musicClock().clearSync();
    scene();
    publishDisplay(nullptr);
    presented += runtime.framesPresented();
  }
  state.counters["per_frame"] =
      benchmark::Counter(static_cast<double>(presented), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One tunnel frame as the greetings draw it: the wobble table and the lookup.
void BM_TunnelFrame(benchmark::State& state) {
  DemoObjects& d = demo();
  const Pixel* texture = picturePixels(imgTunel, 256, 256);
  std::int32_t wobble[kWobbleEntries];
  int frameNo = 0;
  for (auto _ : state) {
    ++frameNo;
    greetingsWobble(greetingsAmplitude(frameNo), (4 * frameNo) % 256, wobble);
    drawTunnel(d.tunnel, texture, wobble, (2 * frameNo) % 256, d.scratch.data());
    benchmark::DoNotOptimize(d.scratch.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFrameBytes));
}
BENCHMARK(BM_TunnelFrame);

// A frame of the logo's zoom phases: the logo and its relief zoomed, then lit.
void BM_LogoZoomZoomFrame(benchmark::State& state) {
  demo();
  const Pixel* logo = picturePixels(imgQuarnel, 320, 240);
  const Pixel* relief = picturePixels(imgQxMap1, 320, 240);
  std::vector<Pixel> p(kFramePixels), q(kFramePixels), frame(kFramePixels);
  double z = 1.0;
  int a = 0;
  for (auto _ : state) {
    zoomWrap(logo, p.data(), z);
    zoomWrap(relief, q.data(), z);
    bumpLight(lightOffsetX(a), lightOffsetY((a + 250) % 360), p.data(), frame.data(), q.data(), 0);
    benchmark::DoNotOptimize(frame.data());
    a = (a + 30) % 360;
    z = z > 0.05 ? z - 0.05 : 1.0;
  }
}
BENCHMARK(BM_LogoZoomZoomFrame);

// The scenes themselves, per frame, in the stretch each benchmark names.
void BM_LogoZoomFlyIn(benchmark::State& state) { runScene(state, 0, 64, [] { LogoZoom(); }); }
void BM_LightSweep(benchmark::State& state) {
  runScene(state, 0, 60, [] {
    LightSceneState s;
    LightSweep(s);
  });
}
void BM_CrossfadeSweep(benchmark::State& state) {
  runScene(state, 0, 60, [] {
    LightSceneState s;
    s.fadeBuffer = allocateFrame();
    CrossfadeSweep(s);
  });
}
void BM_RotozoomStrobeZoom(benchmark::State& state) {  // before order 13: no strobe holds
  runScene(state, 0, 60, [] {
    LightSceneState s;
    RotozoomStrobe(s);
  });
}
void BM_StoryTextWhole(benchmark::State& state) {  // the 8 story and 2 credits phases at their minimum
  runScene(state, 22, 8 * 86 + 2 * 256, [] { StoryText(); });
}
void BM_PrototypeText(benchmark::State& state) { runScene(state, 0, 90, [] { PrototypeText(); }); }
void BM_GreetingsWithText(benchmark::State& state) {
  runScene(state, 0, 200, [] { Greetings(demo().tunnel); });
}
BENCHMARK(BM_LogoZoomFlyIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightSweep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossfadeSweep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomStrobeZoom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoryTextWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrototypeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GreetingsWithText)->Unit(benchmark::kMillisecond);

}  // namespace
