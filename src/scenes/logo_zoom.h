#pragma once
// The opening scene: the logo flies in and fades in under a moving
// bump-mapped light, zooms far in, back out, cross-fades, and ends on one
// over-bright frame.
namespace tolvarin {

void LogoZoom();

}  // namespace tolvarin
