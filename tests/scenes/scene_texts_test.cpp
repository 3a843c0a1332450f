// The invented texts: the shape the credits and the greetings need, and
// only characters the font draws.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "assets/bitmap_font.h"
#include "scenes/scene_texts.h"

namespace tolvarin {
namespace {

// Space, or a character with a glyph that is not a digit 0 or 9 (the sheet's
// 0 overlaps its 9).
bool drawable(char c) {
  if (c == ' ') return true;
  if (c == '0' || c == '9') return false;
  for (const Glyph& g : glyphTable) {
    if (g.code != 0 && g.code == static_cast<unsigned char>(c)) return true;
  }
  return false;
}

TEST(SceneTexts, MemberLinesHaveTheCreditsShape) {
  initGlyphTable();
  const std::size_t lengths[kMemberLines] = {10, 9, 9, 9, 7};
  for (int i = 0; i < kMemberLines; ++i) {
    const std::string line = memberLines[i];
    SCOPED_TRACE(line);
    EXPECT_EQ(line.size(), lengths[i]);
    for (char c : line) EXPECT_TRUE(drawable(c)) << c;
    if (i < 3) {
      EXPECT_EQ(line.back(), ',');
      EXPECT_EQ(line.find_first_of(" ,"), line.size() - 1);
    } else if (i == 3) {
      EXPECT_EQ(line.substr(line.size() - 4), " and");
      EXPECT_EQ(line.find_first_of(" ,"), line.size() - 4);
    } else {
      EXPECT_EQ(line.find_first_of(" ,"), std::string::npos);
    }
  }
}

TEST(SceneTexts, GreetingsAreShortCapitalNames) {
  initGlyphTable();
  for (const char* name : greetingNames) {
    SCOPED_TRACE(name);
    const std::size_t n = std::strlen(name);
    EXPECT_GE(n, 1u);
    EXPECT_LE(n, 13u);
    for (const char* c = name; *c != '\0'; ++c) {
      EXPECT_TRUE((*c >= 'A' && *c <= 'Z') || *c == '-' || *c == ' ') << *c;
    }
    EXPECT_NE(name[0], ' ');
    EXPECT_NE(name[n - 1], ' ');
  }
}

}  // namespace
}  // namespace tolvarin
