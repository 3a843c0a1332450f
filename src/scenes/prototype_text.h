#pragma once
// A tall picture panning behind a bump-mapped light, with three lines of text.

namespace tolvarin {

void PrototypeText();

}  // namespace tolvarin
