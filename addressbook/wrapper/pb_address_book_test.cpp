#include "addressbook/wrapper/pb_address_book.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

#include "addressbook/wrapper/pb_group.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_source.h"
#include "addressbook/wrapper/pb_thread.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/system_log.h"
#include "tests/support/addressbook/test_book_file.h"

namespace pb {

namespace {

// Collects the log lines written while it lives.
class LogCapture {
 public:
  LogCapture() {
    fnd::setLogSinkForTesting([this](std::string_view line) {
      std::lock_guard lock(m_mutex);
      m_lines += std::string(line) + '\n';
    });
  }
  ~LogCapture() { fnd::setLogSinkForTesting({}); }
  std::string lines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
  }

 private:
  std::mutex m_mutex;
  std::string m_lines;
};

template <class Call>
std::string invalidArgumentReason(Call&& call) {
  try {
    call();
  } catch (const fnd::Exception& exception) {
    return exception.kind() == fnd::Exception::Kind::InvalidArgument ? exception.reason() : "wrong kind";
  }
  return "no exception";
}

std::shared_ptr<PBPerson> savedPerson(PBAddressBook& book, const char* firstName) {
  auto person = book.newPersonInDefaultSource();
  person->setFirstName(fnd::str(firstName).get());
  EXPECT_TRUE(book.save());
  return person;
}

TEST(PBAddressBook, OneWrapperPerRecordWhileItLives) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  ASSERT_TRUE(book);
  const ab::RecordID id = savedPerson(*book, "Kari")->recordID();
  auto first = book->personForABRecordID(id);
  ASSERT_TRUE(first);
  EXPECT_EQ(book->personForABRecordID(id), first);
  EXPECT_EQ(book->people().front(), first);
  EXPECT_EQ(book->defaultSource(), book->sources().front());
  std::weak_ptr<PBPerson> gone = first;
  first.reset();
  EXPECT_TRUE(gone.expired()) << "the registry must not keep wrappers alive";
  auto second = book->personForABRecordID(id);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->recordID(), id);
}

TEST(PBAddressBook, RecordOfAnotherInstanceIsFoundByItsID) {
  ab::test::TestBookFile file;
  auto one = PBAddressBook::create();
  auto other = PBAddressBook::create();
  auto person = savedPerson(*one, "Ola");
  other->revert();
  auto mine = other->personForABRecordRef(person->recordRef().get());
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->addressBook(), other);
  EXPECT_NE(mine->recordRef(), person->recordRef()) << "wrapped around this instance's own record";
  EXPECT_EQ(mine->recordID(), person->recordID());

  auto unsaved = PBPerson::newPersonInSource(one->defaultSource());
  EXPECT_EQ(other->personForABRecordRef(unsaved->recordRef().get()), nullptr);
  EXPECT_EQ(other->personForABRecordRef(nullptr), nullptr);
}

TEST(PBAddressBook, SaveWithoutChangesWritesNothing) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  dispatch::BlockThread watcherThread("watcher");
  fnd::Ref<ab::AddressBook> watcher;
  std::atomic<int> outsideSaves{0};
  watcherThread.sync([&] {
    watcher = ab::AddressBook::create(nullptr);
    watcher->registerExternalChangeCallback([&] { ++outsideSaves; });
  });
  EXPECT_FALSE(book->hasUnsavedChanges());
  EXPECT_TRUE(book->save());
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(outsideSaves, 0) << "a save with nothing to save reached the file";
  savedPerson(*book, "Per");
  for (int i = 0; i < 100 && outsideSaves == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(outsideSaves, 1);
  watcherThread.sync([&] { watcher = nullptr; });
}

