#include "gfx3d/scene3d.h"

#include "platform/trace.h"

namespace tolvarin {

void Scene3D() { TraceScope scene("Scene3D"); }

}  // namespace tolvarin
