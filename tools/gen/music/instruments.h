#pragma once
// Instrument numbers of the module (1-based, as the patterns use them) and
// the sample list built from the synthesized voices.
#include <vector>

#include "formats/s3m_writer.h"

namespace tolvarin::gen::music {

enum Instrument : int {
  kKick = 1,
  kSnare,
  kClosedHat,
  kOpenHat,
  kCrash,
  kRiser,
  kTom,
  kBass,
  kLead,
  kPluck,
  kPad,
  kChip,
  kBell,
  kMarker = 32,  // the demo's sync: silent, played at volume 0
};

// Sample offset (effect O, in units of 256 samples) at which a pad note
// starts right at its loop, past the baked attack.
inline constexpr int kPadLoopOffset = 0x1E;

// All 32 instrument slots; unused ones are empty.
std::vector<formats::S3mSample> makeInstruments();

}  // namespace tolvarin::gen::music
