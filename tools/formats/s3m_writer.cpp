#include "formats/s3m_writer.h"

#include <algorithm>
#include <cstring>

namespace tolvarin::formats {
namespace {

class ByteWriter {
 public:
  std::vector<std::uint8_t> bytes;

  std::size_t size() const { return bytes.size(); }
  void u8(int v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  void text(const std::string& s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? s[i] : 0);
  }
  void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
  // Pads to the next 16-byte boundary, where parapointers can point.
  void align16() {
    while (bytes.size() % 16 != 0) u8(0);
  }
  void put16At(std::size_t at, unsigned v) {
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  }
};

std::vector<std::uint8_t> packPattern(const S3mPattern& pattern, int channels) {
  std::vector<std::uint8_t> out{0, 0};  // length, filled in below
  for (const auto& row : pattern.rows) {
    for (int ch = 0; ch < channels; ++ch) {
      const S3mCell& cell = row[ch];
      if (cell.empty()) continue;
      std::uint8_t what = static_cast<std::uint8_t>(ch);
      if (cell.note != kS3mNoNote || cell.instrument != 0) what |= 0x20;
      if (cell.volume >= 0) what |= 0x40;
      if (cell.command != 0) what |= 0x80;
      out.push_back(what);
      if (what & 0x20) {
        out.push_back(cell.note);
        out.push_back(cell.instrument);
      }
      if (what & 0x40) out.push_back(static_cast<std::uint8_t>(std::min(cell.volume, 64)));
      if (what & 0x80) {
        out.push_back(cell.command);
        out.push_back(cell.info);
      }
    }
    out.push_back(0);  // end of row
  }
  out[0] = static_cast<std::uint8_t>(out.size() & 0xFF);
  out[1] = static_cast<std::uint8_t>((out.size() >> 8) & 0xFF);
  return out;
}

}  // namespace

std::vector<std::uint8_t> encodeS3m(const S3mModule& module) {
  const int channels = std::clamp(module.channels, 1, kS3mMaxChannels);
  std::vector<std::uint8_t> orders = module.orders;
  if (orders.size() % 2 != 0) orders.push_back(kS3mOrderEnd);  // the order count is kept even

  ByteWriter w;
  w.text(module.title, 28);
  w.u8(0x1A);
  w.u8(16);  // type: ST3 module
  w.u16(0);
  w.u16(static_cast<unsigned>(orders.size()));
  w.u16(static_cast<unsigned>(module.instruments.size()));
  w.u16(static_cast<unsigned>(module.patterns.size()));
  w.u16(0);       // flags
  w.u16(0x1320);  // made with: Scream Tracker 3.20
  w.u16(1);       // samples are signed
  w.text("SCRM", 4);
  w.u8(module.globalVolume);
  w.u8(module.initialSpeed);
  w.u8(module.initialTempo);
  w.u8(module.masterVolume | 0x80);  // stereo
  const bool panTable = static_cast<int>(module.channelPanning.size()) >= channels;
  w.u8(16);                  // ultra-click removal
  w.u8(panTable ? 252 : 0);  // 252: a default panning table follows the parapointers
  w.zeros(8);
  w.u16(0);  // no special data
  for (int ch = 0; ch < 32; ++ch) {
    // Left channels are 0..7, right ones 8..15; alternate so the mix is stereo.
    if (ch < channels) {
      w.u8(ch % 2 == 0 ? ch / 2 : 8 + ch / 2);
    } else {
      w.u8(255);
    }
  }
  for (std::uint8_t o : orders) w.u8(o);
  const std::size_t instrumentPointers = w.size();
  w.zeros(module.instruments.size() * 2);
  const std::size_t patternPointers = w.size();
  w.zeros(module.patterns.size() * 2);
  if (panTable) {
    for (int ch = 0; ch < 32; ++ch) {
      // Bit 5 marks a valid entry; channels not in use keep the player's default.
      w.u8(ch < channels ? 0x20 | std::clamp(module.channelPanning[static_cast<std::size_t>(ch)], 0, 15) : 0);
    }
  }

  // Instrument headers, each followed later by its sample data.
  std::vector<std::size_t> headerAt(module.instruments.size());
  for (std::size_t i = 0; i < module.instruments.size(); ++i) {
    w.align16();
    headerAt[i] = w.size();
    w.put16At(instrumentPointers + i * 2, static_cast<unsigned>(w.size() / 16));
    const S3mSample& s = module.instruments[i];
    const bool hasData = !s.data.empty();
    w.u8(hasData ? 1 : 0);  // 1 = sample instrument
    w.zeros(12);            // file name
    w.zeros(3);             // sample data parapointer, filled in below
    w.u32(static_cast<std::uint32_t>(s.data.size()));
    w.u32(s.loopStart);
    w.u32(s.loop ? s.loopEnd : 0);
    w.u8(std::min<int>(s.volume, 64));
    w.u8(0);
    w.u8(0);  // not packed
    w.u8((s.loop ? 1 : 0) | (s.sixteenBit ? 4 : 0));
    w.u32(s.c2spd);
    w.zeros(12);
    w.text(s.name, 28);
    w.text("SCRS", 4);
  }
  for (std::size_t i = 0; i < module.patterns.size(); ++i) {
    w.align16();
    w.put16At(patternPointers + i * 2, static_cast<unsigned>(w.size() / 16));
    const auto packed = packPattern(module.patterns[i], channels);
    w.bytes.insert(w.bytes.end(), packed.begin(), packed.end());
  }
  for (std::size_t i = 0; i < module.instruments.size(); ++i) {
    const S3mSample& s = module.instruments[i];
    if (s.data.empty()) continue;
    w.align16();
    const std::size_t para = w.size() / 16;
    w.bytes[headerAt[i] + 13] = static_cast<std::uint8_t>((para >> 16) & 0xFF);
    w.bytes[headerAt[i] + 14] = static_cast<std::uint8_t>(para & 0xFF);
    w.bytes[headerAt[i] + 15] = static_cast<std::uint8_t>((para >> 8) & 0xFF);
    for (std::int16_t v : s.data) {
      if (s.sixteenBit) {
        w.u16(static_cast<std::uint16_t>(v));
      } else {
        w.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(v >> 8)));
      }
    }
  }
  w.align16();
  return w.bytes;
}

}  // namespace tolvarin::formats
