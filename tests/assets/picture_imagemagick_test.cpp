// Picture::load against an outside decoder: PCX files written by ImageMagick's
// `convert` in both kinds, decoded again by `convert` to raw RGB, and compared
// pixel for pixel (8-bit files through the divide-by-4 rule).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "assets/picture.h"
#include "temp_files.h"

namespace tolvarin {
namespace {

bool haveConvert() { return std::system("convert -version > /dev/null 2>&1") == 0; }

std::vector<std::uint8_t> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes a binary PPM of width x height; `colours` > 0 draws every pixel from
// that many random colours, 0 makes every pixel random.
std::string writePpm(const std::string& name, int width, int height, int colours, std::mt19937& rng) {
  std::vector<std::uint8_t> palette(static_cast<std::size_t>(std::max(colours, 1)) * 3);
  for (auto& byte : palette) byte = static_cast<std::uint8_t>(rng());
  const std::string head = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<std::uint8_t> bytes(head.begin(), head.end());
  for (int i = 0; i < width * height; ++i) {
    const std::size_t entry = colours > 0 ? rng() % static_cast<unsigned>(colours) : 0;
    for (int c = 0; c < 3; ++c) {
      // Full-range values: the 0xC0..0xFF bytes exercise the run codes.
      bytes.push_back(colours > 0 ? palette[entry * 3 + static_cast<std::size_t>(c)]
                                  : static_cast<std::uint8_t>(rng()));
    }
  }
  return test::writeTemp(name, bytes);
}

// Converts ppm to pcx with the given options, loads the pcx, and decodes it
// again with convert; returns false (after recording a failure) on any error.
void compareWithImageMagick(const std::string& stem, int width, int height, int colours,
                            const std::string& options, int expectedPlanes, int shift) {
  std::mt19937 rng(static_cast<unsigned>(width * 1000 + height));
  const std::string ppm = writePpm(stem + ".ppm", width, height, colours, rng);
  const std::string pcx = (test::tempFolder() / (stem + ".pcx")).string();
  const std::string rgb = (test::tempFolder() / (stem + ".rgb")).string();
  ASSERT_EQ(std::system(("convert " + ppm + " " + options + " " + pcx).c_str()), 0);
  ASSERT_EQ(std::system(("convert " + pcx + " -depth 8 rgb:" + rgb).c_str()), 0);
  ASSERT_EQ(readAll(pcx).at(65), expectedPlanes) << "ImageMagick chose another kind of file";
  const std::vector<std::uint8_t> expected = readAll(rgb);
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(width * height * 3));

  Picture picture;
  ASSERT_TRUE(picture.load(pcx.c_str()));
  ASSERT_EQ(picture.width, width);
  ASSERT_EQ(picture.height, height);
  for (int i = 0; i < width * height; ++i) {
    const auto channel = [&](int c) {
      return static_cast<Pixel>(expected[static_cast<std::size_t>(i * 3 + c)] >> shift);
    };
    ASSERT_EQ(picture.pixels[i], channel(0) << 16 | channel(1) << 8 | channel(2)) << stem << " pixel " << i;
  }
}

TEST(PictureImageMagick, TrueColourFilesMatchImageMagicksDecoding) {
  if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  compareWithImageMagick("truecolour-small", 10, 7, 0, "-type TrueColor", 3, 0);
  compareWithImageMagick("truecolour-frame", 320, 240, 0, "-type TrueColor", 3, 0);
  compareWithImageMagick("truecolour-flat", 64, 33, 5, "-type TrueColor", 3, 0);  // long runs
}

TEST(PictureImageMagick, PalettedFilesMatchImageMagicksDecodingDividedBy4) {
  if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  compareWithImageMagick("palette-small", 10, 7, 40, "-type Palette", 1, 2);
  compareWithImageMagick("palette-frame", 320, 240, 250, "-type Palette", 1, 2);
  compareWithImageMagick("palette-odd-height", 128, 77, 100, "-type Palette", 1, 2);
}

}  // namespace
}  // namespace tolvarin
