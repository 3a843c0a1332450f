#pragma once
// What the scene tests share: a headless runtime with an open display and a
// scripted music position, the trace of a run read back, and stand-in
// pictures put in place of the demo's.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "assets/picture.h"
#include "gfx2d/trig_tables.h"
#include "scenes/shared_state.h"
#include "support/headless_runtime.h"
#include "support/trace_events.h"

namespace tolvarin::testing {

inline RuntimeConfig keysAt(std::vector<double> keys, std::optional<double> until = 60.0) {
  RuntimeConfig c = HeadlessRuntime::virtualConfig();
  c.keyTimes = std::move(keys);
  c.until = until;
  return c;
}

// musicPosition() reports `order`; hooks run right after frame i (0-based) is presented.
struct SceneHarness {
  explicit SceneHarness(RuntimeConfig config = keysAt({})) : h(std::move(config)) {
    h.openDisplay();
    h.runtime.setMusicHandle(7);
    h.audio.position = [this] { return order; };
    buildTrigTables();
  }
  void afterFrame(std::function<void(std::int64_t)> hook) { h.runtime.addPresentHook(std::move(hook)); }
  void syncAfter(std::int64_t frame) {
    afterFrame([frame](std::int64_t i) { if (i == frame) syncFlag = 1; });
  }
  void orderAfter(std::int64_t frame, std::uint32_t to) {
    afterFrame([this, frame, to](std::int64_t i) { if (i == frame) order = to; });
  }
  std::int64_t frames() const { return h.runtime.framesPresented(); }
  const Pixel* screen() {  // the surface keeps the last frame drawn
    Pixel* p = display().lock();
    display().unlock();
    return p;
  }
  void pollOnce() { h.runtime.poll(); }  // a key scripted at 0 s becomes pending

  HeadlessRuntime h;
  std::uint32_t order = 0;
};

// The trace of a run read back: scopes begun, and frames presented inside one.
class TraceLog {
 public:
  explicit TraceLog(Runtime& rt)
      : path_(::testing::TempDir() + "/trace_" + ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() +
              "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    EXPECT_TRUE(rt.tracer().open(path_, [&rt] { return TraceStamp{rt.now(), rt.framesPresented(), 0}; }));
  }
  std::vector<std::string> begun() const {
    std::vector<std::string> out;
    for (const auto& l : lines()) {
      if (l.event == "begin") out.push_back(l.scene);
    }
    return out;
  }
  long framesIn(const std::string& scope) const {
    long begin = -1;
    for (const auto& l : lines()) {
      if (l.scene == scope && l.event == "begin") begin = l.frame;
      if (l.scene == scope && l.event == "end") return l.frame - begin;
    }
    return -1;
  }

 private:
  std::vector<TraceEvent> lines() const {
    std::ifstream in(path_, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const ParsedTrace trace = parseTrace(text);
    EXPECT_TRUE(trace.malformed.empty()) << trace.malformed.size() << " lines are no trace lines";
    return trace.events;
  }
  std::string path_;
};

inline Picture makePicture(int width, int height, Pixel colour) {
  Picture p;
  p.width = static_cast<std::uint16_t>(width);
  p.height = static_cast<std::uint16_t>(height);
  p.pixels.reset(new Pixel[static_cast<std::size_t>(width) * height]);
  std::fill(p.pixels.get(), p.pixels.get() + static_cast<std::size_t>(width) * height, colour);
  return p;
}

// Owns a picture for every picture global while it lives (at first without
// pixels, as a failed load leaves them); the globals are null afterwards.
class ScenePictures {
 public:
  ScenePictures() { emptyAll(); }
  ~ScenePictures() { clearAll(); }
  void set(Picture*& global, Picture picture) {
    for (int i = 0; i < 13; ++i) {
      if (kGlobals[i] == &global) owned_[i] = std::move(picture);
    }
  }
  void fillAll(int width, int height, Pixel colour) {
    for (int i = 0; i < 13; ++i) set(*kGlobals[i], makePicture(width, height, colour));
  }
  void emptyAll() {
    for (int i = 0; i < 13; ++i) {
      owned_[i] = Picture{};
      *kGlobals[i] = &owned_[i];
    }
  }
  void clearAll() {
    for (Picture** global : kGlobals) *global = nullptr;
  }

 private:
  static inline Picture** const kGlobals[13] = {&imgQxMap1, &imgQx,    &imgQuarnel, &imgHofobia, &imgHofobia2,
                                                &imgOjs,    &imgEllas, &imgEllasMap, &imgTunel,  &imgCreds,
                                                &imgWave,   &imgAloneFlash, &imgMetal};
  Picture owned_[13];
};

}  // namespace tolvarin::testing
