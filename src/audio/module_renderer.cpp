#include "audio/module_renderer.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/audio_library.h"

namespace tolvarin {

ModuleRenderer::ModuleRenderer() = default;
ModuleRenderer::~ModuleRenderer() = default;

int ModuleRenderer::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return BASS_ERROR_FILEOPEN;
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return BASS_ERROR_FILEOPEN;
  return loadFromMemory(data.data(), data.size());
}

int ModuleRenderer::loadFromMemory(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return BASS_ERROR_FORMAT;
  std::ostringstream log;  // libopenmpt's load warnings are not the user's business
  try {
    // Play once and stop at the end; no dither, so offline renders are
    // bit-identical from run to run.
    const std::map<std::string, std::string> ctls{{"play.at_end", "stop"}, {"dither", "0"}};
    module_ = std::make_unique<openmpt::module>(data, size, log, ctls);
  } catch (const std::exception&) {
    module_.reset();
    return BASS_ERROR_FORMAT;
  }
  module_->set_repeat_count(0);
  samples_ = 0;
  lastOrder_ = lastPattern_ = lastRow_ = -1;
  lastPosition_ = 0;
  ended_ = false;
  return BASS_OK;
}

double ModuleRenderer::durationSeconds() const { return module_ ? module_->get_duration_seconds() : 0.0; }

bool ModuleRenderer::rowHasMarker(int pattern, int row) const {
  const int channels = module_->get_num_channels();
  for (int ch = 0; ch < channels; ++ch) {
    const int instrument =
        module_->get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_instrument);
    const int note = module_->get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_note);
    // Notes are 1..120; 0 is an empty note column, 253..255 fade, cut and off.
    if (instrument == kMarkerInstrument && note >= 1 && note <= 120) return true;
  }
  return false;
}

std::size_t ModuleRenderer::render(std::int16_t* out, std::size_t frames, std::vector<MusicEvent>& events) {
  if (!module_ || ended_) return 0;
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t chunk = std::min<std::size_t>(kChunkFrames, frames - done);
    const std::size_t got = module_->read_interleaved_stereo(kSampleRate, chunk, out + done * 2);
    const std::int64_t chunkStart = samples_;
    samples_ += static_cast<std::int64_t>(got);
    done += got;
    if (got < chunk) {
      // The song ended inside this chunk; the player has already rewound its
      // position, so the last row seen stays the position.
      ended_ = true;
      break;
    }
    const int order = module_->get_current_order();
    const int pattern = module_->get_current_pattern();
    const int row = module_->get_current_row();
    if (order != lastOrder_ || pattern != lastPattern_ || row != lastRow_) {
      // The very first row starts at sample 0; later rows are stamped at the
      // end of the chunk in which they were first seen.
      const std::int64_t stamp = lastOrder_ < 0 ? chunkStart : samples_;
      lastOrder_ = order;
      lastPattern_ = pattern;
      lastRow_ = row;
      lastPosition_ = (static_cast<std::uint32_t>(order) & 0xFFFFu) | (static_cast<std::uint32_t>(row) << 16);
      events.push_back(MusicEvent{stamp, lastPosition_, rowHasMarker(pattern, row)});
    }
  }
  return done;
}

}  // namespace tolvarin
