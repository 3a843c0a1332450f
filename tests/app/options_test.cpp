// The option parser's reading of --start: a scene by name (any case), a step
// number, or a demo time.
#include <gtest/gtest.h>

#include "app/options.h"

namespace tolvarin {
namespace {

TEST(ViewerOptions, StartNamesStepsAndTimes) {
  StartPoint p;
  EXPECT_EQ(parseStart("Scene3D", p), "");
  EXPECT_EQ(p.step, 7);
  EXPECT_EQ(parseStart("creditsfadein", p), "");
  EXPECT_EQ(p.step, 10);
  EXPECT_EQ(parseStart("1", p), "");
  EXPECT_EQ(p.step, 1);
  EXPECT_EQ(parseStart("90s", p), "");
  EXPECT_EQ(p.step, 0);
  EXPECT_DOUBLE_EQ(p.time, 90.0);
  EXPECT_EQ(parseStart("12.25", p), "");
  EXPECT_DOUBLE_EQ(p.time, 12.25);
  EXPECT_NE(parseStart("12", p), "");  // a step number that does not exist, not a time
  EXPECT_NE(parseStart("Scene", p), "");
  EXPECT_NE(parseStart("", p), "");
  EXPECT_NE(parseStart("nans", p), "");
}

}  // namespace
}  // namespace tolvarin
