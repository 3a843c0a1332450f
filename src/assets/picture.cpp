#include "assets/picture.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace tolvarin {
namespace {

constexpr std::size_t kHeaderSize = 128;

// Reads a byte stream one byte at a time; reads past the end give 0, which is
// how a short data stream or a missing palette decodes.
class ByteStream {
 public:
  ByteStream(const std::uint8_t* data, std::size_t size, std::size_t position)
      : data_(data), size_(size), position_(position) {}

  std::uint8_t next() {
    const std::uint8_t value = position_ < size_ ? data_[position_] : 0;
    ++position_;
    return value;
  }
  void skip() { ++position_; }
  [[nodiscard]] bool exhausted() const { return position_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_;
};

std::uint16_t read16(const std::uint8_t* data, std::size_t size, std::size_t at) {
  const std::uint8_t low = at < size ? data[at] : 0;
  const std::uint8_t high = at + 1 < size ? data[at + 1] : 0;
  return static_cast<std::uint16_t>(low | (high << 8));
}

// 8-bit file: one index per pixel (a byte with both top bits set is a run of
// its low six bits, possibly 0, of the next byte), then a marker byte and 768
// palette bytes that are divided by 4.
void decodePaletted(ByteStream& stream, Pixel* pixels, std::size_t count,
                    std::array<std::uint8_t, 768>& palette) {
  std::size_t produced = 0;
  // Once the data runs out every further byte is a literal 0, and the buffer
  // already holds index 0 there.
  while (produced < count && !stream.exhausted()) {
    const std::uint8_t byte = stream.next();
    if ((byte & 0xC0) == 0xC0) {
      const std::size_t run = std::min<std::size_t>(byte & 0x3F, count - produced);
      const std::uint8_t value = stream.next();
      std::fill_n(pixels + produced, run, Pixel{value});
      produced += run;
    } else {
      pixels[produced++] = byte;
    }
  }
  stream.skip();  // the palette marker, whatever its value
  for (std::uint8_t& entry : palette) entry = static_cast<std::uint8_t>(stream.next() >> 2);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* rgb = &palette[pixels[i] * 3];
    pixels[i] = (Pixel{rgb[0]} << 16) | (Pixel{rgb[1]} << 8) | Pixel{rgb[2]};
  }
}

// Where the next decoded byte of a 24-bit file goes: each row holds `planes`
// plane lines of `width` bytes; planes 0, 1, 2 are red, green, blue and any
// further plane is decoded and dropped.
class PlanarWriter {
 public:
  PlanarWriter(Pixel* pixels, std::size_t width, std::size_t height, std::size_t planes)
      : pixels_(pixels), width_(width), height_(height), planes_(planes) {}

  [[nodiscard]] bool full() const { return row_ >= height_; }

  // Writes `count` copies of value, cut where the picture ends.
  void put(std::uint8_t value, std::size_t count) {
    while (count > 0 && !full()) {
      const std::size_t chunk = std::min(count, width_ - x_);
      if (plane_ < 3) {
        const Pixel bits = Pixel{value} << (16 - 8 * plane_);
        Pixel* out = pixels_ + row_ * width_ + x_;
        for (std::size_t i = 0; i < chunk; ++i) out[i] |= bits;
      }
      count -= chunk;
      x_ += chunk;
      if (x_ == width_) {
        x_ = 0;
        if (++plane_ == planes_) {
          plane_ = 0;
          ++row_;
        }
      }
    }
  }

 private:
  Pixel* pixels_;
  std::size_t width_, height_, planes_;
  std::size_t x_ = 0, plane_ = 0, row_ = 0;
};

// 24-bit file: a byte above 0xC0 is a run of (byte - 0xC0) copies of the next
// byte; 0xC0 itself is a literal here, unlike in 8-bit files.
void decodePlanar(ByteStream& stream, Pixel* pixels, std::size_t width, std::size_t height,
                  std::size_t planes) {
  PlanarWriter writer(pixels, width, height, planes);
  // Missing bytes would be literal zeros, and the buffer starts at zero.
  while (!writer.full() && !stream.exhausted()) {
    const std::uint8_t byte = stream.next();
    if (byte > 0xC0) {
      const std::uint8_t value = stream.next();
      writer.put(value, byte - 0xC0u);
    } else {
      writer.put(byte, 1);
    }
  }
}

}  // namespace

bool Picture::loadFromMemory(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 4) return false;  // record untouched
  // Sizes are kept to 16 bits, so Xmax below Xmin wraps to a large width.
  width = static_cast<std::uint16_t>(read16(data, size, 8) - read16(data, size, 4) + 1);
  height = static_cast<std::uint16_t>(read16(data, size, 10) - read16(data, size, 6) + 1);
  pixels.reset();
  const std::size_t planes = size > 65 ? data[65] : 0;
  const std::uint64_t count = std::uint64_t{width} * height;
  if (size < kHeaderSize || count == 0 || count > kMaxPixels) return false;

  pixels.reset(new (std::nothrow) Pixel[count]());
  if (!pixels) return false;

  ByteStream stream(data, size, kHeaderSize);
  if (planes >= 3) {
    decodePlanar(stream, pixels.get(), width, height, planes);
  } else {
    decodePaletted(stream, pixels.get(), count, palette);
  }
  return true;
}

bool Picture::load(const char* fileName) {
  if (fileName == nullptr) return false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName, "rb"), &std::fclose);
  if (!file) return false;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  const long length = std::ftell(file.get());
  if (length < 4 || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
  const auto size = static_cast<std::size_t>(length);
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
  if (!bytes) return false;
  const std::size_t got = std::fread(bytes.get(), 1, size, file.get());
  // A file that shrank while being read decodes from what arrived.
  return loadFromMemory(bytes.get(), got);
}

}  // namespace tolvarin
