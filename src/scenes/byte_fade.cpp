#include "scenes/byte_fade.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tolvarin {

void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i sub = _mm_set1_epi8(static_cast<char>(amount));
  for (; i + 4 <= kFramePixels; i += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_subs_epu8(v, sub));
  }
#endif
  for (; i < kFramePixels; ++i) {
    Pixel out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const int b = static_cast<int>((src[i] >> shift) & 0xFF) - amount;
      out |= static_cast<Pixel>(b > 0 ? b : 0) << shift;
    }
    dst[i] = out;
  }
}

}  // namespace tolvarin
