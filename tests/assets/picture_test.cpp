// Picture::load on files made by our own .g writer and on hand-made byte
// streams: both decoders, the palette, the run-length variants and bad input.
#include <gtest/gtest.h>

#include "assets/picture.h"
#include "formats/g_writer.h"
#include "temp_files.h"

namespace tolvarin {
namespace {

using formats::IndexedImage;
using formats::RgbImage;

// A 128-byte header for width x height with the given plane count.
std::vector<std::uint8_t> header(int width, int height, int planes) {
  std::vector<std::uint8_t> bytes(128, 0);
  bytes[8] = static_cast<std::uint8_t>((width - 1) & 0xFF);
  bytes[9] = static_cast<std::uint8_t>((width - 1) >> 8);
  bytes[10] = static_cast<std::uint8_t>((height - 1) & 0xFF);
  bytes[11] = static_cast<std::uint8_t>((height - 1) >> 8);
  bytes[65] = static_cast<std::uint8_t>(planes);
  return bytes;
}

// Marker byte and a palette whose entry i is (4i, 4i+1, 4i+2) modulo 256.
void appendPalette(std::vector<std::uint8_t>& bytes) {
  bytes.push_back(0x0C);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) bytes.push_back(static_cast<std::uint8_t>(4 * i + c));
}

Pixel paletteColour(int index) {
  const auto sixBit = [](int value) { return static_cast<Pixel>((value & 0xFF) >> 2); };
  return sixBit(4 * index) << 16 | sixBit(4 * index + 1) << 8 | sixBit(4 * index + 2);
}

Picture loaded(const std::vector<std::uint8_t>& bytes, bool expectSuccess = true) {
  Picture picture;
  EXPECT_EQ(picture.loadFromMemory(bytes.data(), bytes.size()), expectSuccess);
  return picture;
}

TEST(PictureLoad, PalettedFileGivesPaletteValuesDividedBy4) {
  IndexedImage image;
  image.width = 3;
  image.height = 2;
  image.indices = {255, 1, 0, 1, 255, 200};
  image.palette[255 * 3 + 0] = image.palette[255 * 3 + 1] = image.palette[255 * 3 + 2] = 252;
  image.palette[1 * 3 + 0] = 255;
  image.palette[1 * 3 + 2] = 128;
  image.palette[200 * 3 + 1] = 3;  // 3 >> 2 = 0
  const std::string path = test::writeTemp("paletted.g", formats::encodeIndexedG(image));
  Picture picture;
  ASSERT_TRUE(picture.load(path.c_str()));
  ASSERT_EQ(picture.width, 3);
  ASSERT_EQ(picture.height, 2);
  const std::vector<Pixel> pixels(picture.pixels.get(), picture.pixels.get() + 6);
  EXPECT_EQ(pixels, (std::vector<Pixel>{0x003F3F3F, 0x003F0020, 0, 0x003F0020, 0x003F3F3F, 0}));
  EXPECT_EQ(picture.palette[255 * 3], 0x3F);
  EXPECT_EQ(picture.palette[3 * 1 + 2], 0x20);

  // Plane counts 0 and 2 decode as 8-bit files too.
  auto bytes = formats::encodeIndexedG(image);
  for (std::uint8_t planes : {0, 2}) {
    bytes[65] = planes;
    const Picture other = loaded(bytes);
    EXPECT_EQ(std::vector<Pixel>(other.pixels.get(), other.pixels.get() + 6), pixels);
  }
}

TEST(PictureLoad, PlanarFileKeepsFullChannelsAndSkipsExtraPlanes) {
  RgbImage image;
  image.width = 5;
  image.height = 3;
  for (int i = 0; i < 15; ++i) {
    image.rgb.push_back(static_cast<std::uint8_t>(i * 17));
    image.rgb.push_back(static_cast<std::uint8_t>(0xC0 + i));  // values the run codes use
    image.rgb.push_back(static_cast<std::uint8_t>(255 - i));
  }
  image.rgb[0] = 255, image.rgb[1] = 128, image.rgb[2] = 1;
  Picture three = loaded(formats::encodeRgbG(image, 3));
  ASSERT_EQ(three.width, 5);
  ASSERT_EQ(three.height, 3);
  EXPECT_EQ(three.pixels[0], 0x00FF8001u);
  EXPECT_EQ(three.pixels[14], static_cast<Pixel>(14 * 17) << 16 | (0xC0 + 14) << 8 | (255 - 14));
  EXPECT_EQ(three.palette, (std::array<std::uint8_t, 768>{}));
  const Picture four = loaded(formats::encodeRgbG(image, 4));
  EXPECT_TRUE(std::equal(three.pixels.get(), three.pixels.get() + 15, four.pixels.get()));
}

TEST(PictureLoad, ByteC0IsAnEmptyRunIn8BitFilesAndALiteralIn24BitFiles) {
  auto paletted = header(3, 1, 1);
  paletted.insert(paletted.end(), {0xC0, 0x55, 0x01, 0xC2, 0x02});
  appendPalette(paletted);
  const Picture indexed = loaded(paletted);
  EXPECT_EQ(indexed.pixels[0], paletteColour(1));
  EXPECT_EQ(indexed.pixels[1], paletteColour(2));
  EXPECT_EQ(indexed.pixels[2], paletteColour(2));

  auto planar = header(2, 1, 3);
  planar.insert(planar.end(), {0xC0, 0x55, 0xC2, 0x10, 0x01, 0x02});
  const Picture rgb = loaded(planar);
  EXPECT_EQ(rgb.pixels[0], 0x00C01001u);
  EXPECT_EQ(rgb.pixels[1], 0x00551002u);
}

TEST(PictureLoad, RunsCrossLinesAndPlanesAndAreCutAtTheEnd) {
  // 8-bit: one run of 5 fills a 2x2 picture; the palette follows the run.
  auto paletted = header(2, 2, 1);
  paletted.insert(paletted.end(), {0xC5, 0x07});
  appendPalette(paletted);
  const Picture indexed = loaded(paletted);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(indexed.pixels[i], paletteColour(7));

  // 24-bit: a run over red and green of row 0, then a run of 63 for the rest.
  auto planar = header(2, 2, 3);
  planar.insert(planar.end(), {0xC4, 0x11, 0xFF, 0x22});
  const Picture rgb = loaded(planar);
  EXPECT_EQ(rgb.pixels[0], 0x00111122u);
  EXPECT_EQ(rgb.pixels[3], 0x00222222u);
}

TEST(PictureLoad, ShortDataAndPaletteReadAsZeros) {
  // 24-bit data cut after the red plane of row 0 of a 2x2 picture.
  auto planar = header(2, 2, 3);
  planar.insert(planar.end(), {0x30, 0x31, 0x40});
  const Picture rgb = loaded(planar);
  EXPECT_EQ(rgb.pixels[0], 0x00304000u);
  EXPECT_EQ(rgb.pixels[1], 0x00310000u);
  EXPECT_EQ(rgb.pixels[3], 0u);

  // 8-bit palette cut after entry 1's red: entry 1 is (4 >> 2, 0, 0).
  auto paletted = header(2, 1, 1);
  paletted.insert(paletted.end(), {0x00, 0x01, 0x0C, 9, 9, 9, 4});
  const Picture indexed = loaded(paletted);
  EXPECT_EQ(indexed.pixels[0], 0x00020202u);
  EXPECT_EQ(indexed.pixels[1], 0x00010000u);
  EXPECT_EQ(indexed.palette[5], 0);

  // No data at all: a picture of zeros.
  const Picture empty = loaded(header(4, 4, 1));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(empty.pixels[i], 0u);
}

TEST(PictureLoad, FullFrameHeader) {
  const Picture frame = loaded(header(320, 240, 3));
  EXPECT_EQ(frame.width, 320);
  EXPECT_EQ(frame.height, 240);
  EXPECT_NE(frame.pixels, nullptr);
}

TEST(PictureLoad, RefusesMissingShortEmptyAndHugeFiles) {
  Picture picture;
  EXPECT_FALSE(picture.load((test::tempFolder() / "missing.g").string().c_str()));
  EXPECT_EQ(picture.width, 0);
  EXPECT_EQ(picture.pixels, nullptr);

  // A loaded record stays as it was after a missing or 3-byte file.
  picture = loaded(header(2, 2, 3));
  EXPECT_FALSE(picture.load(test::writeTemp("three.g", {1, 2, 3}).c_str()));
  EXPECT_FALSE(picture.load((test::tempFolder() / "missing.g").string().c_str()));
  EXPECT_EQ(picture.width, 2);
  EXPECT_NE(picture.pixels, nullptr);

  // Shorter than the header, zero width, or more than 16 million pixels:
  // false and no pixels, the size fields as the header gives them.
  auto bytes = header(300, 200, 1);
  bytes.resize(100);
  EXPECT_FALSE(picture.loadFromMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(picture.pixels, nullptr);
  EXPECT_EQ(picture.width, 300);

  bytes = header(1, 5, 1);
  bytes[4] = 1;  // Xmin 1, Xmax 0: width 0
  EXPECT_FALSE(picture.loadFromMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(picture.width, 0);
  EXPECT_EQ(picture.pixels, nullptr);

  bytes = header(65535, 65535, 3);
  EXPECT_FALSE(picture.loadFromMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(picture.pixels, nullptr);
  bytes = header(4000, 4000, 3);  // exactly 16 million is allowed
  EXPECT_TRUE(picture.loadFromMemory(bytes.data(), bytes.size()));
}

}  // namespace
}  // namespace tolvarin
