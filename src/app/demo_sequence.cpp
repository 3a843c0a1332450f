#include "app/demo_sequence.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/startup_objects.h"
#include "assets/bitmap_font.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/trig_tables.h"
#include "platform/display.h"
#include "platform/music.h"
#include "platform/music_clock.h"
#include "platform/runtime.h"
#include "platform/trace.h"
#include "scenes/credits_fade_in.h"
#include "scenes/greetings.h"
#include "scenes/light_scenes.h"
#include "scenes/logo_zoom.h"
#include "scenes/prototype_text.h"
#include "scenes/scene3d.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"
#include "scenes/still_picture.h"
#include "scenes/story_text.h"

namespace tolvarin {
namespace {

// What the sequence does after a scene returns. The closing picture of a
// looping run that is not the last pass holds instead of waiting for a key.
enum class After { ClearSync, ConsumeKey, WaitForSyncOrKey, ReadKey };

// What a scene's routine gets from the pass that plays it: the light scenes
// share their angles and buffers, the greetings their tunnel tables.
struct Pass {
  LightSceneState light;
  const TunnelTables& tunnel;
};

struct SequenceStep {
  int number;
  std::string_view scene;  // the name the trace gives it
  void (*run)(Pass&);
  std::vector<After> after;
  // The still picture is no routine of its own: its trace scope is opened
  // here and spans the steps after it, the time the picture is on screen.
  bool tracedHere = false;
};

// The scene list: each scene, then what the sequence does after it. Each
// light buffer is allocated just before the first scene that uses it.
const std::vector<SequenceStep>& sequenceSteps() {
  using enum After;
  static const std::vector<SequenceStep> steps{
      {1, "LogoZoom", [](Pass&) { LogoZoom(); }, {ClearSync, ConsumeKey}},
      {2, "LightSweep", [](Pass& p) { LightSweep(p.light); }, {ConsumeKey, ClearSync}},
      {3, "CrossfadeSweep",
       [](Pass& p) {
         p.light.fadeBuffer = allocateFrame();
         CrossfadeSweep(p.light);
       },
       {ClearSync, ConsumeKey}},
      {4, "RotozoomStrobe",
       [](Pass& p) {
         p.light.zoomBase = allocateFrame();
         p.light.zoomMap = allocateFrame();
         RotozoomStrobe(p.light);
       },
       {ConsumeKey}},
      {5, "StillPicture", [](Pass&) { StillPicture(); }, {WaitForSyncOrKey, ConsumeKey, ClearSync, ConsumeKey}, true},
      {6, "StoryText", [](Pass&) { StoryText(); }, {ConsumeKey, ClearSync}},
      {7, "Scene3D", [](Pass&) { Scene3D(); }, {ConsumeKey, ClearSync}},
      {8, "PrototypeText", [](Pass&) { PrototypeText(); }, {ConsumeKey, ClearSync}},
      {9, "Greetings", [](Pass& p) { Greetings(p.tunnel); }, {ClearSync}},
      {10, "CreditsFadeIn", [](Pass&) { CreditsFadeIn(); }, {ReadKey}},
  };
  return steps;
}

void perform(After step) {
  switch (step) {
    case After::ClearSync: musicClock().clearSync(); break;
    case After::ConsumeKey: consumeKey(); break;
    case After::WaitForSyncOrKey: waitForSyncOrKey(); break;
    case After::ReadKey: display().readKey(); break;
  }
}

// Clears the shared pointers to buffers this routine owns when it returns.
struct SequenceGlobals {
  ~SequenceGlobals() {
    scratchFrame = blackFrame = nullptr;
    imgWave = imgAloneFlash = imgMetal = nullptr;
    publishDisplay(nullptr);
  }
};

// Whether another pass follows the one that ends now: the closing picture
// holds until a key or the end of the music. False when the input ended.
bool holdForNextPass() { return runtime().holdUntilKeyOrMusicEnd(); }

}  // namespace

std::vector<std::string_view> sceneNames() {
  std::vector<std::string_view> names;
  for (const SequenceStep& step : sequenceSteps()) names.push_back(step.scene);
  return names;
}

int demoSequence(const DataFiles& data, const SequenceOptions& options) {
  SequenceGlobals globals;
  FrameBuffer scratch = allocateFrame();
  scratchFrame = scratch.get();
  musicClock().clearSync();

  Display output;
  if (!output.open()) {
    std::fprintf(stderr, "tolvarin: cannot open the output\n");
    return 1;
  }
  publishDisplay(&output);

  FrameBuffer black = allocateFrame();
  fillFrame(black.get(), 0);
  blackFrame = black.get();

  Picture wave, alone, metal;
  loadPicture(wave, data, data::wave);
  loadPicture(alone, data, data::alone);
  loadPicture(metal, data, data::metal);
  imgWave = &wave;
  imgAloneFlash = &alone;
  imgMetal = &metal;

  initGlyphTable();

  // The first mesh that fails ends the program at once, silently; the later
  // ones are not tried.
  if (!meshQx->load(data.path(data::qxMesh.name).c_str()) ||
      !meshEsfera->load(data.path(data::esferaMesh.name).c_str()) ||
      !meshColumna->load(data.path(data::columnaMesh.name).c_str())) {
    return 0;
  }

  auto distance = std::make_unique<std::uint8_t[]>(kFramePixels);
  auto angle = std::make_unique<std::uint8_t[]>(kFramePixels);
  TunnelTables tunnel{240, 320, distance.get(), angle.get()};
  buildTunnelTables(tunnel);

  const std::string module = data.path(data::music.name);
  if (!startMusic(module.c_str())) {
    stopMusic();
    output.close();
    return 1;
  }
  if (options.startTime) {
    const double end = runtime().audio().musicEndsAt().value_or(0.0);
    if (*options.startTime > end) {
      std::fprintf(stderr, "--start: %.3f s lies past the end of the demo's music (%.3f s)\n%s", *options.startTime,
                   end, options.usage.c_str());
      stopMusic();
      output.close();
      return 2;
    }
  }
  buildTrigTables();

  for (int pass = 1;; ++pass) {
    const bool lastPass = options.passes != 0 && pass >= options.passes;
    runtime().setMusicEndsInput(lastPass);

    // Nothing is drawn before the first sync of the music (or a key).
    waitForSyncOrKey();
    consumeKey();

    Pass state{{}, tunnel};
    bool goOn = !lastPass;
    for (const SequenceStep& step : sequenceSteps()) {
      if (pass == 1 && step.number == options.startStep) runtime().startOutput();
      std::optional<TraceScope> scope;
      if (step.tracedHere) scope.emplace(step.scene);
      step.run(state);
      for (After after : step.after) {
        if (after == After::ReadKey && !lastPass) {
          goOn = holdForNextPass();
        } else {
          perform(after);
        }
      }
    }
    if (!goOn) break;

    // Another pass: the music from the start, on a whole second of virtual
    // time so that every pass draws the same frames as the first.
    stopMusic();
    runtime().advanceToWholeSecond();
    runtime().beginPass();
    musicClock().clearSync();
    if (!startMusic(module.c_str())) {
      stopMusic();
      output.close();
      return 1;
    }
  }

  output.close();
  stopMusic();
  return 0;
}

}  // namespace tolvarin
