#pragma once
// The demo's icon: the QX emblem in brass and red enamel on the dark violet
// quilted ground of the group logo, square and opaque, the emblem inside the
// middle 80 % so a launcher may cut any shape from it.
#include <cstdint>
#include <vector>

namespace tolvarin::gen {

// size x size pixels, 0x00RRGGBB, top row first.
std::vector<std::uint32_t> drawIcon(int size);

// The sizes written by tolvarin-gen --icons (tolvarin-SIZE.png).
inline constexpr int kIconSizes[] = {48, 192, 512};

}  // namespace tolvarin::gen
