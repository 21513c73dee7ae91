// Publishing a protection contact of 10,000 numbers: as a vCard file in a
// folder (the card written and replaced atomically) and to a Radicale server
// on loopback (a conditional PUT with the tag of the last write). The
// references beside them, in the same run, are the same card written to a
// file with a plain QFile and the same card put to the same server without
// any condition (the server's own share of the time).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/dispatch/block_thread.h"
#include "platform/net/http_exchange.h"
#include "publish/carddav_target.h"
#include "publish/folder_target.h"
#include "publish/testing/radicale_server.h"
#include "publish/vcard_writer.h"

namespace {

constexpr int kNumbers = 10'000;

const publish::ContactSnapshot& largeContact() {
  static const publish::ContactSnapshot contact = [] {
    publish::ContactSnapshot built{QStringLiteral("Ringeplagvern"), {}, QByteArray(4096, '\x42')};
    for (int i = 0; i < kNumbers; ++i)
      built.numbers.push_back({QStringLiteral("+47 %1").arg(20000000 + i),
                               QStringLiteral("Telesalg og markedsanalyse, avdeling %1; Øst").arg(i)});
    return built;
  }();
  return contact;
}

void BM_PlainFileWriteOfTheSameCard(benchmark::State& state) {
  QTemporaryDir folder;
  const QByteArray card = QByteArray::fromStdString(publish::vCardForContact(largeContact()));
  for (auto _ : state) {
    QFile file(folder.filePath(QStringLiteral("plain.vcf")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(card) != card.size())
      state.SkipWithError("plain write failed");
  }
  state.counters["cardBytes"] = static_cast<double>(card.size());
}
BENCHMARK(BM_PlainFileWriteOfTheSameCard)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_CardOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(publish::vCardForContact(largeContact()));
}
BENCHMARK(BM_CardOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_FolderTarget(benchmark::State& state) {
  QTemporaryDir folder;
  publish::FolderTarget target(folder.path());
  for (auto _ : state)
    if (!target.publish(largeContact()).isEmpty()) state.SkipWithError("folder publish failed");
}
BENCHMARK(BM_FolderTarget)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Each iteration replaces the card written by the one before, as a save does.
void BM_RadicaleOnLoopback(benchmark::State& state) {
  publish::test::RadicaleServer server;
  if (!server.isRunning()) {
    state.SkipWithError(qPrintable(server.error()));
    return;
  }
  QTemporaryDir stateFolder;
  publish::CardDavTarget target({server.collectionUrl(),
                                 QString::fromLatin1(publish::test::RadicaleServer::kUser),
                                 {},
                                 stateFolder.filePath(QStringLiteral("etag"))});
  // The target runs on a worker, as in the application; the loop waits for each round.
  dispatch::BlockThread worker("bench.publish");
  for (auto _ : state) {
    QString failure;
    worker.sync([&] { failure = target.publish(largeContact()); });
    if (!failure.isEmpty()) {
      state.SkipWithError(qPrintable(failure));
      break;
    }
  }
}
BENCHMARK(BM_RadicaleOnLoopback)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_RadicaleUnconditionalPutOfTheSameCard(benchmark::State& state) {
  publish::test::RadicaleServer server;
  if (!server.isRunning()) {
    state.SkipWithError(qPrintable(server.error()));
    return;
  }
  net::HttpRequest put;
  put.method = "PUT";
  put.url = server.collectionUrl() + QStringLiteral("plain.vcf");
  put.user = QString::fromLatin1(publish::test::RadicaleServer::kUser);
  put.headers = {{"Content-Type", "text/vcard; charset=utf-8"}};
  put.body = QByteArray::fromStdString(publish::vCardForContact(largeContact()));
  dispatch::BlockThread worker("bench.publish");
  for (auto _ : state) {
    int status = 0;
    worker.sync([&] {
      const net::HttpExchange exchange = net::exchange(put);
      status = exchange.answer ? exchange.answer->statusCode : 0;
    });
    if (status < 200 || status > 299) {
      state.SkipWithError("the plain PUT failed");
      break;
    }
  }
}
BENCHMARK(BM_RadicaleUnconditionalPutOfTheSameCard)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace
