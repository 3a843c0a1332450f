// Screenshots show what the screen showed at their time.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/frame_sinks.h"

namespace tolvarin {
namespace {

std::vector<Pixel> frameOf(Pixel value) { return std::vector<Pixel>(kFramePixels, value); }

TEST(ScreenshotSink, EachShotGetsTheLastFramePresentedAtOrBeforeItsTime) {
  std::map<std::string, Pixel> written;
  ScreenshotSink sink({{0.5, "b"}, {0.0, "a"}, {1.0, "c"}, {1.5, "d"}, {9.0, "late"}},
                      [&](const std::string& path, const Pixel* frame) {
                        written[path] = frame[0];
                        return true;
                      });
  const auto f1 = frameOf(1), f2 = frameOf(2), f3 = frameOf(3);
  sink.frame(f1.data(), 0, 0.25);  // shot "a" at 0.0 came before any frame: black
  sink.frame(f2.data(), 1, 1.0);   // "b" at 0.5 shows frame 1; "c" at 1.0 is this frame's
  sink.frame(f3.data(), 2, 1.25);
  EXPECT_TRUE(sink.finish(2.0));   // "d" at 1.5 shows the last frame; "late" is past the end
  EXPECT_EQ(written, (std::map<std::string, Pixel>{{"a", 0u}, {"b", 1u}, {"c", 2u}, {"d", 3u}}));
}

TEST(ScreenshotSink, AFailedWriteFailsTheRun) {
  ScreenshotSink sink({{0.0, "x"}}, [](const std::string&, const Pixel*) { return false; });
  const auto f = frameOf(5);
  sink.frame(f.data(), 0, 0.1);
  EXPECT_FALSE(sink.finish(1.0));
}

TEST(FrameHash, DependsOnEveryPixel) {
  auto a = frameOf(0x00102030);
  const std::uint64_t h = frameHash(a.data());
  EXPECT_EQ(frameHash(a.data()), h);
  a[kFramePixels - 1] ^= 1;
  EXPECT_NE(frameHash(a.data()), h);
}

}  // namespace
}  // namespace tolvarin
