#pragma once
// The demo's icon: the QX emblem in brass and red enamel on the dark violet
// quilted ground of the group logo, square and opaque, the emblem inside the
// middle 80 % so a launcher may cut any shape from it.
#include <cstdint>
#include <vector>

namespace tolvarin::gen {

// size x size pixels, 0x00RRGGBB, top row first.
std::vector<std::uint32_t> drawIcon(int size);

// The sizes written by tolvarin-gen --icons (tolvarin-SIZE.png): the web
// page's (48, 192, 512) and a desktop's icon theme's (32 to 512).
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 192, 256, 512};
// The sizes in tolvarin.ico (a Windows program's icon).
inline constexpr int kWindowsIconSizes[] = {16, 32, 48, 256};
// The size of the window's title-bar icon (window-icon.h).
inline constexpr int kWindowIconSize = 48;

}  // namespace tolvarin::gen
