// The whole cycle through the main screen, protection on: from the refresh
// button to the success caption, for the 8,000-number sample list and for
// 100,000 numbers, with the longest stall of the main thread while it runs
// (a 5 ms timer measures the gaps between its ticks), during the cycle and in
// its aftermath, and the resident memory once the application is at rest
// again: that of this process, which also holds the list it serves; the
// program's own is measured by the application memory benchmark. Floor in
// the same run: the refresh alone (download, decode and store of the same
// list, no protection contact).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "app/constants.h"
#include "app/list_service_config.h"
#include "app/root_view_controller.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "platform/pasteboard/pasteboard.h"
#include "store/record_store.h"
#include "tests/integration/list_cycle.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temporary_home.h"

namespace {

using namespace std::chrono_literals;

constexpr int kTickMilliseconds = 5;
// Longer than the delay after which the application hands freed memory back.
constexpr auto kSettle = 2s;
const QString kSuccess = QStringLiteral("Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!");

QByteArray listNamed(const std::string& which) {
  const std::string path =
      which == "sample" ? std::string(RP_SAMPLE_LIST) : rp::test::sharedDataPath() + "/json/bench/" + which;
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Serves `body` and points the application's list addresses at it.
struct Service {
  explicit Service(const QByteArray& body) {
    service.setBody(body);
    service.listen();
    app::ListServiceConfig config;
    config.primaryHost = config.backupHost = service.hostAndPort().toStdString();
    app::setActiveListServiceConfig(config);
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
    cycle.start(app::NumberListUrl(), app::NumberListBackupUrl());
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
  settings.setBool(app::AutoImportEnabledKey, true);
  settings.setInteger(app::ImportNumberKey, -1);
  settings.setInteger(app::ImportApprovedKey, 1);
  settings.setDate(app::DateUpdatedDefaultKey, *fnd::Date::now());
  pasteboard::setGeneralPasteboardString(QString());
  {
    app::RootViewController screen;
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
    // The cycle's aftermath (handing freed memory back) must not stall the
    // screen either; the resident memory is read once it has run.
    worstStall = 0;
    sinceTick.start();
    ticker.start();
    rp::test::runEventLoopFor(kSettle);
    ticker.stop();
    state.counters["worst_stall_after_ms"] = worstStall;
    state.counters["rss_mb"] = rp::test::megabytes(rp::test::residentBytes());
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
