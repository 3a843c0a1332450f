#include "scenes/logo_zoom.h"

#include "platform/trace.h"

namespace tolvarin {

void zoomWrap(const Pixel*, Pixel*, double) {}

void LogoZoom() { TraceScope scene("LogoZoom"); }

}  // namespace tolvarin
