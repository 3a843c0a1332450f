// The integer emulation of the extended-precision product: on a machine
// whose long double is the x87 format it must match long double exactly,
// and everywhere it must give the pinned results of hard cases.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>

#include "gfx2d/extended_product.h"

namespace tolvarin {
namespace {

using detail::truncatedExtendedProduct;

TEST(ExtendedProduct, RoundsTo64BitsBeforeTruncating) {
  EXPECT_EQ(truncatedExtendedProduct(1.0 - 0x1p-53, 0x1p31 * 0.75), 1610612735);
  // A product whose exact value lies 3 * 2^-60 below 3: a double would round
  // it up to 3, 64 bits keep it below, so it truncates down.
  const double a = 3.0 * (1.0 + 0x1p-30);
  const double b = 1.0 - 0x1p-30;  // a * b = 3 - 3 * 2^-60
  ASSERT_EQ(static_cast<int>(a * b), 3);
  EXPECT_EQ(truncatedExtendedProduct(a, b), 2);
  EXPECT_EQ(truncatedExtendedProduct(-a, b), -2);
  EXPECT_EQ(truncatedExtendedProduct(0.0, 5.0), 0);
  EXPECT_EQ(truncatedExtendedProduct(NAN, 1.0), 0);
  EXPECT_EQ(truncatedExtendedProduct(INFINITY, 0.0), 0);
  EXPECT_EQ(truncatedExtendedProduct(INFINITY, -2.0), INT32_MIN);
  EXPECT_EQ(truncatedExtendedProduct(1e300, 1e10), INT32_MAX);
  EXPECT_EQ(truncatedExtendedProduct(-2147483648.0, 1.0), INT32_MIN);
  EXPECT_EQ(truncatedExtendedProduct(2147483647.0, 1.0), INT32_MAX);
  EXPECT_EQ(truncatedExtendedProduct(2147483646.9, 1.0), 2147483646);
  EXPECT_EQ(truncatedExtendedProduct(1e-300, 1e-300), 0);
}

#if LDBL_MANT_DIG == 64
TEST(ExtendedProduct, MatchesTheX87LongDouble) {
  const auto viaLongDouble = [](double a, double b) -> std::int32_t {
    const long double p = static_cast<long double>(a) * static_cast<long double>(b);
    if (std::isnan(p)) return 0;
    if (p >= 2147483647.0L) return INT32_MAX;
    if (p <= -2147483648.0L) return INT32_MIN;
    return static_cast<std::int32_t>(p);
  };
  std::mt19937_64 rng(31);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 2000000; ++i) {
    // As rotoZoom forms them: a float scale times 65535, times a sine.
    const float scale = static_cast<float>(std::ldexp(unit(rng) + 1.0, static_cast<int>(rng() % 40) - 20));
    const double s = static_cast<double>(scale) * 65535.0;
    const double t = unit(rng);
    ASSERT_EQ(truncatedExtendedProduct(s, t), viaLongDouble(s, t)) << std::hexfloat << s << " " << t;
    // Whole numbers just off by an ulp or two, where the rounding decides.
    const double whole = std::nearbyint(s * t);
    const double near = std::nextafter(whole, rng() % 2 ? INFINITY : -INFINITY);
    ASSERT_EQ(truncatedExtendedProduct(near, 1.0 + 0x1p-52), viaLongDouble(near, 1.0 + 0x1p-52));
  }
}
#endif

}  // namespace
}  // namespace tolvarin
