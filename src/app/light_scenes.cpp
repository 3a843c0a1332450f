#include "app/light_scenes.h"

#include "platform/trace.h"

namespace tolvarin {

void LightSweep(LightSceneState&) { TraceScope scene("LightSweep"); }

void CrossfadeSweep(LightSceneState&) { TraceScope scene("CrossfadeSweep"); }

void RotozoomStrobe(LightSceneState&) { TraceScope scene("RotozoomStrobe"); }

}  // namespace tolvarin
