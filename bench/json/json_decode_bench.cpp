// Decoding the benchmark documents to a full tree: this decoder side by side
// with RapidJSON's DOM parser, in the same run. Each benchmark reports the
// throughput, the heap bytes its finished tree holds ("tree_bytes") and how
// far one decode raised the resident peak of the process ("peak_bytes").

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <rapidjson/document.h>

#include <QFile>
#include <cstdio>
#include <optional>
#include <string>

#include "json/json_decoder.h"
#include "platform/foundation/object_arena.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temporary_home.h"

namespace {

// Blocks below this size come from the heap rather than from the system (the largest value allowed).
constexpr int kHeapServesBelow = 32 << 20;
// Free heap memory is kept up to this size instead of going back to the system.
constexpr int kHeapKeepsUpTo = 1 << 30;

const char* const kDocuments[] = {"canada.json", "citm_catalog.json", "twitter.json", "numberlist-100k.json"};

QByteArray readDocument(const std::string& name) {
  const std::string shared = rp::test::sharedDataPath();
  QFile file(QString::fromStdString(shared + "/json/bench/" + name));
  if (shared.empty() || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// Heap bytes in use, and the decoder's arena chunks (which the heap does not see).
std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd + fnd::ObjectArena::bytesInUse();
}

// Runs `work` once and returns how far it raised the resident peak: free heap
// and arena memory goes back to the system first and the peak mark is reset.
template <class Work>
std::size_t peakGrowth(Work work) {
  malloc_trim(0);
  fnd::ObjectArena::releaseReserve();
  if (!rp::test::resetPeakResidentBytes()) return 0;
  const std::optional<std::uint64_t> before = rp::test::residentBytes();
  work();
  const std::optional<std::uint64_t> peak = rp::test::peakResidentBytes();
  return before && peak ? static_cast<std::size_t>(*peak - *before) : 0;
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
  state.counters["peak_bytes"] = static_cast<double>(peakGrowth([&] { benchmark::DoNotOptimize(decode(bytes)); }));
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
  // Both sides get a heap that keeps what it was given: with the default,
  // load-dependent thresholds, whether a freed tree's memory goes back to the
  // system (and has to be faulted in again by the next decode) would depend
  // on which benchmark happened to run before.
  mallopt(M_MMAP_THRESHOLD, kHeapServesBelow);
  mallopt(M_TRIM_THRESHOLD, kHeapKeepsUpTo);
  // The decoder's objects come from its arena, which keeps free memory under the same rule.
  fnd::ObjectArena::setReserveLimit(kHeapKeepsUpTo);
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
