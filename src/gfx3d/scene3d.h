#pragma once
// The 3D scene: a mirrored wireframe sphere behind a flat-shaded column and
// logo, in two phases timed by the music's syncs.

namespace tolvarin {

void Scene3D();

}  // namespace tolvarin
