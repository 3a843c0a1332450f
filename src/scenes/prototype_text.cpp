#include "scenes/prototype_text.h"

#include "platform/trace.h"

namespace tolvarin {

void PrototypeText() { TraceScope scene("PrototypeText"); }

}  // namespace tolvarin
