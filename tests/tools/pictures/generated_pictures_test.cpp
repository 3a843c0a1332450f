// The fourteen pictures and the font sheet as files: they load through the
// demo's loader at the size and kind each scene relies on, come out
// byte-identical on every run, and have the properties the scenes need
// (reliefs with bounded slopes, a tunnel texture that tiles, pictures that
// match their reliefs, a logo the rotating zoom repeats whole). Only the
// pinning test runs the generator; the others read the files the build
// generated into the data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "assets/picture.h"
#include "gen/generated_file.h"
#include "support/fnv1a.h"

namespace tolvarin::gen {
namespace {

struct Expected {
  const char* name;
  int width;
  int height;
  bool paletted;
  std::uint64_t fnv1a;  // FNV-1a 64 of the file's bytes
};

// Pinned hashes: a change here means the pictures changed. The files that
// carry lettering depend on the FreeType and DejaVu versions as well
// (Debian 12: FreeType 2.12.1, DejaVu 2.37).
constexpr Expected kExpected[] = {
    {data::quarnel.name, 320, 240, true, 0x7ec8634ffab53889ULL},   {data::qxMap1.name, 320, 240, true, 0x7eb9c527a6433c3fULL},
    {data::qx.name, 320, 240, true, 0xf56e5279d02b8476ULL},        {data::hofobia.name, 320, 240, true, 0x1dea2a4f0b6766d4ULL},
    {data::hofobia2.name, 320, 240, true, 0x6fdfce5085028cb1ULL},  {data::ojs.name, 320, 240, false, 0xd43b179665221846ULL},
    {data::alone.name, 320, 240, false, 0x57914f1d8c305a7aULL},    {data::wave.name, 320, 240, false, 0xf3a1262f9171d975ULL},
    {data::metal.name, 320, 240, false, 0x3a7d49ed4613ac22ULL},    {data::ellas.name, 320, 480, true, 0x62afeb931987018cULL},
    {data::ellasMap.name, 320, 480, true, 0x147197e081d9aa0dULL},  {data::tunel.name, 256, 256, false, 0x5f975f6e85a640cfULL},
    {data::creds.name, 320, 240, false, 0x35dab2cd4abd45d1ULL},    {data::fontSheet.name, 320, 128, true, 0xed542c3018490deULL},
};

using testing::fnv1a;

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files of the data folder, loaded once per test process.
struct DataFiles {
  std::map<std::string, std::vector<std::uint8_t>> bytes;
  std::map<std::string, Picture> pictures;
  DataFiles() {
    for (const Expected& e : kExpected) {
      std::vector<std::uint8_t> b = readFile(std::filesystem::path(TOLVARIN_TEST_DATA_DIR) / e.name);
      Picture p;
      if (!b.empty() && p.loadFromMemory(b.data(), b.size())) pictures.emplace(e.name, std::move(p));
      bytes.emplace(e.name, std::move(b));
    }
  }
  const Picture& operator[](const std::string& name) const { return pictures.at(name); }
};

const DataFiles& data() {
  static const DataFiles d;
  return d;
}

int channel(Pixel p, int c) { return static_cast<int>((p >> (16 - 8 * c)) & 0xFFU); }

Pixel at(const Picture& p, int x, int y) { return p.pixels[static_cast<std::size_t>(y) * p.width + x]; }

TEST(GeneratedPictures, EveryFileLoadsWithItsSizeAndKind) {
  const DataFiles& d = data();
  for (const Expected& e : kExpected) {
    ASSERT_EQ(d.pictures.count(e.name), 1U) << e.name << " does not load";
    const Picture& p = d[e.name];
    EXPECT_EQ(p.width, e.width) << e.name;
    EXPECT_EQ(p.height, e.height) << e.name;
    // The plane count in the header decides the kind.
    EXPECT_EQ(d.bytes.at(e.name)[65], e.paletted ? 1 : 3) << e.name;
    int brightest = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(p.width) * p.height; ++k) {
      for (int c = 0; c < 3; ++c) brightest = std::max(brightest, channel(p.pixels[k], c));
    }
    if (e.paletted) {
      EXPECT_LE(brightest, 63) << e.name;
      EXPECT_GE(brightest, 50) << e.name << " uses too little of the 6-bit range";
    } else {
      EXPECT_GE(brightest, 200) << e.name;
    }
  }
}

// The generator's output, twice in one process, equals the files a separate
// run of the build wrote and the pinned hashes.
TEST(GeneratedPictures, BytesArePinnedAndRepeatable) {
  const std::vector<GeneratedFile> files = generatePictures();
  ASSERT_EQ(files.size(), std::size(kExpected));
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].name, kExpected[i].name);
    EXPECT_EQ(files[i].bytes, data().bytes.at(kExpected[i].name)) << files[i].name << " differs from the data folder's";
    EXPECT_EQ(fnv1a(files[i].bytes), kExpected[i].fnv1a)
        << files[i].name << " hash 0x" << std::hex << fnv1a(files[i].bytes);
  }
}

// Largest difference between horizontal and vertical neighbours two pixels
// apart (what bumpLight compares), and whether every pixel carries its
// height as the relief palette does: in full in red, 13/16 of it in green and
// 10/16 in blue.
struct ReliefStats {
  int steepest = 0;
  bool tinted = true;
};

ReliefStats reliefStats(const Picture& p) {
  ReliefStats s;
  for (int y = 1; y + 1 < p.height; ++y) {
    for (int x = 1; x + 1 < p.width; ++x) {
      const Pixel c = at(p, x, y);
      const int h = channel(c, 0);
      if (channel(c, 1) != (h * 13 + 8) / 16 || channel(c, 2) != (h * 10 + 8) / 16) s.tinted = false;
      s.steepest = std::max(s.steepest, std::abs(channel(at(p, x - 1, y), 0) - channel(at(p, x + 1, y), 0)));
      s.steepest = std::max(s.steepest, std::abs(channel(at(p, x, y - 1), 0) - channel(at(p, x, y + 1), 0)));
    }
  }
  return s;
}

TEST(GeneratedPictures, ReliefsHaveStrongBevelsWithoutCliffs) {
  for (const char* name : {data::qxMap1.name, data::ellasMap.name}) {
    const ReliefStats s = reliefStats(data()[name]);
    EXPECT_TRUE(s.tinted) << name;
    // The light moves by as many pixels as the height differs: bevels bend
    // it well into the spot, but no edge tears it apart.
    EXPECT_GE(s.steepest, 20) << name;
    EXPECT_LE(s.steepest, 40) << name;
  }
}

// Mean brightness of `picture` where the relief is high and where it is flat
// ground: the picture's subject sits on the relief's raised parts.
void expectSubjectOnRelief(const Picture& picture, const Picture& relief, const char* what) {
  double raised = 0.0;
  double flat = 0.0;
  int raisedCount = 0;
  int flatCount = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const int h = channel(at(relief, x, y), 0);
      const Pixel c = at(picture, x, y);
      const double luma = channel(c, 0) + channel(c, 1) + channel(c, 2);
      if (h >= 30) {
        raised += luma;
        ++raisedCount;
      } else if (h <= 4) {
        flat += luma;
        ++flatCount;
      }
    }
  }
  ASSERT_GT(raisedCount, 1000) << what;
  ASSERT_GT(flatCount, 1000) << what;
  EXPECT_GT(raised / raisedCount, 1.8 * flat / flatCount) << what;
}

TEST(GeneratedPictures, PicturesMatchTheirReliefs) {
  expectSubjectOnRelief(data()[data::quarnel.name], data()[data::qxMap1.name], "quarnel.g on qxmap1.g");
  expectSubjectOnRelief(data()[data::qx.name], data()[data::qxMap1.name], "qx.g on qxmap1.g");
  expectSubjectOnRelief(data()[data::ellas.name], data()[data::ellasMap.name], "ellas.g on ellasmap.g");
}

// Mean absolute channel difference between columns (or rows) a and b.
double lineDifference(const Picture& p, int a, int b, bool columns) {
  double sum = 0.0;
  const int n = columns ? p.height : p.width;
  for (int i = 0; i < n; ++i) {
    const Pixel pa = columns ? at(p, a, i) : at(p, i, a);
    const Pixel pb = columns ? at(p, b, i) : at(p, i, b);
    for (int c = 0; c < 3; ++c) sum += std::abs(channel(pa, c) - channel(pb, c));
  }
  return sum / (3.0 * n);
}

// The seam across the wrap (last line against first) must look like the
// other pairs of neighbouring lines at the same place in the pattern, whose
// period is `period` lines (1 for a pattern without one).
void expectTiles(const Picture& p, bool columns, int period, double tolerance, const char* what) {
  const int n = columns ? p.width : p.height;
  double inner = 0.0;
  int pairs = 0;
  for (int i = period - 1; i + 1 < n; i += period) {
    inner += lineDifference(p, i, i + 1, columns);
    ++pairs;
  }
  inner /= pairs;
  const double seam = lineDifference(p, n - 1, 0, columns);
  EXPECT_LE(seam, inner * tolerance) << what << (columns ? " left-right" : " top-bottom") << " seam " << seam
                                     << " against " << inner;
  // And the seam is not hidden by the picture being flat.
  EXPECT_GT(inner, 1.0) << what;
}

