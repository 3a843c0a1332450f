// Fuzz target for the .g loader: any byte string through Picture::loadFromMemory.
// A successful load must give width x height readable pixels.
#include <cstddef>
#include <cstdint>

#include "assets/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tolvarin::Picture picture;
  if (picture.loadFromMemory(data, size)) {
    const std::size_t count = std::size_t{picture.width} * picture.height;
    // Touch both ends so the sanitizers see a buffer of the wrong size.
    volatile tolvarin::Pixel first = picture.pixels[0];
    volatile tolvarin::Pixel last = picture.pixels[count - 1];
    (void)first;
    (void)last;
  } else if (picture.pixels) {
    __builtin_trap();  // a failed load must leave no pixels
  }
  return 0;
}
