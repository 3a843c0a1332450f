// PrototypeText: the pan row, the blank parenthesis it leaves in the shared
// glyph table, and its end at the second sync.
#include <gtest/gtest.h>

#include "assets/bitmap_font.h"
#include "scenes/greetings.h"
#include "scenes/prototype_text.h"
#include "scene_harness.h"

namespace tolvarin {
namespace {

using testing::keysAt;
using testing::SceneHarness;

constexpr int kParenthesis = 68;  // the record of ')' in the glyph table

TEST(PrototypeText, ThePanRowStartsAt191AndStaysWithin1To199) {
  buildTrigTables();
  EXPECT_EQ(prototypePanRow(68), 191);
  for (int i = 0; i < 720; ++i) {
    EXPECT_GE(prototypePanRow(i), 1) << i;
    EXPECT_LE(prototypePanRow(i), 199) << i;
  }
}

// With a key pending nothing is drawn, but the parenthesis is already a
// blank word gap for both fonts and font2 draws inverted; the greetings
// scene (here also with the key pending) puts the glyph back.
TEST(PrototypeText, TheBlankParenthesisLastsUntilTheGreetings) {
  SceneHarness s(keysAt({0.0}));
  BitmapFont font("no-sheet.g", glyphTable, kGlyphTableSize - 1, 0);
  font2 = &font;
  s.pollOnce();
  PrototypeText();
  EXPECT_EQ(s.frames(), 0);
  EXPECT_TRUE(font.inverted);
  const Glyph& g = glyphTable[kParenthesis];
  EXPECT_EQ(g.code, ')');
  EXPECT_EQ(g.x, 230);
  EXPECT_EQ(g.y, 100);
  EXPECT_EQ(g.width, 15);
  EXPECT_EQ(g.height, 25);

  Greetings(TunnelTables{});
  EXPECT_EQ(s.frames(), 0);
  EXPECT_EQ(g.x, 168);
  EXPECT_EQ(g.y, 80);
  EXPECT_EQ(g.width, 5);
  EXPECT_EQ(g.height, 16);
  font2 = nullptr;
}

TEST(PrototypeText, EndsRightAfterTheFrameThatSeesTheSecondSync) {
  {
    SceneHarness s(keysAt({}, 30.0));
    s.syncAfterFrame(2);
    s.syncAfterFrame(6);
    PrototypeText();
    EXPECT_EQ(s.frames(), 7);
    EXPECT_FALSE(syncIsSet());
  }
  {
    // A sync during the first frame counts.
    SceneHarness s(keysAt({}, 30.0));
    s.syncAfterFrame(0);
    s.syncAfterFrame(1);
    PrototypeText();
    EXPECT_EQ(s.frames(), 2);
  }
}

}  // namespace
}  // namespace tolvarin
