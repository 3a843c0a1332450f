// ellas.g and ellasmap.g: a tall, stylised woman of the planet Quarnel,
// 320 x 480, which the prototype text scene pans up and down under the bump
// light. Elongated fashion-plate proportions: an elongated crowned head in a
// golden halo, long hair, four veined wings spreading across the whole width
// behind her (so the circling light finds her wherever it goes), a long gown
// with folds fanning from the waist to a wide hem, an art-deco sunburst
// behind. ellasmap.g is her relief: every part a rounded volume with short
// bevels, the veins and folds as ridges, the background's rays as a faint
// ripple, so the light spot bends along her shape.
#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "lighting.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "shapes.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 480;
constexpr double kCx = 160.0;
constexpr double kHeadY = 80.0;

struct FigureSample {
  double skin;    // head, neck, shoulders, arms (signed distances, < 0 inside)
  double gown;
  double hair;
  double gold;    // crown, collar and belt
  double halo;    // the golden ring behind the head
  double eyes;
  double wing;    // the four wings behind her
  double vein;    // 0..1, the ridges of the wings' veins
};

// Half the gown's width at row y: bodice, narrow waist, hips, then a long
// flare to the hem.
double gownHalfWidth(double y) {
  if (y < 215.0) return mix(19.0, 12.5, smoothstep(165.0, 215.0, y));
  if (y < 262.0) return mix(12.5, 24.0, smoothstep(215.0, 262.0, y));
  const double t = (y - 262.0) / 212.0;
  return 24.0 + 62.0 * t * t + 34.0 * t;
}

// A lock of hair: a tapered chain through five points, waving as it falls.
struct Lock {
  Vec2 points[5];
  double boxX0, boxX1, boxY0, boxY1;  // bounds with a margin
};

constexpr double kFar = 24.0;  // distances beyond this are never looked at closely

Lock makeLock(double side, double spread, double length, double phase) {
  Lock lock{};
  lock.boxX0 = lock.boxY0 = 1.0e9;
  lock.boxX1 = lock.boxY1 = -1.0e9;
  for (int i = 0; i < 5; ++i) {
    const double t = i / 4.0;
    lock.points[i] = {kCx + side * (8.0 + spread * t + 4.0 * detSin(t * 6.0 + phase) * t),
                      kHeadY - 14.0 + length * t};
    lock.boxX0 = std::min(lock.boxX0, lock.points[i].x - 11.0 - kFar);
    lock.boxX1 = std::max(lock.boxX1, lock.points[i].x + 11.0 + kFar);
    lock.boxY0 = std::min(lock.boxY0, lock.points[i].y - 11.0 - kFar);
    lock.boxY1 = std::max(lock.boxY1, lock.points[i].y + 11.0 + kFar);
  }
  return lock;
}

double lockDistance(const Lock& lock, double x, double y) {
  if (x < lock.boxX0 || x > lock.boxX1 || y < lock.boxY0 || y > lock.boxY1) return kFar;
  double d = 1.0e9;
  for (int i = 0; i < 4; ++i) {
    const double r0 = mix(11.0, 2.0, i / 4.0);
    const double r1 = mix(11.0, 2.0, (i + 1) / 4.0);
    d = std::min(d, sdTaperedCapsule(x, y, lock.points[i], lock.points[i + 1], r0, r1));
  }
  return d;
}

const std::vector<Lock>& hairLocks() {
  static const std::vector<Lock> locks = [] {
    std::vector<Lock> out;
    for (double side : {-1.0, 1.0}) {
      out.push_back(makeLock(side, 22.0, 150.0, 0.0 + side));
      out.push_back(makeLock(side, 30.0, 175.0, 1.7 + side));
      out.push_back(makeLock(side, 14.0, 190.0, 3.1 - side));
    }
    return out;
  }();
  return locks;
}

// A wing: a long leaf from its root at the shoulder blade to its tip, widest
// a little past the middle, with veins running along it that fan out as it
// widens.
struct Wing {
  Vec2 root;
  Vec2 tip;
  double halfWidth;
};

constexpr Wing kWings[] = {
    {{kCx - 14.0, 150.0}, {kCx - 146.0, 26.0}, 30.0},  {{kCx + 14.0, 150.0}, {kCx + 146.0, 26.0}, 30.0},
    {{kCx - 14.0, 185.0}, {kCx - 128.0, 336.0}, 26.0}, {{kCx + 14.0, 185.0}, {kCx + 128.0, 336.0}, 26.0},
};

