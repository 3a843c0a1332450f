#include "palette.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "det_math.h"

namespace tolvarin::gen {

std::uint8_t levelToByte(int v) {
  v = std::clamp(v, 0, 63);
  return static_cast<std::uint8_t>(v * 4 + v / 16);
}

int channelToLevel(double v) { return static_cast<int>(std::floor(clamp01(v) * 63.0 + 0.5)); }

Rgb gradientAt(const std::vector<GradientStop>& stops, double t) {
  if (stops.empty()) return {};
  if (t <= stops.front().at) return stops.front().colour;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      const double span = stops[i].at - stops[i - 1].at;
      const double u = span > 0.0 ? (t - stops[i - 1].at) / span : 1.0;
      return mixRgb(stops[i - 1].colour, stops[i].colour, u);
    }
  }
  return stops.back().colour;
}

void fillGradient(Palette& palette, int first, int last, const std::vector<GradientStop>& stops) {
  for (int i = first; i <= last; ++i) {
    const double t = last > first ? static_cast<double>(i - first) / (last - first) : 0.0;
    const Rgb c = gradientAt(stops, t);
    palette[i * 3 + 0] = levelToByte(channelToLevel(c.r));
    palette[i * 3 + 1] = levelToByte(channelToLevel(c.g));
    palette[i * 3 + 2] = levelToByte(channelToLevel(c.b));
  }
}

Palette greyLevels() {
  Palette palette{};
  for (int i = 0; i < 64; ++i) {
    for (int c = 0; c < 3; ++c) palette[i * 3 + c] = levelToByte(i);
  }
  return palette;
}

Palette reliefLevels() {
  Palette palette{};
  for (int i = 0; i < 64; ++i) {
    palette[i * 3] = levelToByte(i);
    palette[i * 3 + 1] = levelToByte((i * 13 + 8) / 16);
    palette[i * 3 + 2] = levelToByte((i * 10 + 8) / 16);
  }
  return palette;
}

namespace {

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

double bayerOffset(int x, int y) { return (kBayer4[y & 3][x & 3] + 0.5) / 16.0 - 0.5; }

// A 6-bit colour packed as r << 12 | g << 6 | b.
using Key = std::uint32_t;
int keyChannel(Key k, int c) { return static_cast<int>((k >> (12U - 6U * c)) & 63U); }

struct Box {
  std::size_t begin;
  std::size_t end;  // range in the colour list
  std::uint64_t weight;
  int longest;      // channel with the widest range
  int range;        // that range
};

struct Entry {
  Key key;
  std::uint32_t count;
};

Box makeBox(const std::vector<Entry>& colours, std::size_t begin, std::size_t end) {
  int lo[3] = {63, 63, 63};
  int hi[3] = {0, 0, 0};
  std::uint64_t weight = 0;
  for (std::size_t i = begin; i < end; ++i) {
    for (int c = 0; c < 3; ++c) {
      lo[c] = std::min(lo[c], keyChannel(colours[i].key, c));
      hi[c] = std::max(hi[c], keyChannel(colours[i].key, c));
    }
    weight += colours[i].count;
  }
  Box box{begin, end, weight, 0, -1};
  for (int c = 0; c < 3; ++c) {
    // Green weighs a little more, as the eye sees its steps best.
    const int range = (hi[c] - lo[c]) * (c == 1 ? 4 : 3);
    if (range > box.range) {
      box.range = range;
      box.longest = c;
    }
  }
  return box;
}

int distance2(const int a[3], Key k) {
  const int dr = a[0] - keyChannel(k, 0);
  const int dg = a[1] - keyChannel(k, 1);
  const int db = a[2] - keyChannel(k, 2);
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

formats::IndexedImage indexFromField(const Field& field, const Palette& palette, int first,
                                     int last, bool dither) {
  formats::IndexedImage image;
  image.width = field.width();
  image.height = field.height();
  image.palette = palette;
  image.indices.resize(static_cast<std::size_t>(image.width) * image.height);
  const int span = last - first;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const double offset = dither ? bayerOffset(x, y) : 0.0;
      const double v = std::floor(clamp01(field.at(x, y)) * span + 0.5 + offset);
      image.indices[static_cast<std::size_t>(y) * image.width + x] =
          static_cast<std::uint8_t>(first + std::clamp(static_cast<int>(v), 0, span));
    }
  }
  return image;
}

