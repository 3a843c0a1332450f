#include "gen/music/score.h"

#include <stdexcept>
#include <string>

namespace tolvarin::gen::music {

void Score::note(int row, int channel, int note, int instrument, int volume) {
  formats::S3mCell& c = at(row, channel);
  c.note = formats::s3mNote(note / 12, note % 12);
  c.instrument = static_cast<std::uint8_t>(instrument);
  c.volume = volume;
}

void Score::cut(int row, int channel) {
  formats::S3mCell& c = at(row, channel);
  c.note = formats::kS3mNoteCut;
  c.instrument = 0;
}

void Score::volume(int row, int channel, int volume) { at(row, channel).volume = volume; }

void Score::effect(int row, int channel, char letter, int info) {
  formats::S3mCell& c = at(row, channel);
  c.command = formats::s3mEffect(letter);
  c.info = static_cast<std::uint8_t>(info);
}

int parseNote(std::string_view text) {
  if (text.size() < 2) return -1;
  static constexpr int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char letter = text[0];
  if (letter < 'A' || letter > 'G') return -1;
  int semitone = kSemitone[letter - 'A'];
  std::size_t i = 1;
  if (text[i] == '#') {
    ++semitone;
    ++i;
  } else if (text[i] == 'b') {
    --semitone;
    ++i;
  } else if (text[i] == '-') {
    ++i;
  }
  if (i + 1 != text.size() || text[i] < '0' || text[i] > '9') return -1;
  return (text[i] - '0') * 12 + semitone;
}

int writeLine(Score& score, int channel, int instrument, int row, std::string_view steps, int volume,
              int transpose) {
  std::size_t pos = 0;
  while (pos < steps.size()) {
    while (pos < steps.size() && steps[pos] == ' ') ++pos;
    if (pos >= steps.size()) break;
    std::size_t end = steps.find(' ', pos);
    if (end == std::string_view::npos) end = steps.size();
    const std::string_view token = steps.substr(pos, end - pos);
    pos = end;
    if (token == "|") continue;
    if (token == "^") {
      score.cut(row, channel);
    } else if (token != ".") {
      const int n = parseNote(token);
      if (n < 0) throw std::invalid_argument("not a note: " + std::string(token));
      score.note(row, channel, n + transpose, instrument, volume);
    }
    ++row;
  }
  return row;
}

int writeHits(Score& score, int channel, int instrument, int row, std::string_view steps,
              std::array<int, 3> volumes) {
  for (char c : steps) {
    if (c == ' ' || c == '|') continue;
    if (c == 'X') score.note(row, channel, 4 * 12, instrument, volumes[0]);
    if (c == 'x') score.note(row, channel, 4 * 12, instrument, volumes[1]);
    if (c == 'o') score.note(row, channel, 4 * 12, instrument, volumes[2]);
    ++row;
  }
  return row;
}

}  // namespace tolvarin::gen::music
