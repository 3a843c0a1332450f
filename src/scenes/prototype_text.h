#pragma once
// A tall picture panning behind a bump-mapped light, with three lines of text.

namespace tolvarin {

// The first picture row shown at pan angle i: trunc(99 sin(i mod 360) + 100),
// 1 to 199.
int prototypePanRow(int i);

void PrototypeText();

}  // namespace tolvarin
