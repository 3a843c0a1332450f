#pragma once
// What the scene tests share: a headless runtime with an open display and a
// scripted music position, the trace of a run read back, and stand-in
// pictures put in place of the demo's.
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "assets/picture.h"
#include "gfx2d/trig_tables.h"
#include "scenes/shared_state.h"
#include "support/headless_runtime.h"

namespace tolvarin::testing {

inline RuntimeConfig keysAt(std::vector<double> keys, std::optional<double> until = std::nullopt) {
  RuntimeConfig c = HeadlessRuntime::virtualConfig();
  c.keyTimes = std::move(keys);
  c.until = until;
  return c;
}

// A running headless demo frame for one scene: musicPosition() reports
// `order` (the row is 0) and the sync callback is wired to syncFlag.
class SceneHarness {
 public:
  explicit SceneHarness(RuntimeConfig config = HeadlessRuntime::virtualConfig()) : h(std::move(config)) {
    h.openDisplay();
    h.runtime.setMusicHandle(7);
    h.audio.position = [this] { return order; };
    h.audio.syncProc = &onMusicSync;
    buildTrigTables();
  }

  // Runs `hook` with the 0-based index of each frame right after it is presented.
  void afterFrame(std::function<void(std::int64_t)> hook) { h.runtime.addPresentHook(std::move(hook)); }
  // Raises a sync right after frame `index` (0-based) is presented.
  void syncAfterFrame(std::int64_t index) {
    afterFrame([index](std::int64_t i) {
      if (i == index) syncFlag = 1;
    });
  }
  // Sets the order right after frame `index` (0-based) is presented.
  void orderAfterFrame(std::int64_t index, std::uint32_t newOrder) {
    afterFrame([this, index, newOrder](std::int64_t i) {
      if (i == index) order = newOrder;
    });
  }
  std::int64_t frames() const { return h.runtime.framesPresented(); }
  // The surface as last presented (the display keeps what was drawn).
  const Pixel* screen() {
    Pixel* p = display().lock();
    display().unlock();
    return p;
  }
  // Lets a key scripted at time 0 become pending before the scene starts.
  void pollOnce() { h.runtime.poll(); }

  HeadlessRuntime h;
  std::uint32_t order = 0;
};

// The --trace of a run, read back: begin and end lines with the frame count
// at the time.
class TraceLog {
 public:
  struct Line {
    std::string event, scene;
    long frame;
  };

  explicit TraceLog(Runtime& runtime)
      : path_(::testing::TempDir() + "/scene_trace_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".jsonl") {
    const bool ok = runtime.tracer().open(path_, [&runtime] {
      return TraceStamp{runtime.now(), runtime.framesPresented(), runtime.musicPositionNow()};
    });
    EXPECT_TRUE(ok);
  }

  std::vector<Line> lines() const {
    static const std::regex re(R"re("frame":(\d+),.*"event":"(\w+)","scene":"([A-Za-z0-9.]*)")re");
    std::vector<Line> out;
    std::ifstream in(path_);
    for (std::string s; std::getline(in, s);) {
      std::smatch m;
      if (std::regex_search(s, m, re)) out.push_back({m[2], m[3], std::stol(m[1])});
    }
    return out;
  }

  // The scenes and phases that began, in order.
  std::vector<std::string> begun() const {
    std::vector<std::string> out;
    for (const auto& l : lines()) {
      if (l.event == "begin") out.push_back(l.scene);
    }
    return out;
  }

  // Frames presented between the first begin and end of `scene`; -1 if absent.
  long framesIn(const std::string& scene) const {
    long begin = -1;
    for (const auto& l : lines()) {
      if (l.scene != scene) continue;
      if (l.event == "begin" && begin < 0) begin = l.frame;
      if (l.event == "end" && begin >= 0) return l.frame - begin;
    }
    return -1;
  }

 private:
  std::string path_;
};

// A picture of the given size filled with one colour, or a fill function of
// the pixel's column and row.
inline Picture makePicture(int width, int height, const std::function<Pixel(int, int)>& fill) {
  Picture p;
  p.width = static_cast<std::uint16_t>(width);
  p.height = static_cast<std::uint16_t>(height);
  p.pixels.reset(new Pixel[static_cast<std::size_t>(width) * height]);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) p.pixels[static_cast<std::size_t>(y) * width + x] = fill(x, y);
  }
  return p;
}
inline Picture makePicture(int width, int height, Pixel colour) {
  return makePicture(width, height, [colour](int, int) { return colour; });
}

// Points every picture global at a picture of its own for the life of the
// object (at first pictures without pixels, as a failed load leaves them)
// and clears them afterwards.
class ScenePictures {
 public:
  ScenePictures() { publish(); }
  ~ScenePictures() {
    for (Picture** global : globals()) *global = nullptr;
  }
  ScenePictures(const ScenePictures&) = delete;
  ScenePictures& operator=(const ScenePictures&) = delete;

  // Gives every picture the same size and fill (e.g. 10x10 to test stand-ins).
  void fillAll(int width, int height, Pixel colour) {
    for (auto& p : owned_) p = makePicture(width, height, colour);
    publish();
  }
  void set(Picture*& global, Picture picture) {
    for (std::size_t i = 0; i < globals().size(); ++i) {
      if (globals()[i] == &global) owned_[i] = std::move(picture);
    }
    publish();
  }
  // Pictures without pixels, as a failed load leaves them.
  void emptyAll() {
    for (auto& p : owned_) p = Picture{};
    publish();
  }
  // Null globals: no picture records at all.
  void clearAll() {
    for (Picture** global : globals()) *global = nullptr;
  }

 private:
  static std::vector<Picture**> globals() {
    return {&imgQxMap1, &imgQx,          &imgQuarnel, &imgHofobia, &imgHofobia2, &imgOjs,  &imgEllas,
            &imgEllasMap, &imgTunel, &imgCreds, &imgWave, &imgAloneFlash, &imgMetal};
  }
  void publish() {
    const auto g = globals();
    for (std::size_t i = 0; i < g.size(); ++i) *g[i] = &owned_[i];
  }
  Picture owned_[13];
};

}  // namespace tolvarin::testing
