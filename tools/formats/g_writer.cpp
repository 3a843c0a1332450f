#include "formats/g_writer.h"

#include <cstdio>
#include <memory>

namespace tolvarin::formats {
namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, int value) {
  out[at] = static_cast<std::uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::vector<std::uint8_t> header(int width, int height, int planes) {
  std::vector<std::uint8_t> out(128, 0);
  out[0] = 0x0A;  // manufacturer
  out[1] = 5;     // version
  out[2] = 1;     // run-length encoding
  out[3] = 8;     // bits per pixel per plane
  put16(out, 4, 0);
  put16(out, 6, 0);
  put16(out, 8, width - 1);
  put16(out, 10, height - 1);
  put16(out, 12, 72);
  put16(out, 14, 72);
  out[65] = static_cast<std::uint8_t>(planes);
  put16(out, 66, width);  // bytes per line: exactly the width, as the loader expects
  put16(out, 68, 1);
  return out;
}

// Encodes one scan line. Values of 0xC0 and above always go out as a run, so
// the stream reads the same under both run-length variants of the format.
void encodeLine(std::vector<std::uint8_t>& out, const std::uint8_t* line, int count) {
  int i = 0;
  while (i < count) {
    const std::uint8_t value = line[i];
    int run = 1;
    while (i + run < count && run < 63 && line[i + run] == value) ++run;
    if (run > 1 || value >= 0xC0) {
      out.push_back(static_cast<std::uint8_t>(0xC0 | run));
      out.push_back(value);
    } else {
      out.push_back(value);
    }
    i += run;
  }
}

}  // namespace

std::vector<std::uint8_t> encodeIndexedG(const IndexedImage& image) {
  std::vector<std::uint8_t> out = header(image.width, image.height, 1);
  for (int y = 0; y < image.height; ++y) {
    encodeLine(out, image.indices.data() + static_cast<std::size_t>(y) * image.width, image.width);
  }
  out.push_back(0x0C);
  out.insert(out.end(), image.palette.begin(), image.palette.end());
  return out;
}

std::vector<std::uint8_t> encodeRgbG(const RgbImage& image, int planes) {
  if (planes < 3) planes = 3;
  std::vector<std::uint8_t> out = header(image.width, image.height, planes);
  std::vector<std::uint8_t> line(static_cast<std::size_t>(image.width));
  for (int y = 0; y < image.height; ++y) {
    for (int p = 0; p < planes; ++p) {
      const int channel = p < 3 ? p : 2;
      for (int x = 0; x < image.width; ++x) {
        line[x] = image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3 + channel];
      }
      encodeLine(out, line.data(), image.width);
    }
  }
  return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    return false;
  }
  return std::fflush(file.get()) == 0;
}

}  // namespace tolvarin::formats
