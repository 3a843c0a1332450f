// StoryText: a taunting dialogue over a background that colour-cycles
// between two pictures, then the swaying credits over a background that
// settles on one picture and fades to black. Lines change when the music
// reaches given orders; all text is font1, inverted.
#include "scenes/story_text.h"

#include "assets/bitmap_font.h"
#include "gfx2d/frame_kernels.h"
#include "platform/trace.h"
#include "scenes/scene_common.h"
#include "scenes/scene_texts.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

// A channel weight of the background mix, as a function of the phase counter k.
enum class Weight { Zero, Full, K, NotK };

int weightValue(Weight w, int k) {
  switch (w) {
    case Weight::Zero: return 0;
    case Weight::Full: return 255;
    case Weight::K: return k;
    case Weight::NotK: return 255 - k;  // the complement of k's low byte; k never exceeds 255
  }
  return 0;
}

struct StoryLine {
  const char* text;
  bool sways;  // at the sway position; otherwise at (x, y)
  int x, y;
};

struct StoryPhase {
  const char* traceName;
  Weight r, g, b;
  StoryLine lines[2];
  int lineCount;
  unsigned endOrder;
};

constexpr StoryLine kNone{nullptr, false, 0, 0};
constexpr StoryLine kPig{"Human and PIG is the same.", false, 5, 200};
constexpr StoryLine kJuas{"juas juas juas", false, 160, 200};

// The weights of one phase end where the next one's begin, so the colour
// cycle never jumps; phase 8 ends on the second picture alone.
constexpr StoryPhase kStory[] = {
    {"StoryText.phase1", Weight::Zero, Weight::Zero, Weight::K, {kNone, kNone}, 0, 19},
    {"StoryText.phase2", Weight::Zero, Weight::K, Weight::Full, {{"Human suxx", true, 0, 0}, kNone}, 1, 19},
    {"StoryText.phase3", Weight::K, Weight::Full, Weight::NotK, {{"Human suxx", true, 0, 0}, kPig}, 2, 19},
    {"StoryText.phase4", Weight::Full, Weight::NotK, Weight::K, {{"Human suxx", true, 0, 0}, kPig}, 2, 19},
    {"StoryText.phase5", Weight::NotK, Weight::K, Weight::Full, {{"Are you Human?", true, 0, 0}, kNone}, 1, 20},
    {"StoryText.phase6", Weight::K, Weight::NotK, Weight::Full, {{"Are you Human?", true, 0, 0}, kNone}, 1, 20},
    {"StoryText.phase7", Weight::NotK, Weight::K, Weight::NotK, {{"xDDD, you're human", true, 0, 0}, kJuas}, 2, 20},
    {"StoryText.phase8", Weight::Zero, Weight::NotK, Weight::Zero, {{"xDDD, you're HUMAN", true, 0, 0}, kJuas}, 2, 21},
};

void drawCaption(int x, int y, const char* text, Pixel* frame) {
  if (font1 != nullptr) font1->drawText(x, y, text, frame);
}

struct StoryState {
  const Pixel* flash = picturePixels(imgAloneFlash, kFrameWidth, kFrameHeight);
  const Pixel* ojs = picturePixels(imgOjs, kFrameWidth, kFrameHeight);
  // Without the demo sequence's black frame, the shared black stand-in.
  const Pixel* black = blackFrame != nullptr ? blackFrame : picturePixels(nullptr, kFrameWidth, kFrameHeight);
  int b = 0;
};

// Each story phase lasts at least 86 frames (k = 0, 3, ..., 255) and then
// until the music reaches its order. Phase 1 leaves b alone.
void storyPhase(StoryState& s, const StoryPhase& p, bool movesText) {
  TraceScope phase(p.traceName);
  int k = 0;
  for (;;) {
    if (movesText) s.b %= 360;
    Pixel* frame = display().lock();
    crossFade(s.flash, s.ojs, frame, weightValue(p.r, k), weightValue(p.g, k), weightValue(p.b, k));
    for (int i = 0; i < p.lineCount; ++i) {
      const StoryLine& line = p.lines[i];
      const TextPosition at = line.sways ? storySwayPosition(s.b) : TextPosition{line.x, line.y};
      drawCaption(at.x, at.y, line.text, frame);
    }
    showFrame();
    if (movesText) s.b += 24;
    if (k < 255) {
      k += 3;
    } else if (musicOrder() >= p.endOrder) {
      return;
    }
    if (keyPending()) return;
  }
}

// Credits phase A fades from the dialogue's last picture to the other one,
// phase B from that one to black; each lasts at least 256 frames.
void creditsPhase(StoryState& s, bool toBlack) {
  TraceScope phase(toBlack ? "StoryText.creditsB" : "StoryText.creditsA");
  const unsigned endOrder = toBlack ? 22 : 21;
  int k = 0;
  for (;;) {
    s.b %= 360;
    Pixel* frame = display().lock();
    if (toBlack) {
      crossFade(s.black, s.flash, frame, k, k, k);
    } else {
      crossFade(s.flash, s.ojs, frame, k, k, k);
    }
    const CreditPositions at = creditPositions(s.b);
    drawCaption(at.title.x, at.title.y, "In Quarnel planet live", frame);
    for (int i = 0; i < kMemberLines; ++i) drawCaption(at.members[i].x, at.members[i].y, memberLines[i], frame);
    showFrame();
    s.b += 24;
    if (k < 255) {
      ++k;
    } else if (musicOrder() >= endOrder) {
      return;
    }
    if (keyPending()) return;
  }
}

}  // namespace

TextPosition storySwayPosition(int b) {
  const double c = cosTable[b];
  return {static_cast<int>(3.0 * c + 50.0), static_cast<int>(3.0 * c + 15.0)};
}

CreditPositions creditPositions(int b) {
  const double c = cosTable[b];
  const double s = sinTable[(b + 45) % 360];
  auto at = [](double x, double y) { return TextPosition{static_cast<int>(x), static_cast<int>(y)}; };
  return {at(3.0 * c + 10.0, 3.0 * c + 50.0),
          {at(30.0 - 3.0 * c, 5.0 * c + 75.0), at(3.0 * c + 30.0, 3.0 * s + 100.0),
           at(3.0 * c + 30.0, 125.0 - 3.0 * c), at(3.0 * c + 30.0, 150.0 - 6.0 * c),
           at(30.0 - 7.0 * c, 175.0 - 2.0 * c)}};
}

void StoryText() {
  TraceScope scene("StoryText");
  StoryState s;
  if (font1 != nullptr) font1->inverted = true;

  // A key ends the phase it falls in and, staying pending, skips the rest of
  // the story; the scene then discards it, so the credits still run.
  for (const StoryPhase& phase : kStory) {
    if (keyPending()) break;
    storyPhase(s, phase, &phase != &kStory[0]);
  }
  consumeKey();

  if (!keyPending()) creditsPhase(s, false);
  if (!keyPending()) creditsPhase(s, true);

  // Hold the last frame until the next sync (or a key).
  waitForSyncOrKey();
  consumeKey();
  clearSync();
  consumeKey();
}

}  // namespace tolvarin
