// PrototypeText: the first pan row, the blank parenthesis it leaves in the
// shared glyph table until the greetings, and its end at the second sync.
#include <gtest/gtest.h>

#include "assets/bitmap_font.h"
#include "scenes/greetings.h"
#include "scenes/prototype_text.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using namespace testing;

TEST(PrototypeText, TheParenthesisStaysBlankUntilTheGreetings) {
  SceneHarness s(keysAt({0.0}));
  EXPECT_EQ(prototypePanRow(68), 191);  // the first frame's row
  BitmapFont font("no-sheet.g", glyphTable, kGlyphTableSize - 1, 0);
  font2 = &font;
  const Glyph& g = glyphTable[68];  // ')'
  s.pollOnce();
  PrototypeText();  // nothing drawn, but the table is already changed
  EXPECT_EQ(s.frames(), 0);
  EXPECT_TRUE(font.inverted);
  EXPECT_EQ(std::vector<int>({g.code, g.x, g.y, g.width, g.height}),
            std::vector<int>({')', kWordGap.x, kWordGap.y, kWordGap.width, kWordGap.height}));
  Greetings(TunnelTables{});
  EXPECT_EQ(std::vector<int>({g.code, g.x, g.y, g.width, g.height}), std::vector<int>({')', 168, 80, 5, 16}));
  font2 = nullptr;
}

TEST(PrototypeText, EndsRightAfterTheFrameThatSeesTheSecondSync) {
  for (std::int64_t first : {0, 3}) {  // a sync during the first frame counts
    SceneHarness s;
    s.syncAfter(first);
    s.syncAfter(first + 4);
    PrototypeText();
    EXPECT_EQ(s.frames(), first + 5);
    EXPECT_FALSE(musicClock().syncWaiting());
  }
}

}  // namespace
}  // namespace tolvarin
