// Start-up of the application with 100,000 stored numbers and a protection
// contact of 10,000: a whole run of the program, from process start through
// the first paint of the main screen with its information text to its normal
// end (an upper bound of the time to the first paint). Floor in the same run:
// the same program asked only for its version, which loads it and ends
// before any window or store.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>

#include "addressbook/address_book_manager_v2.h"
#include "app/constants.h"
#include "bench/app/large_list.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "store/record_store.h"
#include "tests/support/event_loop.h"

namespace {

using namespace std::chrono_literals;

constexpr int kRecords = 100000;
constexpr int kProtected = 10000;

// The benchmark's private home, as the program will find it: the list in the
// record store, protection on, and the protection contact in the address book.
bool prepareHome() {
  static const bool prepared = [] {
    numberlist::Contact::registerModel();
    store::RecordStore::setupAutoMigratingCoreDataStack();
    rp::bench::storeListedNumbers(kRecords);

    struct Done : abm::ManageAddressBookDelegate<Done> {
      void didImportContacts() override { finished = true; }
      void didFailImportOfContactsWithError(const fnd::Error&) override { finished = true; }
      bool finished = false;
    } done;
    auto records = numberlist::Contact::findAll().value();
    records.resize(kProtected);
    auto manager = abm::AddressBookManagerV2::initWithDelegate(&done);
    manager->importLocalContactsInBackground(records);
    rp::test::runEventLoopUntil([&] { return done.finished; }, 10min);
    const bool imported = manager->countOfMembers() == kProtected;
    store::RecordStore::cleanUp();

    auto& settings = defaults::UserDefaults::standard();
    settings.setBool(app::AutoImportEnabledKey, true);
    settings.setDate(app::DateUpdatedDefaultKey, *fnd::Date::now());
    settings.synchronize();
    return imported;
  }();
  return prepared;
}

void runProgram(benchmark::State& state, const QStringList& arguments) {
  if (!prepareHome()) return state.SkipWithError("the home could not be prepared");
  for (auto _ : state) {
    QProcess program;
    program.start(QStringLiteral(RP_APPLICATION), arguments);
    if (!program.waitForFinished(60000) || program.exitCode() != 0) {
      return state.SkipWithError(program.readAllStandardError().toStdString().c_str());
    }
  }
}

void BM_ProgramLoadFloor(benchmark::State& state) { runProgram(state, {"--version"}); }
void BM_StartToFirstPaint(benchmark::State& state) {
  runProgram(state, {"-platform", "offscreen", "--quit-after-first-paint"});
}
BENCHMARK(BM_ProgramLoadFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
