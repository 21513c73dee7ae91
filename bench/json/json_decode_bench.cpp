// Decoding the benchmark documents to a full tree: this decoder side by side
// with RapidJSON's DOM parser, in the same run. Each benchmark reports the
// throughput and the heap bytes its finished tree holds ("tree_bytes").

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <rapidjson/document.h>

#include <QFile>
#include <cstdio>
#include <string>

#include "json/json_decoder.h"
#include "tests/support/temporary_home.h"

namespace {

const char* const kDocuments[] = {"canada.json", "citm_catalog.json", "twitter.json", "numberlist-100k.json"};

QByteArray readDocument(const std::string& name) {
  const std::string shared = rp::test::sharedDataPath();
  QFile file(QString::fromStdString(shared + "/json/bench/" + name));
  if (shared.empty() || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Runs `decode` (which returns the tree) once per iteration; the tree is
// destroyed outside the timed part.
template <class Decode>
void measure(benchmark::State& state, const std::string& name, Decode decode) {
  const QByteArray bytes = readDocument(name);
  if (bytes.isEmpty()) {
    state.SkipWithError("the shared benchmark documents are absent; set RP_SHARED_DATA");
    return;
  }
  const std::size_t before = heapInUse();
  {
    auto tree = decode(bytes);
    state.counters["tree_bytes"] = static_cast<double>(heapInUse() - before);
  }
  for (auto _ : state) {
    auto tree = decode(bytes);
    benchmark::DoNotOptimize(tree);
    state.PauseTiming();
    tree = {};
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes.size());
}

void decodeWithJSONDecoder(benchmark::State& state, const std::string& name) {
  measure(state, name, [](const QByteArray& bytes) {
    json::JSONDecoder decoder;
    fnd::Ref<fnd::Object> tree =
        decoder.objectWithUTF8String(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!tree) std::abort();
    return tree;
  });
}

void decodeWithRapidJson(benchmark::State& state, const std::string& name) {
  measure(state, name, [](const QByteArray& bytes) {
    auto document = std::make_unique<rapidjson::Document>();
    document->Parse(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (document->HasParseError()) std::abort();
    return document;
  });
}

const bool registered = [] {
  for (const char* document : kDocuments) {
    benchmark::RegisterBenchmark((std::string("JSONDecoder/") + document).c_str(), decodeWithJSONDecoder, document)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("RapidJSON/") + document).c_str(), decodeWithRapidJson, document)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
