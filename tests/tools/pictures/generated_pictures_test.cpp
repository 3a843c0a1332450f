// The fourteen pictures and the font sheet as files: they load through the
// demo's loader at the size and kind each scene relies on, come out
// byte-identical on every run, and have the properties the scenes need
// (grey reliefs with smooth bevels, a tunnel texture that tiles, pictures
// that match their reliefs).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "assets/picture.h"
#include "gen/generated_file.h"

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
    {"quarnel.g", 320, 240, true, 0x9c79d50261003046ULL},   {"qxmap1.g", 320, 240, true, 0xf3307c4a8b31d7d6ULL},
    {"qx.g", 320, 240, true, 0xd4e4d7e88b78c32aULL},        {"hofobia.g", 320, 240, true, 0x1dea2a4f0b6766d4ULL},
    {"hofobia2.g", 320, 240, true, 0x6fdfce5085028cb1ULL},  {"ojs.g", 320, 240, false, 0xd43b179665221846ULL},
    {"alone.g", 320, 240, false, 0x57914f1d8c305a7aULL},    {"wave.g", 320, 240, false, 0xf3a1262f9171d975ULL},
    {"metal.g", 320, 240, false, 0x3a7d49ed4613ac22ULL},    {"ellas.g", 320, 480, true, 0xab53988e18a14e78ULL},
    {"ellasmap.g", 320, 480, true, 0x22ffd55ef2ae1b0cULL},  {"tunel.g", 256, 256, false, 0x1e92aedc686c83d2ULL},
    {"creds.g", 320, 240, false, 0x35dab2cd4abd45d1ULL},    {"fuenteB.g", 320, 128, true, 0xed542c3018490deULL},
};

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (std::uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001B3ULL;
  }
  return h;
}

struct Generated {
  std::vector<GeneratedFile> files = generatePictures();
  std::map<std::string, Picture> pictures;
  Generated() {
    for (const GeneratedFile& f : files) {
      Picture p;
      if (p.loadFromMemory(f.bytes.data(), f.bytes.size())) pictures.emplace(f.name, std::move(p));
    }
  }
  const Picture& operator[](const std::string& name) const { return pictures.at(name); }
};

const Generated& generated() {
  static const Generated g;
  return g;
}

int channel(Pixel p, int c) { return static_cast<int>((p >> (16 - 8 * c)) & 0xFFU); }

Pixel at(const Picture& p, int x, int y) { return p.pixels[static_cast<std::size_t>(y) * p.width + x]; }

TEST(GeneratedPictures, EveryFileLoadsWithItsSizeAndKind) {
  const Generated& g = generated();
  ASSERT_EQ(g.files.size(), std::size(kExpected));
  for (std::size_t i = 0; i < g.files.size(); ++i) {
    const Expected& e = kExpected[i];
    EXPECT_EQ(g.files[i].name, e.name);
    ASSERT_EQ(g.pictures.count(e.name), 1U) << e.name << " does not load";
    const Picture& p = g[e.name];
    EXPECT_EQ(p.width, e.width) << e.name;
    EXPECT_EQ(p.height, e.height) << e.name;
    // The plane count in the header decides the kind.
    EXPECT_EQ(g.files[i].bytes[65], e.paletted ? 1 : 3) << e.name;
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

TEST(GeneratedPictures, BytesArePinnedAndRepeatable) {
  const Generated& g = generated();
  const std::vector<GeneratedFile> again = generatePictures();
  ASSERT_EQ(again.size(), g.files.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].bytes, g.files[i].bytes) << again[i].name << " differs between two runs";
    EXPECT_EQ(fnv1a(g.files[i].bytes), kExpected[i].fnv1a)
        << g.files[i].name << " hash 0x" << std::hex << fnv1a(g.files[i].bytes);
  }
}

// Largest difference between horizontal and vertical neighbours two pixels
// apart (what bumpLight compares), and whether the picture is grey.
struct ReliefStats {
  int steepest = 0;
  bool grey = true;
};

