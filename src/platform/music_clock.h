#pragma once
// The music as the scenes see it, and nothing more: where the module is (what
// is heard now) and whether a sync has come. The audio layer under it, with
// the audio library's functions, stays out of the scenes' sight; ports give
// their own clock here without the scenes changing.
#include <cstdint>

namespace tolvarin {

class MusicClock {
 public:
  virtual ~MusicClock() = default;

  // Order in the low word, row in the high word. Cheap, never blocks.
  [[nodiscard]] virtual std::uint32_t position() = 0;
  // True when a sync has come since the last take or clear, which it clears
  // in the same atomic step: a sync that arrives meanwhile is never lost, it
  // waits for the next take.
  [[nodiscard]] virtual bool takeSync() = 0;
  // True when a sync is waiting; it stays waiting.
  [[nodiscard]] virtual bool syncWaiting() = 0;
  // Drops a waiting sync.
  virtual void clearSync() = 0;
};

// The clock the program runs on: unless another was installed, the sync flag
// raised by the music's sync callback and the position of the running audio
// layer.
MusicClock& musicClock();

// Installs another clock (a platform without the audio layer, a test); null
// gives back the one over the sync flag. The clock must outlive its use.
void installMusicClock(MusicClock* clock);

}  // namespace tolvarin
