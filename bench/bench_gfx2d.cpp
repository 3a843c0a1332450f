// Benchmarks of src/gfx2d (filled in as the code lands).
#include <benchmark/benchmark.h>
