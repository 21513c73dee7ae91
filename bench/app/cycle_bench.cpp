// The whole cycle through the main screen, protection on: from the refresh
// button to the success caption, for the 8,000-number sample list and for
// 100,000 numbers, with the longest stall of the main thread while it runs
// (a 5 ms timer measures the gaps between its ticks) and the resident memory
// once the application is at rest again. Floor in the same run: the refresh alone (download, decode and
// store of the same list, no protection contact).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "app/constants.h"
#include "app/list_service_config.h"
#include "app/root_view_controller.h"
#include "numberlist/contact.h"
#include "platform/addressbook/test_book_file.h"
#include "platform/defaults/user_defaults.h"
#include "platform/pasteboard/pasteboard.h"
#include "store/record_store.h"
#include "tests/integration/list_cycle.h"
#include "tests/support/event_loop.h"
#include "tests/support/temporary_home.h"
#include "tools/listservice/list_service.h"

namespace {

using namespace std::chrono_literals;

constexpr int kTickMilliseconds = 5;
constexpr auto kSettle = 500ms;
const QString kSuccess = QStringLiteral("Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!");

QByteArray listNamed(const std::string& which) {
  const std::string path =
      which == "sample" ? std::string(RP_SAMPLE_LIST) : rp::test::sharedDataPath() + "/json/bench/" + which;
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double residentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

// Serves `body` and points the application's list addresses at it.
struct Service {
  explicit Service(const QByteArray& body) {
    service.setBody(body);
    service.listen();
    ListServiceConfig config;
    config.primaryHost = config.backupHost = service.hostAndPort().toStdString();
    setActiveListServiceConfig(config);
  }
  ListService service;
};

void BM_RefreshOnlyFloor(benchmark::State& state, const std::string& which) {
  const QByteArray body = listNamed(which);
  if (body.isEmpty()) return state.SkipWithError("list not found (../shared/data or $RP_SHARED_DATA)");
  Service service(body);
  QTemporaryDir folder;
  store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(folder.filePath("list.sqlite").toStdString());
  for (auto _ : state) {
    rp::test::ListCycle cycle;
    cycle.start(NumberListUrl(), NumberListBackupUrl());
    rp::test::runEventLoopUntil([&] { return cycle.finished(); }, 5min);
    if (!cycle.stored()) return state.SkipWithError("the refresh failed");
  }
  store::RecordStore::cleanUp();
}

void BM_WholeCycleThroughTheScreen(benchmark::State& state, const std::string& which) {
  const QByteArray body = listNamed(which);
  if (body.isEmpty()) return state.SkipWithError("list not found (../shared/data or $RP_SHARED_DATA)");
  Service service(body);
  QTemporaryDir folder;
  ab::test::TestBookFile book;
  store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(folder.filePath("list.sqlite").toStdString());
  auto& settings = defaults::UserDefaults::standard();
  settings.setBool(AutoImportEnabledKey, true);
  settings.setInteger(ImportNumberKey, -1);
  settings.setInteger(ImportApprovedKey, 1);
  settings.setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  pasteboard::setGeneralPasteboardString(QString());
  {
    RootViewController screen;
    screen.resize(320, 460);
    screen.show();
    double worstStall = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(kTickMilliseconds);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      worstStall = std::max(worstStall, sinceTick.nsecsElapsed() / 1e6 - kTickMilliseconds);
      sinceTick.restart();
    });
    for (auto _ : state) {
      sinceTick.start();
      ticker.start();
      screen.refreshContact();
      rp::test::runEventLoopUntil(
          [&] { return !screen.protectionCycle().isBusy() && screen.overlay().panel().caption() == kSuccess; }, 10min);
      ticker.stop();
      if (screen.overlay().panel().caption() != kSuccess) return state.SkipWithError("the cycle did not succeed");
    }
    state.counters["numbers"] = static_cast<double>(screen.protectionCycle().addressBookManager().countOfMembers());
    state.counters["worst_stall_ms"] = worstStall;
    // Resident memory of the application at rest again, once the cycle's
    // own aftermath (handing freed memory back) has run.
    rp::test::runEventLoopFor(kSettle);
    state.counters["rss_mb"] = residentMegabytes();
  }
  store::RecordStore::cleanUp();
}

BENCHMARK_CAPTURE(BM_RefreshOnlyFloor, sample_8000, std::string("sample"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WholeCycleThroughTheScreen, sample_8000, std::string("sample"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_RefreshOnlyFloor, numbers_100k, std::string("numberlist-100k.json"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_WholeCycleThroughTheScreen, numbers_100k, std::string("numberlist-100k.json"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