TEST(GeneratedPictures, TunnelTextureTilesBothWays) {
  // Panels on a 64-pixel grid: the wrap is a panel seam like the others.
  expectTiles(data()[data::tunel.name], true, 64, 1.5, data::tunel.name);
  expectTiles(data()[data::tunel.name], false, 64, 1.5, data::tunel.name);
  // And no sharper than an average step anywhere in the texture.
  expectTiles(data()[data::tunel.name], true, 1, 4.0, data::tunel.name);
  expectTiles(data()[data::tunel.name], false, 1, 4.0, data::tunel.name);
}

TEST(GeneratedPictures, LogoTilesWhenZoomedOut) {
  expectTiles(data()[data::quarnel.name], true, 1, 2.0, data::quarnel.name);
  expectTiles(data()[data::quarnel.name], false, 1, 2.0, data::quarnel.name);
}

TEST(GeneratedPictures, FlashPictureBurnsWithoutWhitingOut) {
  // hofobia.g is shown once with every channel multiplied by 7: most of it
  // must keep its colour rather than clip to white.
  const Picture& p = data()[data::hofobia.name];
  int white = 0;
  int dark = 0;
  const int total = p.width * p.height;
  for (int k = 0; k < total; ++k) {
    const Pixel c = p.pixels[k];
    if (channel(c, 0) * 7 >= 255 && channel(c, 1) * 7 >= 255 && channel(c, 2) * 7 >= 255) ++white;
    if (channel(c, 0) * 7 < 40 && channel(c, 1) * 7 < 40 && channel(c, 2) * 7 < 40) ++dark;
  }
  EXPECT_LT(white, total / 4);
  EXPECT_LT(dark, total / 4);
}

TEST(GeneratedPictures, DialogueBandsStayDarkForLightText) {
  // The dialogue draws light (inverted) text near the top and the bottom of
  // ojs.g and alone.g: those bands must be darker than the pictures' middle.
  for (const char* name : {data::ojs.name, data::alone.name}) {
    const Picture& p = data()[name];
    auto bandLuma = [&](int y0, int y1) {
      double sum = 0.0;
      for (int y = y0; y < y1; ++y) {
        for (int x = 0; x < p.width; ++x) {
          const Pixel c = at(p, x, y);
          sum += channel(c, 0) + channel(c, 1) + channel(c, 2);
        }
      }
      return sum / (3.0 * p.width * (y1 - y0));
    };
    EXPECT_LT(bandLuma(12, 34), 90.0) << name << " top band";
    EXPECT_LT(bandLuma(198, 216), 90.0) << name << " bottom band";
  }
}

TEST(GeneratedPictures, FigureFillsEveryPanWindow) {
  // The prototype scene shows rows v..v+239 for v from 1 to 199, lit by a
  // spot that circles about 100 pixels round the middle: in every one of
  // those windows the figure and its relief must cover a good part of the
  // frame across most of its width, and stand out from the background.
  const Picture& picture = data()[data::ellas.name];
  const Picture& relief = data()[data::ellasMap.name];
  for (int v = 1; v <= 199; v += 6) {
    int raised = 0;
    int left = 320;
    int right = -1;
    double onFigure = 0.0;
    double onGround = 0.0;
    for (int y = v; y < v + 240; ++y) {
      for (int x = 0; x < relief.width; ++x) {
        const Pixel c = at(picture, x, y);
        const double luma = channel(c, 0) + channel(c, 1) + channel(c, 2);
        if (channel(at(relief, x, y), 0) >= 16) {
          ++raised;
          left = std::min(left, x);
          right = std::max(right, x);
          onFigure += luma;
        } else {
          onGround += luma;
        }
      }
    }
    EXPECT_GT(raised, 25000) << "window at row " << v;
    EXPECT_GT(right - left, 240) << "window at row " << v;
    EXPECT_GT(onFigure / raised, 2.0 * onGround / (320 * 240 - raised)) << "window at row " << v;
  }
}

