// Benchmark entry: like the test entry, every benchmark process gets its own
// user locations and an application object (a widget application for the
// benchmarks that draw), so hand-overs to the main thread and Qt services work
// and no run touches the user's own files.
#include <benchmark/benchmark.h>

#include "platform/dispatch/process_heap.h"
#include "tests/support/temporary_home.h"

#ifdef RP_BENCHMARK_GUI
#include <QApplication>
using BenchmarkApplication = QApplication;
#else
#include <QCoreApplication>
using BenchmarkApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
  dispatch::shareOneHeapAcrossThreads();
  rp::test::TemporaryHome home;
  BenchmarkApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
