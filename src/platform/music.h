#pragma once
// The demo's music and its two time signals: syncFlag, raised each time the
// module's marker instrument (32) plays a note, and musicPosition(), whose low
// byte is the order number the module has reached. Scenes read both through
// the music clock (music_clock.h).
#include <atomic>
#include <cstdint>

#include "platform/audio_library.h"

namespace tolvarin {

// 1 = a sync has arrived and not yet been consumed. Set by onMusicSync on the
// audio thread; taken and cleared by the main thread through musicClock().
extern std::atomic<std::uint8_t> syncFlag;

// Instrument sync on instrument 32 (low word), any note (high word 0xFFFF).
inline constexpr std::uint32_t musicSyncInstrument = 0xFFFF0020;

// The sync callback: stores 1 into syncFlag, nothing else.
void onMusicSync(HSYNC handle, std::uint32_t channel, std::uint32_t data);

// Starts the module file playing once from the start. On failure shows the
// reason (message box or error report) and returns false.
[[nodiscard]] bool startMusic(const char* moduleFile);

// The position heard now: order in the low word, row in the high word.
std::uint32_t musicPosition();

// Releases the audio library: BASS_Free, then BASS_Stop.
void stopMusic();

}  // namespace tolvarin
