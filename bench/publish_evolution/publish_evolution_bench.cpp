// Publishing a 10,000-number protection contact to Evolution Data Server: the
// first save of a fresh target (connect, add), a replacing save on an open
// book, and a removal; beside it the reference of writing the same contact's
// vCard text to a file. The run re-executes itself on a D-Bus session bus and
// in a home of its own, so it never writes into the person's own books.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <iostream>

#include "publish/evolution/eds_contact.h"
#include "publish/evolution/evolution_target.h"
#include "publish/evolution/private_session.h"

namespace {

using publish::ContactSnapshot;
using publish::Failure;
using namespace publish::evolution;

constexpr int kContactNumbers = 10'000;
constexpr int kFirms = 800;
constexpr int kIconBytes = 4096;

ContactSnapshot largeContact(int count) {
  ContactSnapshot contact{QStringLiteral("Ringeplagvern"), {}, QByteArray(kIconBytes, '\x7f')};
  contact.numbers.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    contact.numbers.push_back({QString::number(20000000 + i), QStringLiteral("Telefonsalg %1 AS").arg(i % kFirms)});
  }
  return contact;
}

bool succeeded(benchmark::State& state, const Failure& failure) {
  if (failure.isEmpty()) return true;
  state.SkipWithError(failure.toStdString().c_str());
  return false;
}

void BM_EvolutionFirstSave(benchmark::State& state) {
  const ContactSnapshot contact = largeContact(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    if (!succeeded(state, makeEvolutionTarget({})->remove())) break;
    std::unique_ptr<publish::PublishTarget> target = makeEvolutionTarget({});
    state.ResumeTiming();
    if (!succeeded(state, target->publish(contact))) break;
  }
}

void BM_EvolutionReplace(benchmark::State& state) {
  const ContactSnapshot contact = largeContact(static_cast<int>(state.range(0)));
  std::unique_ptr<publish::PublishTarget> target = makeEvolutionTarget({});
  if (!succeeded(state, target->publish(contact))) return;
  for (auto _ : state) {
    if (!succeeded(state, target->publish(contact))) break;
  }
}

void BM_EvolutionRemove(benchmark::State& state) {
  const ContactSnapshot contact = largeContact(static_cast<int>(state.range(0)));
  std::unique_ptr<publish::PublishTarget> target = makeEvolutionTarget({});
  for (auto _ : state) {
    state.PauseTiming();
    if (!succeeded(state, target->publish(contact))) break;
    state.ResumeTiming();
    if (!succeeded(state, target->remove())) break;
  }
}

// The same contact made into vCard text by the same code and written to a file.
void BM_VCardFileReference(benchmark::State& state) {
  const ContactSnapshot contact = largeContact(static_cast<int>(state.range(0)));
  QTemporaryDir folder;
  for (auto _ : state) {
    GObjectPtr<EContact> card = makeEdsContact(contact);
    GCharPtr text(e_vcard_to_string(E_VCARD(card.get()), EVC_FORMAT_VCARD_30));
    QFile file(folder.filePath(QStringLiteral("ringeplagvern.vcf")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.get()) < 0) {
      state.SkipWithError("the vCard file could not be written");
      break;
    }
  }
}

BENCHMARK(BM_EvolutionFirstSave)->Arg(kContactNumbers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_EvolutionReplace)->Arg(kContactNumbers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_EvolutionRemove)->Arg(kContactNumbers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_VCardFileReference)->Arg(kContactNumbers)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs this program again on a bus of its own and returns its exit code.
int rerunInPrivateSession(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (!test::evolutionServicesInstalled()) {
    std::cerr << test::kEvolutionServicesMissing << "; nothing measured.\n";
    return 0;
  }
  QTemporaryDir home;
  QProcess run;
  run.setProcessChannelMode(QProcess::ForwardedChannels);
  run.setProcessEnvironment(test::privateSessionEnvironment(home));
  run.start(QString::fromLatin1(test::kSessionRunner),
            test::privateSessionArguments(QCoreApplication::applicationFilePath(), application.arguments().mid(1)));
  run.waitForFinished(-1);
  return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet(test::kInsidePrivateSession)) return rerunInPrivateSession(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
