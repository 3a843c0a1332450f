// One dispatch for every kernel: each kernel function calls the active set,
// and the set is the references exactly when TOLVARIN_SIMD=off. ctest runs
// this file both with the switch and without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/kernel_set.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/simd.h"
#include "gfx2d/tunnel_pixels.h"
#include "gfx2d/zoom_wrap.h"

namespace tolvarin {
namespace {

// A slot left out of a set's table would be a null pointer, found only when
// a program runs that set. The binding names as many slots as KernelSet has,
// so a new slot fails to compile here until it is added.
TEST(KernelSets, EverySetFillsEverySlot) {
  for (const KernelSet* set : availableKernelSets()) {
    const auto& [name, fill, copy, fade, overlay, mask, average, mirror, line, subtract, roto, stretch, bump, zoom,
                 tunnel] = *set;
    SCOPED_TRACE(name);
    const bool filled[] = {name != nullptr, fill != nullptr, copy != nullptr, fade != nullptr, overlay != nullptr,
                           mask != nullptr, average != nullptr, mirror != nullptr, line != nullptr,
                           subtract != nullptr, roto != nullptr, stretch != nullptr, bump != nullptr,
                           zoom != nullptr, tunnel != nullptr};
    for (std::size_t i = 0; i < std::size(filled); ++i) EXPECT_TRUE(filled[i]) << "slot " << i;
  }
}

// The baseline family of the processor the build targets is always there
// (and so under the differential and golden tests): a family left out of
// availableKernelSets() would be built and never run.
TEST(KernelSets, TheBaselineFamilyIsAvailable) {
  std::vector<std::string> names;
  for (const KernelSet* set : availableKernelSets()) names.emplace_back(set->name);
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "reference");
#if defined(__aarch64__)
  EXPECT_NE(std::find(names.begin(), names.end(), "neon"), names.end());
#elif defined(__x86_64__)
  EXPECT_NE(std::find(names.begin(), names.end(), "sse2"), names.end());
#endif
}

// Which entries of the recording set were called: one bit per kernel.
unsigned g_called = 0;

// A set whose every entry only records that it was called.
constexpr KernelSet kRecording{
    "recording",
    [](Pixel*, std::uint32_t) { g_called |= 1u << 0; },
    [](const Pixel*, Pixel*) { g_called |= 1u << 1; },
    [](const Pixel*, const Pixel*, Pixel*, std::int32_t, std::int32_t, std::int32_t) { g_called |= 1u << 2; },
    [](const Pixel*, const Pixel*, Pixel*) { g_called |= 1u << 3; },
    [](const Pixel*, const Pixel*, Pixel*) { g_called |= 1u << 4; },
    [](Pixel*, const Pixel*, const Pixel*) { g_called |= 1u << 5; },
    [](Pixel*) { g_called |= 1u << 6; },
    [](std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint32_t, Pixel*) { g_called |= 1u << 7; },
    [](const Pixel*, Pixel*, std::uint8_t) { g_called |= 1u << 8; },
    [](const Pixel*, Pixel*, int, float) { g_called |= 1u << 9; },
    [](std::int32_t, std::int32_t, std::int32_t, std::int32_t, const Pixel*, Pixel*) { g_called |= 1u << 10; },
    [](std::int32_t, std::int32_t, const Pixel*, Pixel*, const Pixel*, std::int32_t) { g_called |= 1u << 11; },
    [](const Pixel*, Pixel*, double) { g_called |= 1u << 12; },
    [](const std::uint8_t*, const std::uint8_t*, const Pixel*, const std::int32_t*, int, Pixel*) {
      g_called |= 1u << 13;
    },
};
constexpr unsigned kAllKernels = (1u << 14) - 1;

TEST(KernelDispatch, EveryKernelFunctionCallsTheActiveSet) {
  detail::overrideActiveKernels(&kRecording);
  g_called = 0;
  // The recording set touches no pixel, so null buffers are fine.
  fillFrame(nullptr, 0);
  copyFrame(nullptr, nullptr);
  crossFade(nullptr, nullptr, nullptr, 0, 0, 0);
  overlayKeyed(nullptr, nullptr, nullptr);
  maskFrame(nullptr, nullptr, nullptr);
  averageFrames(nullptr, nullptr, nullptr);
  mirrorQuadrants(nullptr);
  drawLine(0, 0, 0, 0, 0, nullptr);
  subtractFromBytes(nullptr, nullptr, 0);
  rotoZoom(nullptr, nullptr, 0, 1.0f);
  stretchBlit(0, 0, 1, 1, nullptr, nullptr);
  bumpLight(0, 0, nullptr, nullptr, nullptr, 0);
  zoomWrap(nullptr, nullptr, 1.0);
  tunnelPixels(nullptr, nullptr, nullptr, nullptr, 0, nullptr);
  detail::overrideActiveKernels(nullptr);
  EXPECT_EQ(g_called, kAllKernels) << std::hex << "called: " << g_called;
}

TEST(KernelDispatch, TheSwitchChoosesTheReferencesOtherwiseTheFastestFamily) {
  const char* value = std::getenv("TOLVARIN_SIMD");
  const bool off = value != nullptr && std::string(value) == "off";
  EXPECT_EQ(simdEnabled(), !off);
  const KernelSet& expected = off ? referenceKernels() : *availableKernelSets().back();
  EXPECT_EQ(&activeKernels(), &expected) << activeKernels().name;
}

}  // namespace
}  // namespace tolvarin