void wingAt(const Wing& w, double x, double y, double& distance, double& vein) {
  const double ax = w.tip.x - w.root.x;
  const double ay = w.tip.y - w.root.y;
  const double len = length(ax, ay);
  const double ux = ax / len;
  const double uy = ay / len;
  const double along = (x - w.root.x) * ux + (y - w.root.y) * uy;
  const double across = -(x - w.root.x) * uy + (y - w.root.y) * ux;
  const double t = along / len;
  const double tc = clamp01(t);
  // Half width along the wing: 0 at both ends, broadest at t = 0.6.
  const double profile = tc < 0.6 ? detSin(kPi * 0.5 * tc / 0.6) : detCos(kPi * 0.5 * (tc - 0.6) / 0.4);
  const double half = 2.0 + w.halfWidth * std::sqrt(std::max(0.0, profile));
  const double d = std::fabs(across) - half + std::fabs(t - tc) * len;
  if (d < distance) {
    distance = d;
    // Three veins along the wing, spread across its width.
    double v = 0.0;
    for (double k : {-0.55, 0.0, 0.55}) {
      v = std::max(v, 1.0 - smoothstep(0.0, 2.2, std::fabs(across - k * (half - 2.0))));
    }
    // A cross vein.
    for (double c : {0.62}) v = std::max(v, 1.0 - smoothstep(0.0, 2.0, std::fabs(along - c * len)));
    vein = v * (1.0 - smoothstep(-4.0, 0.0, d));
  }
}

FigureSample figureAt(double x, double y) {
  FigureSample s{kFar, kFar, kFar, kFar, kFar, kFar, kFar, 0.0};
  for (const Wing& w : kWings) wingAt(w, x, y, s.wing, s.vein);
  // The halo, the head and the arms all lie inside this box.
  const bool upper = std::fabs(x - kCx) < 60.0 + kFar && y < 290.0 + kFar;
  const double half = gownHalfWidth(y);
  const double neckline = 146.0 + 14.0 * (1.0 - std::min(1.0, std::fabs(x - kCx) / 15.0));
  const double gown = std::max(std::fabs(x - kCx) - half, std::max(neckline - y, y - 474.0));
  s.gown = std::min(gown, sdBox(x, y, kCx, 469.0, gownHalfWidth(469.0) - 1.0, 5.0, 4.0));
  if (!upper) return s;
  // Head: an elongated skull, longer at the back and top.
  double head = sdEllipse(x, y, kCx, kHeadY, 13.5, 19.0);
  head = smoothUnion(head, sdEllipse(x, y, kCx, kHeadY - 14.0, 11.5, 15.0), 4.0);
  const double neck = sdCapsule(x, y, {kCx, kHeadY + 14.0}, {kCx, 128.0}, 5.0);
  // Sloping shoulders: two capsules down from the base of the neck.
  const double shoulders = std::min(sdTaperedCapsule(x, y, {kCx - 4.0, 129.0}, {kCx - 27.0, 139.0}, 7.5, 6.0),
                                    sdTaperedCapsule(x, y, {kCx + 4.0, 129.0}, {kCx + 27.0, 139.0}, 7.5, 6.0));
  const double chest = sdTaperedCapsule(x, y, {kCx, 138.0}, {kCx, 160.0}, 15.0, 14.0);
  double body = smoothUnion(head, neck, 4.0);
  body = smoothUnion(body, smoothUnion(shoulders, chest, 6.0), 6.0);
  // Arms: the left hangs by her side, the right rests its hand on the hip.
  const double lu = sdTaperedCapsule(x, y, {kCx - 28.0, 141.0}, {kCx - 37.0, 206.0}, 5.5, 4.3);
  const double lf = sdTaperedCapsule(x, y, {kCx - 37.0, 206.0}, {kCx - 31.0, 268.0}, 4.3, 3.0);
  const double lh = sdEllipse(x, y, kCx - 30.0, 278.0, 4.0, 8.5);
  const double ru = sdTaperedCapsule(x, y, {kCx + 28.0, 141.0}, {kCx + 41.0, 200.0}, 5.5, 4.3);
  const double rf = sdTaperedCapsule(x, y, {kCx + 41.0, 200.0}, {kCx + 24.0, 249.0}, 4.3, 3.2);
  const double rh = sdEllipse(x, y, kCx + 20.0, 252.0, 6.5, 4.0);
  const double arms = std::min(smoothUnion(smoothUnion(lu, lf, 2.0), lh, 2.0),
                               smoothUnion(smoothUnion(ru, rf, 2.0), rh, 2.0));
  s.skin = std::min(body, arms);
  // Hair: three locks a side falling behind the shoulders.
  double hair = kFar;
  for (const Lock& l : hairLocks()) hair = std::min(hair, lockDistance(l, x, y));
  s.hair = smoothUnion(hair, sdEllipse(x, y, kCx, kHeadY - 16.0, 15.0, 17.0), 6.0);
  // The gown has a V neckline and a rounded hem (set above). Gold: a fan of three spikes over the brow, a collar, a belt.
  double gold = sdEllipse(x, y, kCx, kHeadY - 27.0, 14.0, 3.5);
  for (double dx : {-13.0, 0.0, 13.0}) {
    gold = smoothUnion(gold, sdTaperedCapsule(x, y, {kCx + dx * 0.4, kHeadY - 28.0}, {kCx + dx, kHeadY - 58.0 + std::fabs(dx) * 0.6}, 3.5, 1.2), 2.0);
  }
  const double collar = std::fabs(sdEllipse(x, y, kCx, 121.0, 13.0, 11.0)) - 1.8;
  gold = std::min(gold, y > 121.0 ? collar : 1.0e9);
  gold = std::min(gold, sdBox(x, y, kCx, 214.0, gownHalfWidth(214.0) + 1.0, 2.6, 1.0));
  s.gold = gold;
  s.halo = std::fabs(length(x - kCx, y - (kHeadY - 8.0)) - 54.0) - 4.5;
  // Eyes: two long slanted almonds.
  double eyes = 1.0e9;
  for (double side : {-1.0, 1.0}) {
    const double ex = x - (kCx + side * 6.0);
    const double ey = y - (kHeadY + 1.0) + side * 0.35 * ex;
    eyes = std::min(eyes, sdEllipse(ex, ey, 0.0, 0.0, 4.6, 1.5));
  }
  s.eyes = eyes;
  return s;
}

