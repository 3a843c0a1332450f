#include "tools/music/audio_checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

namespace tolvarin::testing {
namespace {

constexpr int kWindow = 4096;

double mono(const Pcm& pcm, std::size_t frame) {
  return (pcm[frame * 2] + pcm[frame * 2 + 1]) / 65536.0;
}

std::size_t frameAt(const Pcm& pcm, double seconds) {
  const std::size_t frames = pcm.size() / 2;
  if (seconds < 0) return frames;
  return std::min(frames, static_cast<std::size_t>(seconds * kRate));
}

void fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2.0 * M_PI / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1.0;
      for (std::size_t k = 0; k < len / 2; ++k) {
        const auto u = a[i + k];
        const auto v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        wk *= w;
      }
    }
  }
}

// Energy in [lowHz, highHz) and in total, summed over Hann windows.
std::array<double, 2> bandEnergy(const Pcm& pcm, double lowHz, double highHz, double from, double to, double hop) {
  std::array<double, 2> e{0.0, 0.0};
  const std::size_t end = frameAt(pcm, to);
  std::vector<std::complex<double>> buf(kWindow);
  for (double t = from; frameAt(pcm, t) + kWindow <= end; t += hop) {
    const std::size_t start = frameAt(pcm, t);
    for (int i = 0; i < kWindow; ++i) {
      const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / kWindow);
      buf[static_cast<std::size_t>(i)] = mono(pcm, start + static_cast<std::size_t>(i)) * hann;
    }
    fft(buf);
    for (int k = 0; k <= kWindow / 2; ++k) {
      const double hz = static_cast<double>(k) * kRate / kWindow;
      const double p = std::norm(buf[static_cast<std::size_t>(k)]);
      e[1] += p;
      if (hz >= lowHz && hz < highHz) e[0] += p;
    }
  }
  return e;
}

// Direct-form biquad with a0 = 1.
struct Filter {
  double b0, b1, b2, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double operator()(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// The two stages of the K-weighting at 44100 Hz (BS.1770's analogue
// prototypes, bilinear transform): a +4 dB shelf above about 1.7 kHz and a
// high-pass at about 38 Hz.
std::array<Filter, 2> kWeighting() {
  const double k1 = std::tan(M_PI * 1681.974450955533 / kRate), q1 = 0.7071752369554196;
  const double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
  const double a01 = 1.0 + k1 / q1 + k1 * k1;
  const Filter shelf{(vh + vb * k1 / q1 + k1 * k1) / a01, 2.0 * (k1 * k1 - vh) / a01, (vh - vb * k1 / q1 + k1 * k1) / a01,
                     2.0 * (k1 * k1 - 1.0) / a01, (1.0 - k1 / q1 + k1 * k1) / a01};
  const double k2 = std::tan(M_PI * 38.13547087602444 / kRate), q2 = 0.5003270373238773;
  const double a02 = 1.0 + k2 / q2 + k2 * k2;
  const Filter highPass{1.0, -2.0, 1.0, 2.0 * (k2 * k2 - 1.0) / a02, (1.0 - k2 / q2 + k2 * k2) / a02};
  return {shelf, highPass};
}

}  // namespace

Pcm readWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Walk the chunks to "data"; the format is 16-bit stereo as we write it.
  std::size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const std::string id(bytes.data() + pos, 4);
    const auto size = static_cast<std::size_t>(static_cast<unsigned char>(bytes[pos + 4]) |
                                               static_cast<unsigned char>(bytes[pos + 5]) << 8 |
                                               static_cast<unsigned char>(bytes[pos + 6]) << 16 |
                                               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[pos + 7])) << 24);
    pos += 8;
    if (id == "data") {
      const std::size_t n = std::min(size, bytes.size() - pos) / 2;
      Pcm pcm(n);
      for (std::size_t i = 0; i < n; ++i) {
        pcm[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[pos + 2 * i]) |
                                           static_cast<unsigned char>(bytes[pos + 2 * i + 1]) << 8);
      }
      return pcm;
    }
    pos += size + (size & 1);
  }
  return {};
}

Levels levels(const Pcm& pcm, double from, double to) {
  Levels l;
  const std::size_t a = frameAt(pcm, from), b = frameAt(pcm, to);
  for (std::size_t i = a * 2; i < b * 2; ++i) {
    const int v = std::abs(static_cast<int>(pcm[i]));
    l.peak = std::max(l.peak, v);
    if (v >= 32767) ++l.clipped;
  }
  constexpr std::size_t kQuietWindow = kRate / 20;
  const double threshold = std::pow(10.0, -60.0 / 10.0);
  double run = 0.0;
  for (std::size_t w = a; w + kQuietWindow <= b; w += kQuietWindow) {
    double e = 0.0;
    for (std::size_t i = w; i < w + kQuietWindow; ++i) e += mono(pcm, i) * mono(pcm, i);
    run = e / kQuietWindow < threshold ? run + 0.05 : 0.0;
    l.longestQuiet = std::max(l.longestQuiet, run);
  }
  return l;
}

double loudnessDb(const Pcm& pcm, double from, double to) {
  const std::size_t a = frameAt(pcm, from), b = frameAt(pcm, to);
  std::array<std::array<Filter, 2>, 2> sides{kWeighting(), kWeighting()};
  double e = 0.0;
  for (std::size_t i = a; i < b; ++i) {
    for (int side = 0; side < 2; ++side) {
      auto& f = sides[static_cast<std::size_t>(side)];
      const double y = f[1](f[0](pcm[i * 2 + static_cast<std::size_t>(side)] / 32768.0));
      e += y * y;
    }
  }
  return -0.691 + 10.0 * std::log10(e / static_cast<double>(std::max<std::size_t>(1, b - a)) + 1e-15);
}

double bandShare(const Pcm& pcm, double lowHz, double highHz, double from, double to, double hop) {
  const auto e = bandEnergy(pcm, lowHz, highHz, from, to, hop);
  return e[1] > 0.0 ? e[0] / e[1] : 0.0;
}

double bandDb(const Pcm& pcm, double lowHz, double highHz, double from, double to, double hop) {
  return 10.0 * std::log10(bandEnergy(pcm, lowHz, highHz, from, to, hop)[0] + 1e-15);
}

bool haveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string runCommand(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
  if (!pipe) return out;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, pipe.get()) != nullptr) out += buf;
  return out;
}

std::optional<double> integratedLoudness(const std::string& wavPath) {
  if (!haveProgram("ffmpeg")) return std::nullopt;
  const std::string out =
      runCommand("ffmpeg -nostats -hide_banner -i '" + wavPath + "' -af ebur128 -f null - 2>&1 | tail -12");
  std::smatch m;
  static const std::regex integrated(R"(I:\s+(-?[0-9.]+) LUFS)");
  if (!std::regex_search(out, m, integrated)) return std::nullopt;
  return std::stod(m[1]);
}

}  // namespace tolvarin::testing
