// The invented texts have the shape the scenes need, in characters the font draws.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "scenes/scene_texts.h"

namespace tolvarin {
namespace {

TEST(SceneTexts, MemberLinesAndGreetingsHaveTheirShape) {
  // Letters only (the glyph table has all of A-Z and a-z; no digits, whose
  // 0 overlaps the 9 on the sheet), then the credits' punctuation.
  const std::regex member[kMemberLines] = {std::regex("[A-Za-z]{9},"), std::regex("[A-Za-z]{8},"),
                                           std::regex("[A-Za-z]{8},"), std::regex("[A-Za-z]{5} and"),
                                           std::regex("[A-Za-z]{7}")};
  for (int i = 0; i < kMemberLines; ++i) EXPECT_TRUE(std::regex_match(memberLines[i], member[i])) << memberLines[i];
  for (const char* name : greetingNames) {
    EXPECT_TRUE(std::regex_match(name, std::regex("[A-Z][A-Z -]{0,11}[A-Z]"))) << name;
  }
}

}  // namespace
}  // namespace tolvarin
