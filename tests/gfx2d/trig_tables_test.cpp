// The trigonometric tables and the sine they come from: the same values as
// glibc's sin and cos gave the demo's frames, from arithmetic that gives the
// same bits everywhere.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx2d/exact_sine.h"
#include "gfx2d/trig_tables.h"

namespace tolvarin {
namespace {

TEST(TrigTables, HoldTheSinesAndCosinesOfTheDegreeFactor) {
  buildTrigTables();
  EXPECT_EQ(sinTable[0], 0.0);
  EXPECT_EQ(cosTable[0], 1.0);
  // 0.017453292 falls short of pi/180: 90 degrees has a sine just under 1,
  // and 360 degrees a sine of about -1.9e-7.
  EXPECT_LT(sinTable[90], 1.0);
  EXPECT_GT(sinTable[90], 0.9999999999);
  EXPECT_NEAR(sinTable[360], -1.9e-7, 0.1e-7);
  EXPECT_EQ(sinTable100[90], 99);
  EXPECT_EQ(cosTable100[180], -99);
  EXPECT_EQ(cosTable100[0], 100);
#ifdef __GLIBC__
  // Exactly what the C library gives here, where the frames were pinned.
  for (int i = 0; i < kTrigEntries; ++i) {
    const double a = i * kDegreeFactor;
    ASSERT_EQ(sinTable[i], std::sin(a)) << i;
    ASSERT_EQ(cosTable[i], std::cos(a)) << i;
    ASSERT_EQ(sinTable100[i], static_cast<std::int32_t>(std::sin(a) * 100.0)) << i;
    ASSERT_EQ(cosTable100[i], static_cast<std::int32_t>(std::cos(a) * 100.0)) << i;
  }
  // The greetings' wobble sines.
  for (int i = 0; i < 256; ++i) {
    const double a = static_cast<double>(i) * 0.0122718463046875;
    ASSERT_EQ(exactSin(a), std::sin(a)) << i;
  }
#endif
}

TEST(ExactSine, IsOddAndPeriodicAndExactWhereTheValueIsKnown) {
  EXPECT_EQ(exactSin(0.0), 0.0);
  EXPECT_EQ(exactCos(0.0), 1.0);
  EXPECT_EQ(exactSin(1e-300), 1e-300);
  EXPECT_EQ(exactSin(-1.25), -exactSin(1.25));
  EXPECT_EQ(exactCos(-1.25), exactCos(1.25));
  // Correctly rounded: sin(pi/6) and cos(pi/3) of the doubles nearest those
  // angles are the doubles nearest 1/2, and the rounding never strays from
  // the value's own neighbourhood.
  EXPECT_EQ(exactSin(0.52359877559829882), 0.49999999999999994);
  EXPECT_EQ(exactCos(1.0471975511965976), 0.50000000000000011);
  for (double x = -7.0; x < 7.0; x += 0.001) {
    ASSERT_NEAR(exactSin(x), std::sin(x), 2.3e-16) << x;
    ASSERT_NEAR(exactCos(x), std::cos(x), 2.3e-16) << x;
  }
  EXPECT_TRUE(std::isnan(exactSin(NAN)));
  EXPECT_TRUE(std::isnan(exactCos(INFINITY)));
}

}  // namespace
}  // namespace tolvarin
