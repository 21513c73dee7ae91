// The whole refresh of the number list on one machine: from the start of the
// download of a number list served on loopback to the parser's report that the
// new list is in the default context (report_ms), and on to the write of the
// store file that follows. Counters split the time into download, decode,
// replacement in the background context, and the write of the file.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/record_store.h"
#include "tests/integration/list_cycle.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"
#include "tests/support/temporary_home.h"

namespace {

double millisecondsBetween(rp::test::ListCycle::Clock::time_point from, rp::test::ListCycle::Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

void BM_ListRefreshFromLoopback(benchmark::State& state, const char* fileName) {
  const std::string data = rp::test::sharedDataPath();
  QFile file(QString::fromStdString(data + "/json/bench/" + fileName));
  if (data.empty() || !file.open(QIODevice::ReadOnly)) {
    state.SkipWithError("shared benchmark documents not found (../shared/data or $RP_SHARED_DATA)");
    return;
  }
  ListService service;
  service.setBody(file.readAll());
  service.listen();
  const std::string url = "http://" + service.hostAndPort().toStdString() + ListService::kPrimaryPath;

  QTemporaryDir folder;
  store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(folder.filePath("list.sqlite").toStdString());
  double report = 0, download = 0, decode = 0, replace = 0, write = 0;
  std::size_t records = 0;
  for (auto _ : state) {
    rp::test::ListCycle cycle;
    cycle.start(url, url);
    rp::test::runEventLoopUntil([&] { return cycle.finished(); }, std::chrono::minutes(5));
    if (!cycle.stored()) {
      state.SkipWithError("the refresh failed");
      break;
    }
    records = *cycle.stored();
    report += millisecondsBetween(cycle.startedAt(), cycle.storedAt());
    download += millisecondsBetween(cycle.startedAt(), cycle.downloadedAt());
    decode += millisecondsBetween(cycle.downloadedAt(), cycle.decodedAt());
    replace += millisecondsBetween(cycle.decodedAt(), cycle.storedAt());
    write += millisecondsBetween(cycle.storedAt(), cycle.writtenAt());
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(records);
  state.counters["report_ms"] = report / runs;
  state.counters["download_ms"] = download / runs;
  state.counters["decode_ms"] = decode / runs;
  state.counters["replace_ms"] = replace / runs;
  state.counters["write_file_ms"] = write / runs;
  store::RecordStore::cleanUp();
}

BENCHMARK_CAPTURE(BM_ListRefreshFromLoopback, numberlist_10k, "numberlist-10k.json")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ListRefreshFromLoopback, numberlist_100k, "numberlist-100k.json")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
