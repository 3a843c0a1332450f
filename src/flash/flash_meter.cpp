#include "flash/flash_meter.h"

#include <algorithm>
#include <cstdio>

namespace tolvarin {
namespace {

// sRGB component 0..255 decoded to linear light, in units of 1/10000.
constexpr std::uint16_t kLinear[256] = {
    0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 37, 40, 44, 48,
    52, 56, 60, 65, 70, 75, 80, 86, 91, 97, 103, 110, 116, 123, 130, 137,
    144, 152, 160, 168, 176, 185, 194, 203, 212, 222, 232, 242, 252, 262, 273, 284,
    296, 307, 319, 331, 343, 356, 369, 382, 395, 409, 423, 437, 452, 467, 482, 497,
    513, 529, 545, 561, 578, 595, 612, 630, 648, 666, 685, 704, 723, 742, 762, 782,
    802, 823, 844, 865, 887, 908, 931, 953, 976, 999, 1022, 1046, 1070, 1095, 1119, 1144,
    1170, 1195, 1221, 1248, 1274, 1301, 1329, 1356, 1384, 1413, 1441, 1470, 1500, 1529, 1559, 1590,
    1620, 1651, 1683, 1714, 1746, 1779, 1812, 1845, 1878, 1912, 1946, 1981, 2016, 2051, 2086, 2122,
    2159, 2195, 2232, 2270, 2307, 2346, 2384, 2423, 2462, 2502, 2542, 2582, 2623, 2664, 2705, 2747,
    2789, 2831, 2874, 2918, 2961, 3005, 3050, 3095, 3140, 3185, 3231, 3278, 3325, 3372, 3419, 3467,
    3515, 3564, 3613, 3663, 3712, 3763, 3813, 3864, 3916, 3968, 4020, 4072, 4125, 4179, 4233, 4287,
    4342, 4397, 4452, 4508, 4564, 4621, 4678, 4735, 4793, 4851, 4910, 4969, 5029, 5089, 5149, 5210,
    5271, 5333, 5395, 5457, 5520, 5583, 5647, 5711, 5776, 5841, 5906, 5972, 6038, 6105, 6172, 6240,
    6308, 6376, 6445, 6514, 6584, 6654, 6724, 6795, 6867, 6939, 7011, 7084, 7157, 7231, 7305, 7379,
    7454, 7529, 7605, 7682, 7758, 7835, 7913, 7991, 8070, 8148, 8228, 8308, 8388, 8469, 8550, 8632,
    8714, 8796, 8879, 8963, 9047, 9131, 9216, 9301, 9387, 9473, 9560, 9647, 9734, 9823, 9911, 10000,
};

constexpr std::uint32_t kStep = kLuminanceOne / 10;            // a change of 0.1
constexpr std::uint32_t kDarkLimit = kLuminanceOne / 10 * 8;   // the darker state under 0.8
constexpr int kQuarter = kFramePixels / 4;
constexpr int kEighth = kFramePixels / 8;

}  // namespace

std::uint32_t relativeLuminance(Pixel pixel) {
  return 2126u * kLinear[(pixel >> 16) & 0xFF] + 7152u * kLinear[(pixel >> 8) & 0xFF] + 722u * kLinear[pixel & 0xFF];
}

bool FrameChange::rise() const { return risen >= kQuarter && risen >= fallen + kEighth; }
bool FrameChange::fall() const { return fallen >= kQuarter && fallen >= risen + kEighth; }

FlashMeter::FlashMeter()
    : last_(kFramePixels, 0),
      turn_(kFramePixels, 0),
      direction_(kFramePixels, 0),
      riseAt_(kFramePixels, 0),
      fallAt_(kFramePixels, 0),
      scratch_(kFramePixels) {
  thresholds(0, kFramePixels);
}

void luminanceOf(const Pixel* frame, std::uint32_t* out) {
  for (int i = 0; i < kFramePixels; ++i) out[i] = relativeLuminance(frame[i]);
}

namespace {

constexpr std::int32_t kStepSigned = static_cast<std::int32_t>(kStep);
constexpr std::int32_t kDarkLimitSigned = static_cast<std::int32_t>(kDarkLimit);
constexpr std::int32_t kNever = 0x7FFFFFFF;  // a riseAt no luminance reaches

// A pixel's present rise or fall once it shows `now`: a turn (a rise after
// a fall, or the reverse) starts a new one from the frame before. Written
// without branches, so the loops over the frame vectorise.
struct Run {
  std::int32_t turn;
  std::int32_t direction;
};

inline Run runOf(std::int32_t last, std::int32_t turn, std::int32_t direction, std::int32_t now) {
  const bool rising = now > last && direction <= 0;
  const bool falling = now < last && direction >= 0;
  return {rising || falling ? last : turn, rising ? 1 : (falling ? -1 : direction)};
}

}  // namespace

// The rule itself, pixel by pixel: where each pixel's run would be with
// `now`, and whether it has risen or fallen far enough.
FrameChange FlashMeter::measureByRuns(const std::uint32_t* luminance) const {
  int risen = 0;
  int fallen = 0;
  for (std::size_t i = 0; i < kFramePixels; ++i) {
    const auto now = static_cast<std::int32_t>(luminance[i]);
    const Run run = runOf(last_[i], turn_[i], direction_[i], now);
    risen += (run.direction > 0) & (now - run.turn >= kStepSigned) & (run.turn < kDarkLimitSigned);
    fallen += (run.direction < 0) & (run.turn - now >= kStepSigned) & (now < kDarkLimitSigned);
  }
  return FrameChange{risen, fallen};
}

namespace {

// The same rule solved for `now` ahead of time, after each frame: a pixel
// will have risen far enough at riseAt or more, fallen at fallAt or less.
//   rising now: a fall turns it at `last`, so it has fallen at last - 0.1
//     (the darker state, now, under 0.8); it has risen at turn + 0.1 and not
//     below last (the rise must go on), turn under 0.8;
//   falling now: the mirror image;
//   not moved yet: it turns at `last` either way.
struct Thresholds {
  std::int32_t riseAt;
  std::int32_t fallAt;
};

inline std::int32_t lower(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
inline std::int32_t higher(std::int32_t a, std::int32_t b) { return a > b ? a : b; }

inline Thresholds thresholdsOf(std::int32_t last, std::int32_t turn, std::int32_t direction) {
  const std::int32_t darkMost = kDarkLimitSigned - 1;
  const std::int32_t turnRise = last < kDarkLimitSigned ? last + kStepSigned : kNever;
  const std::int32_t keepRise = turn < kDarkLimitSigned ? higher(turn + kStepSigned, last) : kNever;
  const std::int32_t turnFall = lower(last - kStepSigned, darkMost);
  const std::int32_t keepFall = lower(lower(last, turn - kStepSigned), darkMost);
  return {direction > 0 ? keepRise : turnRise, direction < 0 ? keepFall : turnFall};
}

}  // namespace

void FlashMeter::thresholds(std::size_t from, std::size_t to) {
  const std::int32_t* last = last_.data();
  const std::int32_t* turn = turn_.data();
  const std::int32_t* direction = direction_.data();
  std::int32_t* riseAt = riseAt_.data();
  std::int32_t* fallAt = fallAt_.data();
  for (std::size_t i = from; i < to; ++i) {
    const Thresholds t = thresholdsOf(last[i], turn[i], direction[i]);
    riseAt[i] = t.riseAt;
    fallAt[i] = t.fallAt;
  }
}

FrameChange FlashMeter::measureLuminance(const std::uint32_t* luminance) const {
  int risen = 0;
  int fallen = 0;
  const std::int32_t* riseAt = riseAt_.data();
  const std::int32_t* fallAt = fallAt_.data();
  for (std::size_t i = 0; i < kFramePixels; ++i) {
    const auto now = static_cast<std::int32_t>(luminance[i]);
    risen += now >= riseAt[i];
    fallen += now <= fallAt[i];
  }
  return FrameChange{risen, fallen};
}

FrameChange FlashMeter::measure(const Pixel* frame) const {
  luminanceOf(frame, scratch_.data());
  return measureLuminance(scratch_.data());
}

int FlashMeter::transitionOf(const FrameChange& change) const {
  if (change.rise() && state_ != 1) return 1;
  if (change.fall() && state_ != -1) return -1;
  return 0;
}

int FlashMeter::flashesOf(const FrameChange& change) const {
  const int transition = transitionOf(change);
  return transition != 0 && transition == -open_ ? 1 : 0;
}

int FlashMeter::observe(const Pixel* frame, double time) {
  luminanceOf(frame, scratch_.data());
  return observeLuminance(scratch_.data(), measureLuminance(scratch_.data()), time);
}

int FlashMeter::observeLuminance(const std::uint32_t* luminance, const FrameChange& change, double time) {
  for (std::size_t i = 0; i < kFramePixels; ++i) {
    const auto now = static_cast<std::int32_t>(luminance[i]);
    const Run run = runOf(last_[i], turn_[i], direction_[i], now);
    turn_[i] = run.turn;
    direction_[i] = run.direction;
    last_[i] = now;
  }
  // A loop of its own: both vectorise this way, not as one.
  thresholds(0, kFramePixels);
  const int transition = transitionOf(change);
  if (transition == 0) return 0;
  state_ = transition;
  if (transition == -open_) {
    open_ = 0;
    flashes_.push_back(time);
    return 1;
  }
  open_ = transition;
  return 0;
}

int FlashMeter::flashesWithinSecondBefore(double time) const {
  const auto first = std::upper_bound(flashes_.begin(), flashes_.end(), time - 1.000001);
  return static_cast<int>(flashes_.end() - first);
}

FlashSummary summarizeFlashes(const std::vector<double>& times, double endTime) {
  FlashSummary summary;
  summary.total = static_cast<int>(times.size());
  const double last = std::max(endTime, times.empty() ? 0.0 : times.back());
  summary.perSecond.assign(static_cast<std::size_t>(last) + 1, 0);
  for (double t : times) ++summary.perSecond[static_cast<std::size_t>(std::max(0.0, t))];
  // The busiest window [t, t + 1) starts at a flash.
  std::size_t end = 0;
  for (std::size_t begin = 0; begin < times.size(); ++begin) {
    while (end < times.size() && times[end] < times[begin] + 1.0) ++end;
    const int count = static_cast<int>(end - begin);
    if (count > summary.worstWindow) {
      summary.worstWindow = count;
      summary.worstWindowStart = times[begin];
    }
  }
  return summary;
}

std::string flashReport(const FlashSummary& summary, int fps) {
  std::string out;
  char line[160];
  std::snprintf(line, sizeof line, "# flashes per second at %d fps, the frames as shown\n", fps);
  out += line;
  out += "# a flash: a quarter of the frame brighter then darker (or the reverse) by 0.1 relative\n"
         "# luminance or more, the darker state under 0.8; the limit is 3 in any second\n"
         "# second flashes\n";
  int over = 0;
  for (std::size_t s = 0; s < summary.perSecond.size(); ++s) {
    std::snprintf(line, sizeof line, "%zu %d\n", s, summary.perSecond[s]);
    out += line;
    if (summary.perSecond[s] > 3) ++over;
  }
  std::snprintf(line, sizeof line, "total %d\nworst second %d (from %.3f s)\nseconds over 3: %d\n", summary.total,
                summary.worstWindow, summary.worstWindowStart, over);
  out += line;
  return out;
}

}  // namespace tolvarin
