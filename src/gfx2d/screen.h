#pragma once
// Screen size and the projection constants derived from it. The size is kept
// as 32-bit values that readers take as 16 bits; the derived constants use
// truncating integer division, which is why projScaleX is 159 and not 160.
#include <cstdint>

namespace tolvarin {

inline constexpr std::int32_t screenWidth = 320;
inline constexpr std::int32_t screenHeight = 240;

namespace detail {
inline constexpr std::uint16_t kWidth16 = static_cast<std::uint16_t>(screenWidth);
inline constexpr std::uint16_t kHeight16 = static_cast<std::uint16_t>(screenHeight);
}  // namespace detail

inline constexpr std::int16_t screenCentreX = static_cast<std::int16_t>(detail::kWidth16 >> 1);
inline constexpr std::int16_t screenCentreY = static_cast<std::int16_t>(detail::kHeight16 >> 1);
inline constexpr std::int16_t projScaleX =
    static_cast<std::int16_t>(detail::kWidth16 / 3 + detail::kWidth16 / 6);
inline constexpr std::int16_t projScaleY =
    static_cast<std::int16_t>(detail::kHeight16 / 3 + detail::kWidth16 / 8);

static_assert(screenCentreX == 160 && screenCentreY == 120);
static_assert(projScaleX == 159 && projScaleY == 120);

}  // namespace tolvarin