// The background's sunburst: rays from behind the head, in 0..1.
double sunburst(double x, double y) {
  const double a = detAtan2(y - kHeadY, x - kCx);
  const double ray = 0.5 + 0.5 * detCos(a * 24.0);
  return ray * smoothstep(60.0, 90.0, length(x - kCx, y - kHeadY));
}

// Height of the relief at a point, 0..1. Short bevels and high parts: the
// light bends visibly along every outline, the veins of the wings and the
// folds of the gown.
double reliefAt(const FigureSample& s, double x, double y) {
  double h = 0.0;
  h = std::max(h, 0.32 * softBevel(s.wing, 4.0) + 0.2 * s.vein);
  h = std::max(h, 0.5 * softBevel(s.halo, 2.5));
  const double hair = 0.5 * softBevel(s.hair, 5.0) +
                      0.07 * detSin(x * 1.1 + 0.2 * y) * softBevel(s.hair, 4.0);
  h = std::max(h, hair);
  // The gown: a rounded volume with folds fanning out from the waist.
  const double half = gownHalfWidth(y);
  const double u = (x - kCx) / half;
  const double folds = detSin(u * kPi * 5.0) * smoothstep(230.0, 440.0, y);
  const double gown = softBevel(s.gown, 8.0) * (0.68 + 0.14 * folds);
  h = std::max(h, gown);
  const double skin = 0.86 * softBevel(s.skin, 6.0) - 0.14 * (1.0 - smoothstep(-1.5, 0.5, s.eyes));
  h = std::max(h, skin);
  h = std::max(h, 0.96 * softBevel(s.gold, 3.5));
  return h;
}

struct FigurePicture {
  Field height;
  Canvas colour;
};

