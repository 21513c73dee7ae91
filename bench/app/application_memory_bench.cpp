// The resident memory of the program itself, not of a benchmark around it:
// the application started on a first launch with protection on, so that it
// fetches 100,000 numbers from the local list service and writes all of them
// into the protection contact, measured once that contact is in the address
// book and the program has come to rest. Floor in the same run: the same
// program started again on the list and the contact it left, at rest, with no
// cycle. Both are reported as counters; the time is that of the whole run.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "addressbook/address_book_manager_v2.h"
#include "app/constants.h"
#include "platform/addressbook/configuration.h"
#include "platform/defaults/user_defaults.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temporary_home.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kNumbers = 100000;
constexpr auto kCycleDeadline = 5min;
constexpr auto kPollInterval = 500ms;
// Long enough for the last overlay hide and the publishing round to end.
constexpr auto kRest = 2s;

// A home of the program's own, with protection on and every number chosen,
// and its address book, which this benchmark reads too.
class ProgramHome {
 public:
  ProgramHome() {
    for (const auto& [variable, folder] : rp::test::homeLocationsUnder(m_root.path()))
      m_environment.insert(variable, folder);
    m_environment.insert(QStringLiteral("RP_ADDRESSBOOK_FILE"), bookPath());
    defaults::UserDefaults settings(m_environment.value(QStringLiteral("XDG_CONFIG_HOME")) +
                                    QStringLiteral("/Ringeplagvern/defaults.conf"));
    settings.setBool(app::AutoImportEnabledKey, true);
    settings.setInteger(app::ImportNumberKey, -1);
    settings.setInteger(app::ImportApprovedKey, 1);
    settings.synchronize();
    ab::Configuration book;
    book.filePath = bookPath().toStdString();
    ab::setConfiguration(book);
  }
  ~ProgramHome() { ab::setConfiguration(ab::Configuration{}); }

  QString bookPath() const { return m_root.filePath(QStringLiteral("book.sqlite")); }

  void start(QProcess& program, const QString& listHost) {
    QProcessEnvironment environment = m_environment;
    environment.insert(QStringLiteral("RINGEPLAGVERN_LIST_HOST"), listHost);
    environment.insert(QStringLiteral("RINGEPLAGVERN_BACKUP_HOST"), listHost);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(RP_APPLICATION), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    program.waitForStarted();
  }

 private:
  QTemporaryDir m_root;
  QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

bool protectionContactHolds(std::size_t numbers, const QProcess& program) {
  const auto deadline = std::chrono::steady_clock::now() + kCycleDeadline;
  while (program.state() == QProcess::Running && std::chrono::steady_clock::now() < deadline) {
    rp::test::runEventLoopFor(kPollInterval);
    if (abm::AddressBookManagerV2::init()->countOfMembers() == numbers) return true;
  }
  return false;
}

void stop(QProcess& program) {
  program.terminate();
  if (!program.waitForFinished(30000)) program.kill();
}

void BM_ApplicationResidentMemory(benchmark::State& state) {
  QFile list(QString::fromStdString(rp::test::sharedDataPath() + "/json/bench/numberlist-100k.json"));
  if (!list.open(QIODevice::ReadOnly)) return state.SkipWithError("list not found (../shared/data or $RP_SHARED_DATA)");
  ListService service;
  service.setBody(list.readAll());
  list.close();
  service.listen();
  for (auto _ : state) {
    ProgramHome home;
    QProcess program;
    home.start(program, service.hostAndPort());
    if (!protectionContactHolds(kNumbers, program)) {
      stop(program);
      const std::string reason =
          "the first launch did not build the protection contact: " + program.readAllStandardError().toStdString();
      return state.SkipWithError(reason.c_str());
    }
    rp::test::runEventLoopFor(kRest);
    state.counters["after_cycle_rss_mb"] = rp::test::megabytes(rp::test::residentBytesOf(program.processId()));
    state.counters["after_cycle_peak_mb"] = rp::test::megabytes(rp::test::peakResidentBytesOf(program.processId()));
    stop(program);

    home.start(program, service.hostAndPort());
    rp::test::runEventLoopFor(kRest);
    if (program.state() != QProcess::Running) return state.SkipWithError("the program did not start again");
    state.counters["restarted_at_rest_rss_mb"] = rp::test::megabytes(rp::test::residentBytesOf(program.processId()));
    stop(program);
  }
}

BENCHMARK(BM_ApplicationResidentMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
