#pragma once
// The textured tunnel carrying the sixteen greetings.
#include <cstdint>

namespace tolvarin {

// Distance and angle of every screen pixel from the centre, one byte each,
// row-major. The demo sequence owns the two tables.
struct TunnelTables {
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::uint8_t* distance = nullptr;
  std::uint8_t* angle = nullptr;
};

// Fills both tables from the record's height and width.
void buildTunnelTables(TunnelTables& tables);

void Greetings(const TunnelTables& tables);

}  // namespace tolvarin
