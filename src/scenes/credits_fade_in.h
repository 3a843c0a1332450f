#pragma once
// The closing picture.

namespace tolvarin {

// The closing picture rising from black: at most 255 frames, each with every
// byte of the picture lowered by a counter that falls from 255 to 1, until a
// key.
void CreditsFadeIn();

}  // namespace tolvarin
