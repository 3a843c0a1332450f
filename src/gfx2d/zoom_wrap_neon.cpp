// The neon family's zoomWrap: the table-driven path of zoom_wrap_setup.h,
// each row gathered with scalar loads (NEON has no gather); the tables take
// the two double-to-integer conversions and remainders out of every pixel.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include <cstdint>

#include "gfx2d/zoom_wrap_setup.h"

namespace tolvarin {
namespace {

// One row whose every index is in range: out[j] = row[sx[j]].
void gatherRow(const Pixel* row, const std::int32_t* sx, Pixel* out) {
  for (int j = 0; j < kFrameWidth; ++j) out[j] = row[sx[j]];
}

}  // namespace

void neon::zoomWrap(const Pixel* src, Pixel* dst, double z) {
  detail::zoom_wrap::zoomWrapByTables<gatherRow>(src, dst, z);
}

}  // namespace tolvarin

#endif
