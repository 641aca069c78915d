// The main of every benchmark program: run as the vistrel host runs the library, with freed image
// memory kept for reuse.

#include <benchmark/benchmark.h>

#include "vistrel/platform/Memory.h"

int main(int argc, char** argv) {
  vistrel::platform::keepFreedImageMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
