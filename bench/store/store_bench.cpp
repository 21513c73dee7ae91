// The record store against its references, in one run: replacing a downloaded
// list of 100,000 records (against raw SQLite prepared statements in one
// transaction), the number search, counting and reading every record.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QTemporaryDir>

#include <QCoreApplication>

#include "numberlist/contact.h"
#include "store/record_store.h"

namespace {

using numberlist::Contact;
using store::RecordStore;
using store::StoreContext;
using store::StoreSaving;

constexpr int kRecords = 100000;
// Both sides write a first list and replace it once before timing, so the
// timed replacements are the steady state of repeated refreshes: the heap and
// the database file have grown to their working size.
constexpr int kWarmUpGenerations = 2;

std::string phoneNumber(int index) { return std::to_string(40000000 + index * 7); }

void fill(Contact& contact, int index, int generation) {
  contact.setFirm(fnd::str("Firma " + std::to_string(index)).get());
  contact.setPhoneNumber(fnd::str(phoneNumber(index)).get());
  contact.setUrl(fnd::str("http://firma" + std::to_string(index) + ".no").get());
  contact.setCategory(fnd::str("Telefonsalg " + std::to_string(generation)).get());
  contact.setPosition(fnd::Number::create(static_cast<std::int64_t>(index + 1)).get());
  contact.setStatus(fnd::Number::boolean(index % 3 != 0));
}

void waitFor(const bool& done) {
  // Blocks in the event loop until the completion has run; no busy waiting.
  while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The application's replacement: delete every downloaded record and create the
// new ones in a background save, then write the default context to the file.
void replaceList(int generation) {
  bool done = false;
  RecordStore::saveInBackgroundWithBlock(
      [generation](const store::ContextPtr& context) {
        auto old = Contact::findAllWithPredicate(Contact::downloadedPredicate(), context);
        for (const auto& contact : old.value()) contact->deleteInContext(context);
        for (int i = 0; i < kRecords; ++i) fill(*Contact::createInContext(context), i, generation);
      },
      [&done] {
        StoreSaving::save(StoreContext::defaultContext());
        done = true;
      });
  waitFor(done);
}

class StoreFixture {
 public:
  StoreFixture() {
    RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(
        m_directory.filePath("bench.sqlite").toStdString());
    for (int generation = 0; generation < kWarmUpGenerations; ++generation) replaceList(generation);
  }
  ~StoreFixture() { RecordStore::cleanUp(); }

 private:
  QTemporaryDir m_directory;
};

void BM_ReplaceList_RecordStore(benchmark::State& state) {
  StoreFixture fixture;
  int generation = kWarmUpGenerations;
  for (auto _ : state) replaceList(generation++);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReplaceList_RecordStore)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_ReplaceList_RawSqlite(benchmark::State& state) {
  QTemporaryDir directory;
  sqlite3* database = nullptr;
  sqlite3_open(directory.filePath("raw.sqlite").toUtf8().constData(), &database);
  sqlite3_exec(database, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
  sqlite3_exec(
      database,
      "CREATE TABLE contact (id INTEGER PRIMARY KEY, firm TEXT, phone TEXT, url TEXT, category TEXT, "
      "position INTEGER, status INTEGER, manual INTEGER DEFAULT 0); CREATE INDEX contact_phone ON contact(phone)",
      nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(database,
                     "INSERT INTO contact (firm, phone, url, category, position, status, manual) "
                     "VALUES (?, ?, ?, ?, ?, ?, 0)",
                     -1, &insert, nullptr);
  auto write = [&](int generation) {
    sqlite3_exec(database, "BEGIN; DELETE FROM contact WHERE manual = 0;", nullptr, nullptr, nullptr);
    for (int i = 0; i < kRecords; ++i) {
      std::string firm = "Firma " + std::to_string(i), phone = phoneNumber(i);
      std::string url = "http://firma" + std::to_string(i) + ".no",
                  category = "Telefonsalg " + std::to_string(generation);
      sqlite3_bind_text(insert, 1, firm.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 2, phone.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 3, url.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 4, category.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(insert, 5, i + 1);
      sqlite3_bind_int(insert, 6, i % 3 != 0);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_exec(database, "COMMIT", nullptr, nullptr, nullptr);
  };
  for (int generation = 0; generation < kWarmUpGenerations; ++generation) write(generation);
  int generation = kWarmUpGenerations;
  for (auto _ : state) write(generation++);
  state.SetItemsProcessed(state.iterations() * kRecords);
  sqlite3_finalize(insert);
  sqlite3_close(database);
}
BENCHMARK(BM_ReplaceList_RawSqlite)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_NumberSearch(benchmark::State& state, const char* label, std::string (*pattern)(int)) {
  StoreFixture fixture;
  int index = 0;
  for (auto _ : state) {
    fnd::Ref<Contact> found = Contact::findFirstWithPredicate(Contact::numberSearchPredicate(pattern(index)));
    benchmark::DoNotOptimize(found.get());
    index = (index + 7919) % kRecords;
  }
  state.SetLabel(label);
}
BENCHMARK_CAPTURE(BM_NumberSearch, Exact, "exact number", [](int i) {
  return phoneNumber(i);
})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NumberSearch, LeadingStar, "leading * (full scan)", [](int i) {
  return "*" + phoneNumber(i).substr(2);
})->Unit(benchmark::kMillisecond);

void BM_CountOfEntities(benchmark::State& state) {
  StoreFixture fixture;
  for (auto _ : state) benchmark::DoNotOptimize(Contact::countOfEntities());
}
BENCHMARK(BM_CountOfEntities)->Unit(benchmark::kMicrosecond);

void BM_FindAll(benchmark::State& state) {
  StoreFixture fixture;
  for (auto _ : state) {
    auto all = Contact::findAll();
    benchmark::DoNotOptimize(all->size());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FindAll)->Unit(benchmark::kMillisecond)->Iterations(5);

// findAll hands back records that read their values in batches when first
// used; this reads one value of every record as a list view would.
void BM_FindAllAndRead(benchmark::State& state) {
  StoreFixture fixture;
  for (auto _ : state) {
    std::size_t characters = 0;
    std::optional<Contact::List> all = Contact::findAll();
    for (const auto& contact : all.value()) characters += contact->phoneNumber()->byteLength();
    benchmark::DoNotOptimize(characters);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FindAllAndRead)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
