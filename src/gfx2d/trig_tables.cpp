#include "gfx2d/trig_tables.h"

#include "gfx2d/exact_sine.h"

namespace tolvarin {

double sinTable[kTrigEntries];
double cosTable[kTrigEntries];
std::int32_t sinTable100[kTrigEntries];
std::int32_t cosTable100[kTrigEntries];

namespace {

// The tables take their sines from exactSin, the same bits on every machine.
// Two of the angles have a sine within a hundredth of an ulp of halfway
// between two doubles, and glibc's sin, with which the demo's frames were
// first made, rounds those two the other way; they keep glibc's values.
struct KeptSine {
  double angle;
  double sine;
};
constexpr KeptSine kKeptSines[] = {
    {0x1.c5819f7446704p+1, -0x1.901bcba467056p-2},  // 203 degrees
    {0x1.84b83f883c603p+2, -0x1.a9cdb2855963cp-3},  // 348 degrees
};

double tableSine(double a) {
  for (const KeptSine& kept : kKeptSines) {
    if (a == kept.angle) return kept.sine;
  }
  return exactSin(a);
}

}  // namespace

void buildTrigTables() {
  for (int i = 0; i < kTrigEntries; ++i) {
    const double a = i * kDegreeFactor;
    const double s = tableSine(a);
    const double c = exactCos(a);
    sinTable[i] = s;
    cosTable[i] = c;
    sinTable100[i] = static_cast<std::int32_t>(s * 100.0);
    cosTable100[i] = static_cast<std::int32_t>(c * 100.0);
  }
}

}  // namespace tolvarin