TEST(PBAddressBook, RecordsOfAnotherInstanceRaiseWithTheExactReasons) {
  ab::test::TestBookFile file;
  auto one = PBAddressBook::create();
  auto other = PBAddressBook::create();
  auto person = one->newPersonInDefaultSource();
  auto group = one->newGroupInDefaultSource();
  EXPECT_EQ(invalidArgumentReason([&] { other->removePerson(*person); }),
            "Person does not belong to this addressbook instance.");
  EXPECT_EQ(invalidArgumentReason([&] { other->addPerson(person); }),
            "Person has already been added to another addressbook.");
  EXPECT_EQ(invalidArgumentReason([&] { other->removeGroup(*group); }),
            "Group does not belong to this addressbook instance.");
  EXPECT_EQ(invalidArgumentReason([&] { other->addGroup(group); }),
            "Group has already been added to another addressbook.");
  EXPECT_EQ(invalidArgumentReason([&] { other->newPersonInSource(one->defaultSource()); }),
            "Error: PBSource object does not belong to this addressbook instance.");
  EXPECT_EQ(invalidArgumentReason([&] { other->newGroupInSource(one->defaultSource()); }),
            "Error: PBSource object does not belong to this addressbook instance.");
  EXPECT_FALSE(other->people().size()) << "nothing reached the other instance";
}

TEST(PBAddressBook, SourcesReadTheirTypeAndASourceWithoutTypeIsLocal) {
  ab::Configuration sources;
  sources.initialSources = {{"Jobb", ab::kSourceTypeExchange}, {"Uten type", std::nullopt}};
  ab::test::TestBookFile file(sources);
  auto book = PBAddressBook::create();
  const auto all = book->sources();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->type(), ab::kSourceTypeExchange);
  EXPECT_EQ(all[1]->type(), ab::kSourceTypeLocal);
  EXPECT_EQ(book->defaultSource(), all[1]);
  EXPECT_EQ(all[0]->description(),
            fnd::formatString("<PBSource: %p> name:Jobb type:1", static_cast<const void*>(all[0].get())));
}

TEST(PBAddressBook, GroupOfANonDefaultSourceIsCreatedWithoutSource) {
  ab::Configuration sources;
  sources.initialSources = {{"", ab::kSourceTypeLocal}, {"Andre", ab::kSourceTypeLocal}};
  ab::test::TestBookFile file(sources);
  auto book = PBAddressBook::create();
  auto second = book->sources().at(1);
  auto group = book->newGroupInSource(second);
  ASSERT_TRUE(group);
  group->setName(fnd::str("Venner").get());
  EXPECT_EQ(group->source(), book->defaultSource()) << "the platform places it in its default source";
  EXPECT_TRUE(second->groups().empty());
  auto member = second->newPerson();
  EXPECT_EQ(member->inSource(), second);
  EXPECT_TRUE(group->addMember(*member));
  EXPECT_EQ(group->count(), 1u);
  EXPECT_EQ(group->members().front(), member);
  ASSERT_TRUE(book->save());
  group->removeAllMembers();
  EXPECT_EQ(group->count(), 0u);
  EXPECT_TRUE(group->remove());
  EXPECT_TRUE(book->groups().empty());
}

TEST(PBAddressBook, PeopleAreRemovedOnlyWhenTheRemovalIsStored) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto person = book->newPersonInDefaultSource();
  EXPECT_TRUE(person->hasbeenRemoved()) << "added but never saved";
  ASSERT_TRUE(book->save());
  EXPECT_FALSE(person->hasbeenRemoved());
  EXPECT_TRUE(person->remove());
  ASSERT_TRUE(book->save());
  EXPECT_TRUE(person->hasbeenRemoved());
  EXPECT_EQ(book->personForABRecordRef(person->recordRef().get()), person) << "the wrapper stays registered";
  EXPECT_EQ(book->personForABRecordID(person->recordID()), nullptr) << "but the instance no longer holds the person";
}

TEST(PBAddressBook, RefusedWritesAreLoggedWithTheSelector) {
  ab::test::TestBookFile file;
  LogCapture log;
  auto book = PBAddressBook::create();
  auto person = book->newPersonInDefaultSource();
  person->setKind(fnd::Number::create(0.5).get());
  EXPECT_NE(log.lines().find("-[PBPerson setKind:] error:Error Domain=ABAddressBookErrorDomain Code=2"),
            std::string::npos)
      << log.lines();
  EXPECT_FALSE(person->kind());
  EXPECT_FALSE(person->isOrganization());
  EXPECT_FALSE(person->isPerson());
}

