// Benchmarks of src/gfx3d (filled in as the code lands).
#include <benchmark/benchmark.h>
