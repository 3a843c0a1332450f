#pragma once
// Writers for the .g picture format: a PCX-layout file (128-byte header,
// run-length coded scan lines, and for 8-bit files a marker byte and a
// 256-entry palette at the end). Used by the asset generator and by tests to
// make fixture files.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvarin::formats {

// One byte per pixel (a palette index), row-major, top row first.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;
  std::array<std::uint8_t, 768> palette{};  // 256 x (r, g, b), full 8-bit values
};

// Three bytes per pixel (r, g, b), row-major, top row first.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// 8-bit paletted file: one colour plane, then the marker 0x0C and the palette.
std::vector<std::uint8_t> encodeIndexedG(const IndexedImage& image);

// 24-bit planar file with `planes` colour planes (3 or more). Planes after the
// third are written as copies of the blue plane.
std::vector<std::uint8_t> encodeRgbG(const RgbImage& image, int planes = 3);

// Writes bytes to a file; false when the file cannot be written.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tolvarin::formats