formats::IndexedImage quantise(const Canvas& canvas, const QuantiseOptions& options) {
  const int width = canvas.width();
  const int height = canvas.height();
  std::vector<Key> keys(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = canvas.at(x, y);
      const double offset = options.dither ? bayerOffset(x, y) : 0.0;
      Key key = 0;
      for (double v : {c.r, c.g, c.b}) {
        const int level = std::clamp(static_cast<int>(std::floor(clamp01(v) * 63.0 + 0.5 + offset)), 0, 63);
        key = (key << 6U) | static_cast<Key>(level);
      }
      keys[static_cast<std::size_t>(y) * width + x] = key;
    }
  }
  // Histogram of the distinct colours, in key order.
  std::vector<std::uint32_t> histogram(1U << 18U, 0);
  for (Key k : keys) ++histogram[k];
  std::vector<Entry> colours;
  for (Key k = 0; k < (1U << 18U); ++k) {
    if (histogram[k] != 0) colours.push_back({k, histogram[k]});
  }
  // Median cut: split the box with the widest weighted range at its median.
  const int available = std::max(1, std::min(options.colours, 256 - options.reserved));
  std::vector<Box> boxes{makeBox(colours, 0, colours.size())};
  while (static_cast<int>(boxes.size()) < available) {
    std::size_t pick = boxes.size();
    double best = 0.0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      const double score = boxes[i].range * std::sqrt(static_cast<double>(boxes[i].weight));
      if (score > best) {
        best = score;
        pick = i;
      }
    }
    if (pick == boxes.size()) break;
    const Box box = boxes[pick];
    const int c = box.longest;
    std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
              colours.begin() + static_cast<std::ptrdiff_t>(box.end), [c](const Entry& a, const Entry& b) {
                const int va = keyChannel(a.key, c);
                const int vb = keyChannel(b.key, c);
                return va != vb ? va < vb : a.key < b.key;
              });
    std::uint64_t half = box.weight / 2;
    std::size_t split = box.begin + 1;
    std::uint64_t running = 0;
    for (std::size_t i = box.begin; i < box.end - 1; ++i) {
      running += colours[i].count;
      split = i + 1;
      if (running >= half) break;
    }
    boxes[pick] = makeBox(colours, box.begin, split);
    boxes.push_back(makeBox(colours, split, box.end));
  }
  // Palette entries: weighted means of the boxes, then k-means refinement.
  std::vector<std::array<int, 3>> centres;
  for (const Box& box : boxes) {
    double sum[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = box.begin; i < box.end; ++i) {
      for (int c = 0; c < 3; ++c) sum[c] += keyChannel(colours[i].key, c) * static_cast<double>(colours[i].count);
    }
    std::array<int, 3> centre{};
    for (int c = 0; c < 3; ++c) centre[c] = static_cast<int>(std::floor(sum[c] / box.weight + 0.5));
    centres.push_back(centre);
  }
  std::vector<int> nearest(colours.size(), 0);
  auto assign = [&]() {
    for (std::size_t i = 0; i < colours.size(); ++i) {
      int best = 0;
      int bestDistance = distance2(centres[0].data(), colours[i].key);
      for (std::size_t p = 1; p < centres.size(); ++p) {
        const int d = distance2(centres[p].data(), colours[i].key);
        if (d < bestDistance) {
          bestDistance = d;
          best = static_cast<int>(p);
        }
      }
      nearest[i] = best;
    }
  };
  assign();
  for (int pass = 0; pass < options.refinePasses; ++pass) {
    std::vector<std::array<double, 4>> sums(centres.size(), {0.0, 0.0, 0.0, 0.0});
    for (std::size_t i = 0; i < colours.size(); ++i) {
      auto& s = sums[static_cast<std::size_t>(nearest[i])];
      for (int c = 0; c < 3; ++c) s[c] += keyChannel(colours[i].key, c) * static_cast<double>(colours[i].count);
      s[3] += colours[i].count;
    }
    for (std::size_t p = 0; p < centres.size(); ++p) {
      if (sums[p][3] <= 0.0) continue;
      for (int c = 0; c < 3; ++c) centres[p][c] = static_cast<int>(std::floor(sums[p][c] / sums[p][3] + 0.5));
    }
    assign();
  }
  formats::IndexedImage image;
  image.width = width;
  image.height = height;
  image.palette = options.fixed;
  for (int i = options.reserved; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) image.palette[i * 3 + c] = 0;
  }
  for (std::size_t p = 0; p < centres.size(); ++p) {
    const std::size_t entry = options.reserved + p;
    for (int c = 0; c < 3; ++c) image.palette[entry * 3 + c] = levelToByte(centres[p][c]);
  }
  std::vector<std::uint8_t> keyToEntry(1U << 18U, 0);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    keyToEntry[colours[i].key] = static_cast<std::uint8_t>(options.reserved + nearest[i]);
  }
  image.indices.resize(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) image.indices[i] = keyToEntry[keys[i]];
  return image;
}

std::vector<std::uint32_t> loadedPixels(const formats::IndexedImage& image) {
  std::vector<std::uint32_t> out(image.indices.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t e = image.indices[i] * 3U;
    out[i] = static_cast<std::uint32_t>(image.palette[e] >> 2U) << 16U |
             static_cast<std::uint32_t>(image.palette[e + 1] >> 2U) << 8U |
             static_cast<std::uint32_t>(image.palette[e + 2] >> 2U);
  }
  return out;
}

}  // namespace tolvarin::gen
