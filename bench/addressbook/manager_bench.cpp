// The protection contact manager at the sizes the list reaches: a full rebuild
// of the contact from 10,000 and 100,000 records, with one progress report per
// number handed to the main thread and the final save to the address book
// file; and countOfMembers in a source where 1,000 other people live. The
// reference beside each rebuild is the same number of labelled numbers put on
// one person through the wrapper directly, with no reports.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "addressbook/address_book_manager_v2.h"
#include "addressbook/wrapper/pb_multi_value.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_source.h"
#include "store/record_store.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"

namespace {

using numberlist::Contact;

constexpr int kOtherPeople = 1000;

class ProgressDelegate : public abm::ManageAddressBookDelegate<ProgressDelegate> {
 public:
  void didUpdateProgress() override { ++reports; }
  void didImportContacts() override { finished = true; }
  void didFailImportOfContactsWithError(const fnd::Error&) override { finished = failed = true; }
  std::size_t reports = 0;
  bool finished = false;
  bool failed = false;
};

Contact::List makeRecords(int count) {
  Contact::List records;
  records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::str(std::to_string(20000000 + i)).get());
    record->setFirm(fnd::str("Telefonsalg " + std::to_string(i % 800) + " AS").get());
    records.push_back(record);
  }
  return records;
}

void BM_ManagerRebuild(benchmark::State& state) {
  ab::test::TestBookFile book;
  store::RecordStore::setupCoreDataStackWithInMemoryStore();
  const Contact::List records = makeRecords(static_cast<int>(state.range(0)));
  ProgressDelegate delegate;
  auto manager = abm::AddressBookManagerV2::initWithDelegate(&delegate);
  for (auto _ : state) {
    delegate = {};
    manager->importLocalContactsInBackground(records);
    rp::test::runEventLoopUntil([&] { return delegate.finished; }, std::chrono::minutes(10));
    if (delegate.failed || delegate.reports != records.size()) state.SkipWithError("the rebuild failed");
  }
  state.counters["numbers"] = static_cast<double>(records.size());
  store::RecordStore::cleanUp();
}

void BM_WrapperReference(benchmark::State& state) {
  ab::test::TestBookFile book;
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto addressBook = pb::PBAddressBook::create();
    for (const auto& person : addressBook->people()) person->remove();
    auto person = addressBook->newPersonInDefaultSource();
    auto numbers = pb::PBMutableMultiValue::create(ab::kMultiStringPropertyType);
    for (int i = 0; i < count; ++i) {
      numbers->addValue(fnd::str(std::to_string(20000000 + i)).get(),
                        fnd::str("Telefonsalg " + std::to_string(i % 800) + " AS").get());
    }
    person->setPhoneNumbers(numbers.get());
    if (!addressBook->save()) state.SkipWithError("the save failed");
  }
}

void BM_CountOfMembersAmongOtherPeople(benchmark::State& state) {
  ab::test::TestBookFile book;
  store::RecordStore::setupCoreDataStackWithInMemoryStore();
  {
    auto addressBook = pb::PBAddressBook::create();
    for (int i = 0; i < kOtherPeople; ++i) {
      auto person = addressBook->newPersonInDefaultSource();
      person->setFirstName(fnd::str("Person " + std::to_string(i)).get());
      person->setNote(fnd::str("Notat nummer " + std::to_string(i)).get());
    }
    addressBook->save();
  }
  ProgressDelegate delegate;
  auto manager = abm::AddressBookManagerV2::initWithDelegate(&delegate);
  manager->importLocalContactsInBackground(makeRecords(100));
  rp::test::runEventLoopUntil([&] { return delegate.finished; }, std::chrono::minutes(1));
  manager = abm::AddressBookManagerV2::init();  // a fresh instance sees the saved contact
  for (auto _ : state) {
    if (manager->countOfMembers() != 100) state.SkipWithError("wrong count");
  }
  store::RecordStore::cleanUp();
}

BENCHMARK(BM_ManagerRebuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_WrapperReference)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_CountOfMembersAmongOtherPeople)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
