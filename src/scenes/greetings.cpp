#include "scenes/greetings.h"

#include <cmath>

#include "platform/trace.h"

namespace tolvarin {

void buildTunnelTables(TunnelTables& tables) {
  const int hh = tables.height / 2;
  const int hw = tables.width / 2;
  for (int y = -hh; y < hh; ++y) {
    for (int x = -hw; x < hw; ++x) {
      const int n = (y + hh) * tables.width + (x + hw);
      tables.distance[n] = static_cast<std::uint8_t>(static_cast<int>(std::sqrt(static_cast<double>(x * x + y * y))));
      // 257 units to the turn (257 / 2 pi); negative angles wrap to 128..255.
      tables.angle[n] = static_cast<std::uint8_t>(static_cast<int>(std::atan2(y, x) * 40.902820375786185));
    }
  }
}

void Greetings(const TunnelTables&) { TraceScope scene("Greetings"); }

}  // namespace tolvarin