TEST(PBAddressBook, DescriptionsOfTypes) {
  EXPECT_EQ(PBRecord::descriptionForRecordType(0), "kABPersonType - Person Record Type");
  EXPECT_EQ(PBRecord::descriptionForRecordType(2), "kABSourceType - Source Record Type");
  EXPECT_EQ(PBRecord::descriptionForRecordType(7), "Unknown Property Type");
  EXPECT_EQ(PBRecord::descriptionForPropertyType(0), "kABInvalidPropertyType - Invalid Property Type");
  EXPECT_EQ(PBRecord::descriptionForPropertyType(5), "kABDictionaryPropertyType - Dictionary Property Type");
  EXPECT_EQ(PBRecord::descriptionForPropertyType(257), "kABMultiStringPropertyType - Multi String Property Type");
  EXPECT_EQ(PBRecord::descriptionForPropertyType(261),
            "kABMultiDictionaryPropertyType - Multi Dictionary Property Type");
  for (std::uint32_t unknown : {6u, 256u, 262u, 1000u})
    EXPECT_EQ(PBRecord::descriptionForPropertyType(unknown), "Unknown Property Type") << unknown;
}

TEST(PBAddressBook, PeopleAreListedInTheAskedOrder) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto anne = book->newPersonInDefaultSource();
  anne->setFirstName(fnd::str("Anne").get());
  anne->setLastName(fnd::str("Berg").get());
  auto bjorn = book->newPersonInDefaultSource();
  bjorn->setFirstName(fnd::str("Bjørn").get());
  bjorn->setLastName(fnd::str("Aas").get());
  EXPECT_EQ(book->peopleOrderedByFirstName(), (PBAddressBook::People{anne, bjorn}));
  EXPECT_EQ(book->peopleOrderedByLastName(), (PBAddressBook::People{bjorn, anne}));
  EXPECT_EQ(book->defaultSource()->peopleOrderedByLastName(), (PBAddressBook::People{bjorn, anne}));
  EXPECT_EQ(book->peopleWithName("anne b"), (PBAddressBook::People{anne}));
  EXPECT_EQ(anne->description(),
            fnd::formatString("<PBPerson: %p> name:Anne Berg", static_cast<const void*>(anne.get())));
}

TEST(PBAddressBook, AuthorisationIsAnsweredFromTheConfiguration) {
  ab::Configuration denied;
  denied.accessGrantedWithoutPrompt = false;
  ab::test::TestBookFile file(denied);
  EXPECT_EQ(PBAddressBook::authorizationStatus(), ab::AuthorizationStatus::NotDetermined);
  auto book = PBAddressBook::create();
  std::promise<bool> answer;
  book->requestAuthorizationWithCompletion(
      [&answer](bool granted, std::optional<fnd::Error>) { answer.set_value(granted); });
  EXPECT_FALSE(answer.get_future().get());
  EXPECT_EQ(PBAddressBook::authorizationStatus(), ab::AuthorizationStatus::Denied);
}

TEST(PBBlockAdditions, WaitingFromTheThreadRunsInlineNotWaitingRunsAfter) {
  dispatch::BlockThread thread("blocks");
  std::vector<int> order;
  thread.sync([&] {
    PBBlockAdditions::performBlock(
        thread, [&] { order.push_back(1); }, false);
    PBBlockAdditions::performBlock(
        thread, [&] { order.push_back(2); }, true);
    order.push_back(3);
  });
  thread.sync([] {});
  EXPECT_EQ(order, (std::vector<int>{2, 3, 1}));
}

TEST(PBBlockAdditions, EveryBackgroundBlockGetsAThreadOfItsOwn) {
  // The first block waits for the second, handed over after it: on a shared
  // serial queue the wait would run out.
  std::promise<void> secondRan;
  std::promise<bool> firstSawSecond;
  std::promise<std::thread::id> secondThread;
  std::thread::id firstThread;
  PBBlockAdditions::performBlockInBackground([&] {
    firstThread = std::this_thread::get_id();
    firstSawSecond.set_value(secondRan.get_future().wait_for(std::chrono::seconds(10)) == std::future_status::ready);
  });
  PBBlockAdditions::performBlockInBackground([&] {
    secondThread.set_value(std::this_thread::get_id());
    secondRan.set_value();
  });
  EXPECT_TRUE(firstSawSecond.get_future().get());
  const std::thread::id second = secondThread.get_future().get();
  EXPECT_NE(firstThread, second);
  EXPECT_NE(second, std::this_thread::get_id());
}

}  // namespace

}  // namespace pb
