#include "platform/wav_writer.h"

#include <cstdint>
#include <cstring>

namespace tolvarin {
namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint16_t kChannels = 2;
constexpr std::uint16_t kBits = 16;

void put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void put16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

void header(unsigned char* h, std::uint32_t dataBytes) {
  std::memcpy(h, "RIFF", 4);
  put32(h + 4, 36 + dataBytes);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(h + 16, 16);
  put16(h + 20, 1);  // PCM
  put16(h + 22, kChannels);
  put32(h + 24, kRate);
  put32(h + 28, kRate * kChannels * kBits / 8);
  put16(h + 32, kChannels * kBits / 8);
  put16(h + 34, kBits);
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, dataBytes);
}

}  // namespace

WavWriter::~WavWriter() { (void)close(); }

bool WavWriter::open(const std::string& path) {
  path_ = path;
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) return false;
  unsigned char h[44];
  header(h, 0);
  failed_ = std::fwrite(h, 1, sizeof h, file_.get()) != sizeof h;
  dataBytes_ = 0;
  return !failed_;
}

void WavWriter::write(const std::int16_t* interleaved, std::size_t frames) {
  if (!file_ || frames == 0) return;
  // WAV data is little-endian, as are the machines we build for.
  const std::size_t bytes = frames * kChannels * sizeof(std::int16_t);
  if (std::fwrite(interleaved, 1, bytes, file_.get()) != bytes) failed_ = true;
  dataBytes_ += bytes;
}

bool WavWriter::close() {
  if (!file_) return !failed_;
  const std::uint32_t size = dataBytes_ > 0xFFFFFFFFull - 36 ? 0xFFFFFFFFu - 36 : static_cast<std::uint32_t>(dataBytes_);
  unsigned char h[44];
  header(h, size);
  if (std::fseek(file_.get(), 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, file_.get()) != sizeof h) failed_ = true;
  if (!closeChecked(file_)) failed_ = true;
  return !failed_;
}

}  // namespace tolvarin
