#include "gen/music/music.h"

#include <stdexcept>

#include "assets/data_manifest.h"
#include "gen/generated_file.h"
#include "gen/music/instruments.h"
#include "gen/music/marker_plan.h"
#include "gen/music/parts.h"
#include "gen/music/song_form.h"

namespace tolvarin::gen {
namespace music {
namespace {

// Pan positions, 0 (left) to 15 (right): drums and bass in the middle, the
// lead and its echo apart, pads spread wide.
constexpr int kPanning[kChannels] = {8, 7, 10, 5, 7, 7, 9, 5, 10, 2, 13, 8, 8, 8};

// Speed changes around the breakdown, and the markers of the plan.
void writeControlChannel(Score& s) {
  s.effect(rowAt(kBreakdownFirstBar, 0), kChControl, 'A', kBreakdownSpeed);
  s.effect(rowAt(kBreakdownEndBar, 0), kChControl, 'A', kSpeed);
  int row = 0;
  for (const OrderPlan& order : orderPlan()) {
    for (int m : order.markers) s.note(row + m, kChControl, 4 * 12, kMarker, 0);
    row += order.rows;
  }
}

// The final chord dies away to nothing on the song's last row: fine volume
// slides down by one, spread evenly over the rows left.
void writeFade(Score& s) {
  const int first = rowAt(kFinalChordBar, 2);
  const int rows = s.rows() - first;
  for (Channel ch : {kChPad1, kChPad2, kChPad3, kChBass, kChLead}) {
    const int volume = s.at(rowAt(kFinalChordBar, 0), ch).volume;
    for (int step = 0; step < volume; ++step) s.effect(first + step * rows / volume, ch, 'D', 0xF1);
  }
}

Score composeSong() {
  Score s(songRows());
  writeDrums(s);
  writeEffects(s);
  writeBass(s);
  writeHarmony(s);
  writeMelody(s);
  writeFade(s);
  writeControlChannel(s);
  return s;
}

}  // namespace

formats::S3mModule buildMusicModule() {
  const Score song = composeSong();
  formats::S3mModule m;
  m.title = "Tolvarin - 004fin";
  m.channels = kChannels;
  m.channelPanning.assign(std::begin(kPanning), std::end(kPanning));
  m.initialSpeed = kSpeed;
  m.initialTempo = kTempo;
  m.globalVolume = 64;
  m.masterVolume = 78;  // mixing level: about -15 LUFS with peaks near -1.2 dBFS
  m.instruments = makeInstruments();
  int row = 0;
  for (const OrderPlan& order : orderPlan()) {
    formats::S3mPattern p;
    for (int r = 0; r < order.rows; ++r) {
      for (int ch = 0; ch < kChannels; ++ch) p.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(ch)] = song.at(row + r, ch);
    }
    if (order.rows < formats::kS3mRows) {
      formats::S3mCell& last = p.rows[static_cast<std::size_t>(order.rows - 1)][kChControl];
      if (last.command != 0) throw std::logic_error("a pattern break would replace an effect");
      last.command = formats::s3mEffect('C');
      last.info = 0;
    }
    m.orders.push_back(static_cast<std::uint8_t>(m.patterns.size()));
    m.patterns.push_back(p);
    row += order.rows;
  }
  if (row != song.rows()) throw std::logic_error("the marker plan and the song differ in length");
  m.orders.push_back(formats::kS3mOrderEnd);
  return m;
}

}  // namespace music

std::vector<GeneratedFile> generateMusic() {
  return {{data::music.name, formats::encodeS3m(music::buildMusicModule())}};
}

}  // namespace tolvarin::gen
