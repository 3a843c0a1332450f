#include "gfx2d/trig_tables.h"

#include <cmath>

namespace tolvarin {

double sinTable[kTrigEntries];
double cosTable[kTrigEntries];
std::int32_t sinTable100[kTrigEntries];
std::int32_t cosTable100[kTrigEntries];

void buildTrigTables() {
  for (int i = 0; i < kTrigEntries; ++i) {
    const double a = i * kDegreeFactor;
    sinTable[i] = std::sin(a);
    cosTable[i] = std::cos(a);
    sinTable100[i] = static_cast<std::int32_t>(std::sin(a) * 100.0);
    cosTable100[i] = static_cast<std::int32_t>(std::cos(a) * 100.0);
  }
}

}  // namespace tolvarin
