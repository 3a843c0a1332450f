#pragma once
// Whole-degree sine and cosine tables, entry i for i = 0..360. The degree
// factor is the literal 0.017453292 (not pi/180 to full precision), so entry
// 360 is not exactly a full turn: its sine is about -1.9e-7.
#include <cstdint>

namespace tolvarin {

inline constexpr int kTrigEntries = 361;
inline constexpr double kDegreeFactor = 0.017453292;

extern double sinTable[kTrigEntries];
extern double cosTable[kTrigEntries];
extern std::int32_t sinTable100[kTrigEntries];  // sin x 100, truncated toward zero
extern std::int32_t cosTable100[kTrigEntries];  // cos x 100, truncated toward zero

// Fills the four tables. Cheap and idempotent; the demo calls it once at start-up
// and tests call it before using anything that reads the tables.
void buildTrigTables();

}  // namespace tolvarin
