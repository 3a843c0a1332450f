#include "gen/music/instruments.h"

#include "gen/music/dsp.h"
#include "gen/music/samples.h"

namespace tolvarin::gen::music {
namespace {

formats::S3mSample toSample(const Voice& v) {
  formats::S3mSample s;
  s.name = v.name;
  s.data = toPcm16(v.pcm);
  s.sixteenBit = v.sixteenBit;
  s.loop = v.loopStart >= 0;
  s.loopStart = s.loop ? static_cast<std::uint32_t>(v.loopStart) : 0;
  s.loopEnd = s.loop ? static_cast<std::uint32_t>(v.pcm.size()) : 0;
  s.volume = 64;
  s.c2spd = static_cast<std::uint32_t>(v.c2spd);
  return s;
}

}  // namespace

std::vector<formats::S3mSample> makeInstruments() {
  std::vector<formats::S3mSample> list(32);
  auto put = [&list](Instrument slot, const Voice& v) { list[static_cast<std::size_t>(slot - 1)] = toSample(v); };
  put(kKick, makeKick());
  put(kSnare, makeSnare());
  put(kClosedHat, makeClosedHat());
  put(kOpenHat, makeOpenHat());
  put(kCrash, makeCrash());
  put(kRiser, makeRiser());
  put(kTom, makeTom());
  put(kBass, makeBass());
  put(kLead, makeLead());
  put(kPluck, makePluck());
  put(kPad, makePad());
  put(kChip, makeChip());
  put(kBell, makeBell());
  // The marker: a few samples of silence at volume 0, heard by nobody.
  formats::S3mSample marker;
  marker.name = "sync marker";
  marker.data.assign(16, 0);
  marker.volume = 0;
  list[kMarker - 1] = marker;
  return list;
}

}  // namespace tolvarin::gen::music
