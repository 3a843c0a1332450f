// writePng for builds without libpng (the web build): it writes nothing.
// The program refuses --shot there before running (backends.h).
#include "png/png_writer.h"

namespace tolvarin {

bool writePng(const std::string&, int, int, const Pixel*, int) { return false; }

}  // namespace tolvarin