TEST(GeneratedPictures, TunnelIsBrightEnoughForDimGreetings) {
  // Greetings are drawn plain, with channels of at most 63, over the tunnel:
  // the wall must be brighter than that nearly everywhere, so the letters
  // are the darkest thing in view and read at a glance.
  const Picture& p = data()[data::tunel.name];
  int brighter = 0;
  int nearInk = 0;
  for (int k = 0; k < p.width * p.height; ++k) {
    const Pixel c = p.pixels[k];
    const int luma = (channel(c, 0) + channel(c, 1) + channel(c, 2)) / 3;
    brighter += luma > 90 ? 1 : 0;
    nearInk += luma < 75 ? 1 : 0;
  }
  EXPECT_GT(brighter, p.width * p.height * 95 / 100);
  EXPECT_LT(nearInk, p.width * p.height / 100);
}

TEST(GeneratedPictures, LogoNameIsBrightOnTheReliefsHighestParts) {
  // The name stands on the top of the relief in all three logo pictures;
  // quarnel.g paints it in the top 6-bit levels, where it reads first while
  // the scene fades the logo in. It is centred, with room around it so the
  // zoomed-out tiles stay apart.
  const Picture& p = data()[data::quarnel.name];
  const Picture& relief = data()[data::qxMap1.name];
  int left = p.width;
  int right = -1;
  int top = p.height;
  int bottom = -1;
  double sum = 0.0;
  int count = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (channel(at(relief, x, y), 0) < 56) continue;
      const Pixel c = at(p, x, y);
      sum += (channel(c, 0) + channel(c, 1) + channel(c, 2)) / 3.0;
      ++count;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  ASSERT_GT(count, 1200);
  EXPECT_GT(sum / count, 46.0);
  EXPECT_NEAR((left + right) / 2.0, 160.0, 4.0);
  EXPECT_NEAR((top + bottom) / 2.0, 120.0, 4.0);
  EXPECT_GE(left, 16);
  EXPECT_LE(right, 303);
  EXPECT_GT(right - left, 230);
  EXPECT_GT(bottom - top, 28);
}

// Mean absolute channel difference over the pixel pairs (a, b) = pairs(i).
template <typename Pairs>
double pairDifference(const Picture& p, int n, Pairs pairs) {
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const auto [a, b] = pairs(i);
    for (int c = 0; c < 3; ++c) sum += std::abs(channel(p.pixels[a], c) - channel(p.pixels[b], c));
  }
  return sum / (3.0 * n);
}

TEST(GeneratedPictures, RotatingZoomRepeatsWholeLogos) {
  // rotoZoom reads the source as one run of 64000 pixels, rows 0..199: a
  // row's last column runs on into the next row's first, and below row 199
  // (past a gap) row 0 comes back 64 columns over. The logo must lie wholly
  // in rows 0..199, clear of the side columns, and the ground must run on
  // across both joins as it does between any two neighbouring pixels. Rows
  // 200..239, seen full-frame, carry on the ground's pattern.
  const Picture& relief = data()[data::qxMap1.name];
  int ground = 0;
  for (int x = 0; x < 320; ++x) ground = std::max(ground, channel(at(relief, x, 0), 0));
  EXPECT_LE(ground, 4);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      if (y < 200 && x >= 6 && x < 314) continue;
      ASSERT_LE(channel(at(relief, x, y), 0), ground) << "the logo reaches (" << x << ", " << y << ")";
    }
  }
  for (const char* name : {data::qx.name, data::qxMap1.name}) {
    const Picture& p = data()[name];
    // Neighbours on the ground alone: in the side columns, and in the rows above the logo.
    const double across = pairDifference(p, 199 * 10, [](int i) {
      const int x = i % 10 < 5 ? i % 10 : 309 + i % 10;
      return std::pair{i / 10 * 320 + x, i / 10 * 320 + x + 1};
    });
    const double down = pairDifference(p, 30 * 320, [](int i) { return std::pair{i, i + 320}; });
    const double rowJoin = pairDifference(p, 199, [](int y) { return std::pair{y * 320 + 319, (y + 1) * 320}; });
    const double wrapJoin = pairDifference(p, 256, [](int x) { return std::pair{199 * 320 + x, x + 64}; });
    EXPECT_LE(rowJoin, 1.5 * across + 0.5) << name << ": " << rowJoin << " against " << across;
    EXPECT_LE(wrapJoin, 1.5 * down + 0.5) << name << ": " << wrapJoin << " against " << down;
    const double below = pairDifference(p, 40 * 320, [](int i) { return std::pair{i, i + 200 * 320}; });
    EXPECT_LE(below, 0.5) << name << " rows 200..239 against rows 0..39";
  }
}

}  // namespace
}  // namespace tolvarin::gen