FigurePicture paintFigure() {
  FigurePicture out{Field(kWidth, kHeight), Canvas(kWidth, kHeight)};
  std::vector<FigureSample> samples(static_cast<std::size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      // Four samples per pixel: their mean height, and their mean distances
      // standing in for the pixel centre's.
      double h = 0.0;
      FigureSample mean{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
      for (int k = 0; k < 4; ++k) {
        const double px = x + 0.25 + 0.5 * (k & 1);
        const double py = y + 0.25 + 0.5 * (k >> 1);
        const FigureSample f = figureAt(px, py);
        h += 0.25 * reliefAt(f, px, py);
        mean = {mean.skin + 0.25 * f.skin, mean.gown + 0.25 * f.gown, mean.hair + 0.25 * f.hair,
                mean.gold + 0.25 * f.gold, mean.halo + 0.25 * f.halo, mean.eyes + 0.25 * f.eyes,
                mean.wing + 0.25 * f.wing, mean.vein + 0.25 * f.vein};
      }
      out.height.at(x, y) = h + 0.07 * sunburst(x + 0.5, y + 0.5);
      samples[static_cast<std::size_t>(y) * kWidth + x] = mean;
    }
  }
  boxBlur(out.height, 1, 1);
  const Vec3 light{-0.45, 0.55, 0.7};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const FigureSample& s = samples[static_cast<std::size_t>(y) * kWidth + x];
      const Vec3 n = normalAt(out.height, x, y, 60.0);
      const double lit = diffuse(n, light);
      const double shine = specular(n, light, 20.0);
      // Background: deep teal to violet, the sunburst and a glow round the head.
      const double t = py / kHeight;
      Rgb c = mixRgb(hexRgb(0x081828), hexRgb(0x180A28), t);
      c = c + hexRgb(0x183850) * (0.5 * sunburst(px, py) * (1.0 - smoothstep(100.0, 420.0, py)));
      c = c + hexRgb(0x6040A0) * (0.6 * detExp(-length(px - kCx, py - kHeadY) / 70.0));
      // The wings: iridescent membranes, teal at the root through violet to
      // gold at the tips, veined in bright gold, the rays showing through.
      const double wingT = clamp01(length(px - kCx, py - 165.0) / 150.0);
      Rgb membrane = gradientAt({{0.0, hexRgb(0x20A0A8)}, {0.5, hexRgb(0x8050E0)}, {1.0, hexRgb(0xF0C060)}}, wingT);
      membrane = membrane * (0.35 + 0.7 * lit) + Rgb{0.8, 1.0, 1.0} * (0.5 * shine);
      membrane = mixRgb(membrane, hexRgb(0xFFE8A0) * (0.6 + 0.5 * lit), 0.85 * s.vein);
      blend(c, membrane, 0.88 * coverage(s.wing));
      const double shadow = 1.0 - 0.5 * (1.0 - smoothstep(-2.0, 12.0, std::min({s.skin, s.gown, s.hair}) - 4.0));
      c = c * shadow;
      const Rgb gold = mixRgb(hexRgb(0x604010), hexRgb(0xFFE090), lit) + Rgb{1.0, 0.9, 0.6} * (0.7 * shine);
      blend(c, gold, coverage(s.halo));
      // Hair: dark teal with fine strands.
      const double strands = 0.5 + 0.5 * detSin(px * 1.3 + 0.15 * py + 2.0 * fbm(px / 12.0, py / 30.0, 77U, {3, 0.5, {}}));
      const Rgb hair = mixRgb(hexRgb(0x062028), hexRgb(0x40B0A8), lit * (0.6 + 0.4 * strands)) + Rgb{0.6, 1.0, 0.9} * (0.4 * shine);
      blend(c, hair, coverage(s.hair));
      // Gown: violet silk with a bright sheen on the folds.
      const Rgb gown = mixRgb(hexRgb(0x1A0C38), hexRgb(0x9068F0), lit) + Rgb{0.8, 0.7, 1.0} * (0.6 * shine);
      blend(c, gown, coverage(s.gown));
      // Skin: pale lilac silver.
      Rgb skin = mixRgb(hexRgb(0x403050), hexRgb(0xE8D8F0), lit) + Rgb{1.0, 1.0, 1.0} * (0.5 * shine);
      skin = mixRgb(skin, hexRgb(0x100818), 1.0 - smoothstep(-0.5, 0.5, s.eyes));
      blend(c, skin, coverage(s.skin));
      blend(c, gold, coverage(s.gold));
      out.colour.at(x, y) = clampRgb(c);
    }
  }
  return out;
}

}  // namespace

PicturePair makeEllasPair() {
  const FigurePicture figure = paintFigure();
  return {quantise(figure.colour), indexFromField(figure.height, reliefLevels(), 0, 63, false)};
}

}  // namespace tolvarin::gen
