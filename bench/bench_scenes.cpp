// Benchmarks of the scenes: one frame of each (filled in as the scenes land).
#include <benchmark/benchmark.h>
