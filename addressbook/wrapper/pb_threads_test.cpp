// covers: pb_thread.cpp, pb_address_book.cpp, pb_person.cpp
// Several instances used from several threads at once: every call hops to the
// instance's own thread, so the wrappers, the registries and the records are
// never touched by two threads together (run under TSan).
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_person.h"
#include "tests/support/addressbook/test_book_file.h"

namespace pb {

namespace {

constexpr int kInstances = 3;
constexpr int kThreadsPerInstance = 2;
constexpr int kPeoplePerThread = 10;

TEST(PBThreads, InstancesSharedByThreadsStayConsistent) {
  ab::test::TestBookFile file;
  std::vector<std::shared_ptr<PBAddressBook>> books;
  for (int i = 0; i < kInstances; ++i) books.push_back(PBAddressBook::create());
  std::vector<std::unique_ptr<dispatch::BlockThread>> threads;
  std::vector<std::future<void>> done;
  std::atomic<int> identityFailures{0};
  for (int t = 0; t < kInstances * kThreadsPerInstance; ++t) {
    threads.push_back(std::make_unique<dispatch::BlockThread>("worker " + std::to_string(t)));
    auto finished = std::make_shared<std::promise<void>>();
    done.push_back(finished->get_future());
    const std::shared_ptr<PBAddressBook> book = books[static_cast<std::size_t>(t % kInstances)];
    threads.back()->async([book, t, finished, &identityFailures] {
      for (int i = 0; i < kPeoplePerThread; ++i) {
        auto person = book->newPersonInDefaultSource();
        person->setFirstName(fnd::str("worker " + std::to_string(t) + " person " + std::to_string(i)).get());
        auto phones = PBMutableMultiValue::create(ab::kMultiStringPropertyType);
        phones->addValue(fnd::str(std::to_string(i)).get(), fnd::str("Firma").get());
        person->setPhoneNumbers(phones.get());
        book->save();
        if (book->personForABRecordID(person->recordID()) != person) ++identityFailures;
        book->people();
        book->addressBookExternallyChanged();
      }
      finished->set_value();
    });
  }
  for (auto& future : done) future.get();
  EXPECT_EQ(identityFailures, 0);
  auto reader = PBAddressBook::create();
  EXPECT_EQ(reader->people().size(), static_cast<std::size_t>(kInstances * kThreadsPerInstance * kPeoplePerThread));
}

}  // namespace

}  // namespace pb