ReliefStats reliefStats(const Picture& p) {
  ReliefStats s;
  for (int y = 1; y + 1 < p.height; ++y) {
    for (int x = 1; x + 1 < p.width; ++x) {
      const Pixel c = at(p, x, y);
      if (channel(c, 0) != channel(c, 1) || channel(c, 1) != channel(c, 2)) s.grey = false;
      s.steepest = std::max(s.steepest, std::abs(channel(at(p, x - 1, y), 0) - channel(at(p, x + 1, y), 0)));
      s.steepest = std::max(s.steepest, std::abs(channel(at(p, x, y - 1), 0) - channel(at(p, x, y + 1), 0)));
    }
  }
  return s;
}

TEST(GeneratedPictures, ReliefsAreGreyWithSmoothBevels) {
  for (const char* name : {"qxmap1.g", "ellasmap.g"}) {
    const ReliefStats s = reliefStats(generated()[name]);
    EXPECT_TRUE(s.grey) << name;
    // Bevels bend the light visibly but never jump: no hard steps.
    EXPECT_GE(s.steepest, 8) << name;
    EXPECT_LE(s.steepest, 24) << name;
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
  expectSubjectOnRelief(generated()["qx.g"], generated()["qxmap1.g"], "qx.g on qxmap1.g");
  expectSubjectOnRelief(generated()["ellas.g"], generated()["ellasmap.g"], "ellas.g on ellasmap.g");
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
  expectTiles(generated()["tunel.g"], true, 64, 1.5, "tunel.g");
  expectTiles(generated()["tunel.g"], false, 64, 1.5, "tunel.g");
  // And no sharper than an average step anywhere in the texture.
  expectTiles(generated()["tunel.g"], true, 1, 4.0, "tunel.g");
  expectTiles(generated()["tunel.g"], false, 1, 4.0, "tunel.g");
}

TEST(GeneratedPictures, LogoTilesWhenZoomedOut) {
  expectTiles(generated()["quarnel.g"], true, 1, 2.0, "quarnel.g");
  expectTiles(generated()["quarnel.g"], false, 1, 2.0, "quarnel.g");
}

TEST(GeneratedPictures, FlashPictureBurnsWithoutWhitingOut) {
  // hofobia.g is shown once with every channel multiplied by 7: most of it
  // must keep its colour rather than clip to white.
  const Picture& p = generated()["hofobia.g"];
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
  for (const char* name : {"ojs.g", "alone.g"}) {
    const Picture& p = generated()[name];
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
  // The prototype scene shows rows v..v+239 for v from 1 to 199: the figure
  // and its relief must be in view in every one of those windows.
  const Picture& relief = generated()["ellasmap.g"];
  for (int v = 1; v <= 199; v += 6) {
    int raised = 0;
    for (int y = v; y < v + 240; ++y) {
      for (int x = 0; x < relief.width; ++x) raised += channel(at(relief, x, y), 0) >= 30 ? 1 : 0;
    }
    EXPECT_GT(raised, 2000) << "window at row " << v;
  }
}

TEST(GeneratedPictures, TunnelIsBrightEnoughForDimGreetings) {
  // Greetings are drawn plain, with channels of at most 63, over the tunnel:
  // the wall must be mostly brighter than that for the letters to read.
  const Picture& p = generated()["tunel.g"];
  int brighter = 0;
  for (int k = 0; k < p.width * p.height; ++k) {
    const Pixel c = p.pixels[k];
    brighter += (channel(c, 0) + channel(c, 1) + channel(c, 2)) / 3 > 90 ? 1 : 0;
  }
  EXPECT_GT(brighter, p.width * p.height * 6 / 10);
}

TEST(GeneratedPictures, LogoIsCentredWithRoomAround) {
  // The bright letters of quarnel.g: centred, clear of the edges so the
  // zoomed-out tiles stay apart.
  const Picture& p = generated()["quarnel.g"];
  int left = p.width;
  int right = -1;
  int top = p.height;
  int bottom = -1;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const Pixel c = at(p, x, y);
      if (channel(c, 0) + channel(c, 1) + channel(c, 2) < 120) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_NEAR((left + right) / 2.0, 160.0, 4.0);
  EXPECT_NEAR((top + bottom) / 2.0, 120.0, 6.0);
  EXPECT_GE(left, 16);
  EXPECT_LE(right, 303);
  EXPECT_GT(right - left, 200);
  EXPECT_GT(bottom - top, 30);
}

}  // namespace
}  // namespace tolvarin::gen
