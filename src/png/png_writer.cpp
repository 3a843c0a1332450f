#include "png/png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace tolvarin {

bool writePng(const std::string& path, int width, int height, const Pixel* pixels, int stride) {
  if (width <= 0 || height <= 0 || pixels == nullptr) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return false;

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  volatile bool ok = false;  // set between setjmp and longjmp
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      const Pixel* src = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      for (int x = 0; x < width; ++x) {
        row[x * 3 + 0] = static_cast<png_byte>(src[x] >> 16);
        row[x * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
        row[x * 3 + 2] = static_cast<png_byte>(src[x]);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  if (!ok) std::remove(path.c_str());
  return ok;
}

}  // namespace tolvarin
