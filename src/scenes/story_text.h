#pragma once
// The dialogue over colour-cycling pictures, then the swaying credits.

namespace tolvarin {

struct TextPosition {
  int x;
  int y;
};

// Where the dialogue's swaying line stands at sway angle b (0..359):
// (trunc(3 cos b + 50), trunc(3 cos b + 15)).
TextPosition storySwayPosition(int b);

// The six credit lines at sway angle b (0..359): the title, then the five members.
struct CreditPositions {
  TextPosition title;
  TextPosition members[5];
};
CreditPositions creditPositions(int b);

void StoryText();

}  // namespace tolvarin
