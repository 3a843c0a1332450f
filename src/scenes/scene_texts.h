#pragma once
// The invented names the scenes show: the five member lines of the credits
// and the sixteen greetings. Every character has a glyph in the font table
// (no digits at all: the sheet's 0 overlaps its 9).
namespace tolvarin {

inline constexpr int kMemberLines = 5;
// Credits lines of 10, 9, 9, 9 and 7 characters: three handles followed by a
// comma, one followed by " and", the last alone.
extern const char* const memberLines[kMemberLines];

inline constexpr int kGreetingCount = 16;
// Other groups greeted, in capitals, at most 13 characters each (a hyphen or
// a space allowed), in the order they appear.
extern const char* const greetingNames[kGreetingCount];

}  // namespace tolvarin
