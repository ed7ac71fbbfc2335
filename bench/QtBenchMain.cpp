// main() for benchmarks of widget code: an offscreen QApplication in a throw-away home.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "tests/support/ThrowAwayHome.h"

int main(int argc, char** argv) {
  QTemporaryDir home;
  useThrowAwayHome(home);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
