#include "store/record_store.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <thread>

#include "platform/dispatch/main_thread.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/sqlite_store.h"
#include "store/model_bundle.h"
#include "store/record.h"
#include "store/store_coordinator.h"
#include "tests/support/event_loop.h"

namespace store {
namespace {

using objectstore::AttributeType;
using objectstore::Predicate;

// Time a batch of background saves gets, on a slow machine under a sanitizer,
// before the test gives up on them instead of hanging.
constexpr std::chrono::seconds kSavesFinish{120};

class Note final : public Record<Note> {
 public:
  static constexpr std::string_view kEntityName = "Note";

  static std::shared_ptr<objectstore::ManagedObjectModel> makeModel(bool withTitleAsNumber = false) {
    auto model = std::make_shared<objectstore::ManagedObjectModel>();
    auto& note = model->addEntity("Note");
    note.addAttribute({.name = "title", .type = withTitleAsNumber ? AttributeType::Integer64 : AttributeType::String});
    note.addAttribute({.name = "rank", .type = AttributeType::Integer32});
    note.addAttribute({.name = "group", .type = AttributeType::String});
    note.setInstanceFactory([] { return new Note; });
    model->finish();
    return model;
  }

  std::string title() const {
    fnd::Ref<fnd::Object> value = valueForKey("title");
    return value ? value->description() : "nil";
  }
};

Note& make(const ContextPtr& context, const std::string& title, std::int64_t rank, const char* group = "a") {
  fnd::Ref<Note> note = Note::createInContext(context);
  note->setValueForKey(fnd::str(title).get(), "title");
  note->setValueForKey(fnd::Number::create(rank).get(), "rank");
  note->setValueForKey(fnd::str(group).get(), "group");
  return *note;
}

std::vector<std::string> titles(const std::optional<Note::List>& notes) {
  std::vector<std::string> result;
  for (const auto& note : notes.value()) result.push_back(note->title());
  return result;
}

class RecordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ModelBundle::addModel("Notes", Note::makeModel());
    RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(storePath());
    ASSERT_TRUE(StoreCoordinator::defaultPersistentStore());
  }
  void TearDown() override {
    RecordStore::cleanUp();
    ModelBundle::removeModel("Notes");
  }

  std::string storePath() const { return m_directory.filePath("notes.sqlite").toStdString(); }

  // The number of notes in the file, read by a coordinator of its own.
  std::size_t notesInFile() const {
    auto coordinator = std::make_shared<objectstore::PersistentStoreCoordinator>(Note::makeModel());
    auto store = coordinator->addPersistentStore(objectstore::kSQLiteStoreType, storePath(),
                                                 StoreCoordinator::autoMigrationOptions(), nullptr);
    auto context = objectstore::ManagedObjectContext::create(objectstore::ConcurrencyType::PrivateQueue);
    context->setPersistentStoreCoordinator(coordinator);
    objectstore::FetchRequest request(coordinator->managedObjectModel()->entityNamed("Note"));
    return context->countForFetchRequest(request, nullptr).value_or(999);
  }

  QTemporaryDir m_directory;
};

TEST_F(RecordStoreTest, StackHasTheThreeContextRolesAndSetUpTwiceKeepsTheFirst) {
  ContextPtr defaultContext = StoreContext::defaultContext();
  ContextPtr root = StoreContext::rootSavingContext();
  ASSERT_TRUE(defaultContext && root);
  EXPECT_EQ(defaultContext->concurrencyType(), objectstore::ConcurrencyType::MainQueue);
  EXPECT_EQ(root->concurrencyType(), objectstore::ConcurrencyType::PrivateQueue);
  EXPECT_EQ(defaultContext->parentContext(), root);
  EXPECT_EQ(root->mergePolicy(), objectstore::MergePolicy::PropertyObjectTrump);
  EXPECT_EQ(defaultContext->name(), "*** DEFAULT ***");
  EXPECT_EQ(root->name(), "*** BACKGROUND SAVE ***");
  auto coordinator = StoreCoordinator::defaultStoreCoordinator();
  RecordStore::setupCoreDataStackWithInMemoryStore();
  RecordStore::setupAutoMigratingCoreDataStack();
  EXPECT_EQ(StoreCoordinator::defaultStoreCoordinator(), coordinator);
  EXPECT_EQ(StoreContext::defaultContext(), defaultContext);
  EXPECT_NE(RecordStore::currentStack().find("Context:     "), std::string::npos);

  RecordStore::cleanUp();
  EXPECT_EQ(StoreContext::defaultContext(), nullptr);
  EXPECT_EQ(StoreContext::contextForCurrentThread(), nullptr);
  EXPECT_EQ(StoreCoordinator::defaultStoreCoordinator(), nullptr);
  RecordStore::setupCoreDataStackWithInMemoryStore();
  EXPECT_NE(StoreContext::defaultContext(), nullptr);
  EXPECT_NE(StoreCoordinator::defaultStoreCoordinator(), coordinator);
}

TEST_F(RecordStoreTest, StoreNameFollowsTheApplicationName) {
  const QString original = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName("Abc");
  EXPECT_EQ(RecordStore::defaultStoreName(), "Abc.sqlite");
  QCoreApplication::setApplicationName("Notessqlite");
  EXPECT_EQ(RecordStore::defaultStoreName(), "Notessqlite");
  QCoreApplication::setApplicationName(original);
  EXPECT_EQ(RecordStore::defaultStoreNameForBundle(""), "CoreDataStore.sqlite");
}

TEST_F(RecordStoreTest, AStoreInTheDocumentsDirectoryIsPreferred) {
  const std::string name = "located.sqlite";
  std::string created = StoreCoordinator::urlForStoreName(name);
  EXPECT_EQ(created, StoreCoordinator::applicationStorageDirectory() + "/" + name);
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(StoreCoordinator::applicationDocumentsDirectory())));
  QFile file(QString::fromStdString(StoreCoordinator::applicationDocumentsDirectory() + "/" + name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_EQ(StoreCoordinator::urlForStoreName(name), file.fileName().toStdString());
  file.remove();
}

TEST_F(RecordStoreTest, ContextForCurrentThreadIsPerThread) {
  EXPECT_EQ(StoreContext::contextForCurrentThread(), StoreContext::defaultContext());
  ContextPtr first, again, second;
  std::thread one([&] {
    first = StoreContext::contextForCurrentThread();
    again = StoreContext::contextForCurrentThread();
  });
  one.join();
  std::thread two([&] { second = StoreContext::contextForCurrentThread(); });
  two.join();
  EXPECT_EQ(first, again);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->parentContext(), StoreContext::defaultContext());
}

TEST_F(RecordStoreTest, UnsavedRecordsAreCountedAndSaveWritesTheFileBeforeReturning) {
  EXPECT_EQ(Note::countOfEntities(), 0u);
  auto all = Note::findAll();
  ASSERT_TRUE(all.has_value()) << "an empty store gives an empty list, not none";
  EXPECT_TRUE(all->empty());
  EXPECT_EQ(Note::findFirstWithPredicate(Predicate::withFormat("rank == 1")), nullptr);
  make(StoreContext::defaultContext(), "one", 1);
  make(StoreContext::defaultContext(), "two", 2);
  EXPECT_EQ(Note::countOfEntities(), 2u);
  EXPECT_TRUE(Note::hasAtLeastOneEntity());
  EXPECT_EQ(notesInFile(), 0u);
  StoreSaving::save(StoreContext::defaultContext());
  EXPECT_EQ(notesInFile(), 2u);
  EXPECT_FALSE(StoreContext::defaultContext()->hasChanges());
}

TEST_F(RecordStoreTest, BackgroundSaveReachesTheDefaultContextButNotTheFile) {
  bool completed = false;
  std::thread::id blockThread;
  std::set<const void*> made;
  RecordStore::saveInBackgroundWithBlock(
      [&](const ContextPtr& context) {
        blockThread = std::this_thread::get_id();
        for (int i = 0; i < 50; ++i) made.insert(&make(context, "n" + std::to_string(i), i));
      },
      [&] {
        EXPECT_TRUE(dispatch::isMainThread());
        completed = true;
      });
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return completed; }));
  EXPECT_NE(blockThread, std::this_thread::get_id());
  EXPECT_EQ(Note::countOfEntities(), 50u);
  EXPECT_TRUE(StoreContext::defaultContext()->hasChanges());
  // The block's context is dropped after its save, so its records moved into
  // the default context whole (compared by address only).
  std::set<const void*> inDefaultContext;
  for (const auto& inserted : StoreContext::defaultContext()->insertedObjects())
    inDefaultContext.insert(inserted.get());
  EXPECT_EQ(inDefaultContext, made);
  EXPECT_EQ(notesInFile(), 0u);
  StoreSaving::save(StoreContext::defaultContext());
  EXPECT_EQ(notesInFile(), 50u);
}

TEST_F(RecordStoreTest, CompletionRunsEvenWhenTheBlockChangesNothing) {
  int completions = 0;
  RecordStore::saveInBackgroundWithBlock([](const ContextPtr&) {}, [&] { ++completions; });
  StoreSaving::saveInBackgroundCompletion(StoreContext::defaultContext(), [&] { ++completions; });
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return completions == 2; }));
}

TEST_F(RecordStoreTest, SaveWithBlockWritesThroughEveryLevel) {
  bool completed = false;
  RecordStore::saveWithBlock([](const ContextPtr& context) { make(context, "direct", 7); }, [&] { completed = true; });
  EXPECT_EQ(notesInFile(), 1u);
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return completed; }));
}

TEST_F(RecordStoreTest, FindersRequestsAndCounts) {
  ContextPtr context = StoreContext::defaultContext();
  make(context, "c", 3, "x");
  make(context, "a", 1, "y");
  make(context, "b", 2, "x");
  make(context, "d", 4, "y");
  EXPECT_EQ(titles(Note::findAllSortedBy("rank", false)), (std::vector<std::string>{"d", "c", "b", "a"}));
  EXPECT_EQ(titles(Note::findAllSortedBy("group,title", true)), (std::vector<std::string>{"b", "c", "a", "d"}));
  EXPECT_EQ(titles(Note::findByAttribute("group", fnd::str("y").get(), "rank", false)),
            (std::vector<std::string>{"d", "a"}));
  EXPECT_EQ(Note::findFirstByAttribute("title", fnd::str("b").get())->title(), "b");
  EXPECT_EQ(Note::findFirstWithPredicate(Predicate::withFormat("rank > 1"), "rank", true)->title(), "b");
  EXPECT_EQ(Note::countOfEntitiesWithPredicate(Predicate::withFormat("group == 'x'")), 2u);

  FetchRequest sorted = Note::requestAllSortedBy("group, title", true);
  ASSERT_EQ(sorted.sortDescriptors().size(), 2u);
  EXPECT_EQ(sorted.sortDescriptors()[1].key, " title") << "the blank after the comma is kept";
  EXPECT_TRUE(sorted.sortDescriptors()[1].ascending);
  EXPECT_EQ(sorted.fetchBatchSize(), 20u);

  FetchRequest request = Note::requestAll();
  EXPECT_NE(Note::executeFetchRequestAndReturnFirstObject(request), nullptr);
  EXPECT_EQ(request.fetchLimit(), 1u) << "the caller's request keeps the limit";

  EXPECT_EQ(Note::aggregateOperation("max:", "rank", nullptr)->description(), "4");
  EXPECT_EQ(Note::aggregateOperation("sum:", "rank", Predicate::withFormat("group == 'x'"))->description(), "5");
  EXPECT_EQ(Note::findFirst()->maxValueFor("rank")->description(), "4");
  EXPECT_EQ(Note::findFirst()->objectWithMinValueFor("rank")->title(), "a");
}

TEST_F(RecordStoreTest, DeletionHelpersReturnTrueAndDelete) {
  ContextPtr context = StoreContext::defaultContext();
  EXPECT_TRUE(Note::truncateAll());
  EXPECT_TRUE(Note::deleteAllMatchingPredicate(Predicate::withFormat("rank > 0")));
  for (int i = 0; i < 6; ++i) make(context, std::to_string(i), i);
  StoreSaving::save(context);
  EXPECT_TRUE(Note::deleteAllMatchingPredicate(Predicate::withFormat("rank >= 3")));
  EXPECT_EQ(Note::countOfEntities(), 3u);
  fnd::Ref<Note> first = Note::findFirstWithPredicate(Predicate::withFormat("rank == 0"));
  EXPECT_TRUE(first->deleteInContext(context));
  EXPECT_EQ(Note::countOfEntities(), 2u);
  StoreSaving::save(context);
  EXPECT_EQ(notesInFile(), 2u);
  EXPECT_TRUE(Note::truncateAll());
  StoreSaving::save(context);
  EXPECT_EQ(notesInFile(), 0u);
}

TEST_F(RecordStoreTest, RecordsMoveBetweenContexts) {
  Note& note = make(StoreContext::defaultContext(), "moved", 1);
  StoreSaving::save(StoreContext::defaultContext());
  ContextPtr other = StoreContext::context();
  fnd::Ref<Note> there = note.inContext(other);
  ASSERT_NE(there, nullptr);
  EXPECT_NE(there.get(), &note);
  EXPECT_EQ(there->title(), "moved");
  std::optional<fnd::Error> reported;
  RecordStore::setErrorHandlerTarget(std::make_shared<int>(0), [&](const fnd::Error& error) { reported = error; });
  StoreContext::defaultContext()->deleteObject(note);
  StoreSaving::save(StoreContext::defaultContext());
  EXPECT_EQ(there->inContext(StoreContext::context()), nullptr);
  EXPECT_TRUE(reported);
}

TEST_F(RecordStoreTest, ErrorsGoToTheHookOnlyWhenThereIsOne) {
  int calls = 0;
  RecordStore::setErrorHandlerTarget(std::make_shared<int>(0), [&](const fnd::Error&) { ++calls; });
  RecordStore::handleErrors(nullptr);
  EXPECT_EQ(calls, 0);
  fnd::Error error("Test", 1);
  RecordStore::handleErrors(&error);
  EXPECT_EQ(calls, 1);
  RecordStore::cleanUpErrorHanding();
  RecordStore::handleErrors(&error);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(RecordStore::errorHandlerTarget(), nullptr);
}

TEST_F(RecordStoreTest, AFailedSaveReachesTheHandlerAndKeepsTheChanges) {
  RecordStore::cleanUp();
  std::string blocked = m_directory.filePath("file").toStdString();
  QFile file(QString::fromStdString(blocked));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  // A store below a plain file cannot be opened; the stack still has contexts.
  RecordStore::setupCoreDataStackWithStoreNamed(blocked + "/inner.sqlite");
  ASSERT_TRUE(StoreContext::defaultContext());
  EXPECT_EQ(StoreCoordinator::defaultPersistentStore(), nullptr);
  make(StoreContext::defaultContext(), "kept", 1);
  std::optional<fnd::Error> failure;
  StoreSaving::saveErrorHandler(StoreContext::defaultContext(), [&](const fnd::Error& error) { failure = error; });
  ASSERT_TRUE(failure);
  EXPECT_TRUE(StoreContext::rootSavingContext()->hasChanges());
  EXPECT_EQ(Note::countOfEntities(), 1u);
}

TEST_F(RecordStoreTest, AnUnmappableStoreIsReplacedOnlyWhenAskedTo) {
  make(StoreContext::defaultContext(), "old", 1);
  StoreSaving::save(StoreContext::defaultContext());
  RecordStore::cleanUp();
  ModelBundle::addModel("Notes", Note::makeModel(/*withTitleAsNumber=*/true));
  RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(storePath());
  EXPECT_EQ(StoreCoordinator::defaultPersistentStore(), nullptr);
  RecordStore::cleanUp();
  RecordStore::setShouldDeleteStoreOnModelMismatch(true);
  RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(storePath());
  RecordStore::setShouldDeleteStoreOnModelMismatch(false);
  ASSERT_NE(StoreCoordinator::defaultPersistentStore(), nullptr);
  EXPECT_EQ(Note::countOfEntities(), 0u);
}

TEST_F(RecordStoreTest, AStoreThatCannotBeOpenedAtLaunchIsTriedAgainShortlyAfter) {
  RecordStore::cleanUp();
  // Something else holds the file's name for a moment: the first attempt fails.
  const QString path = m_directory.filePath("late.sqlite");
  ASSERT_TRUE(QDir().mkpath(path));
  RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(path.toStdString());
  EXPECT_TRUE(StoreCoordinator::defaultStoreCoordinator()->persistentStores().empty());
  ASSERT_TRUE(QDir().rmdir(path));

  ASSERT_TRUE(rp::test::runEventLoopUntil(
      [] { return !StoreCoordinator::defaultStoreCoordinator()->persistentStores().empty(); },
      std::chrono::seconds(10)));
  // The contexts made at launch, before the store came, write into it.
  make(StoreContext::defaultContext(), "late", 1);
  StoreSaving::save(StoreContext::defaultContext());
  EXPECT_EQ(Note::countOfEntities(), 1u);
  EXPECT_TRUE(QFile::exists(path));
}

TEST_F(RecordStoreTest, CleanUpWhileBackgroundBlocksWaitLetsThemEndAndTheNextStackStartsClean) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> blocksRun{0};
  int completions = 0;
  RecordStore::saveInBackgroundWithBlock(
      [released, &blocksRun](const ContextPtr& context) {
        released.wait();
        make(context, "first", 1);
        ++blocksRun;
      },
      [&completions] { ++completions; });
  RecordStore::saveInBackgroundWithBlock(
      [&blocksRun](const ContextPtr& context) {
        make(context, "second", 2);
        ++blocksRun;
      },
      [&completions] { ++completions; });
  RecordStore::cleanUp();
  EXPECT_EQ(StoreContext::defaultContext(), nullptr);
  release.set_value();
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return blocksRun == 2 && completions == 2; }));

  // Neither block reached the file, and the new stack does not see the old one's contexts.
  RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(storePath());
  EXPECT_EQ(Note::countOfEntities(), 0u);
  EXPECT_EQ(notesInFile(), 0u);
}

TEST_F(RecordStoreTest, FetchedResultsControllerGroupsBySection) {
  ContextPtr context = StoreContext::defaultContext();
  make(context, "b", 2, "x");
  make(context, "a", 1, "x");
  make(context, "c", 3, "y");
  auto controller = Note::fetchAllGroupedBy("group", nullptr, "group,rank", true);
  ASSERT_EQ(controller->sections().size(), 2u);
  EXPECT_EQ(controller->sections()[0].name, "x");
  EXPECT_EQ(static_cast<Note*>(controller->objectAtIndexPath(0, 1))->title(), "b");
  EXPECT_EQ(controller->sections()[1].objects.size(), 1u);
  EXPECT_EQ(controller->objectAtIndexPath(2, 0), nullptr);
  EXPECT_EQ(Note::fetchController(Note::requestAll(), nullptr, true, "", context)->cacheName(),
            "RecordStore-Cache-Note");
}

TEST_F(RecordStoreTest, EachBackgroundBlockFindsTheChangesOfTheBlockBefore) {
  // Each block replaces every note with its own list, as a list refresh does;
  // the last one queued must be the one left.
  constexpr int kReplacements = 8;
  constexpr int kNotesPerList = 2000;
  std::atomic<int> completed = 0;
  for (int list = 0; list < kReplacements; ++list) {
    RecordStore::saveInBackgroundWithBlock(
        [list](const ContextPtr& context) {
          if (auto old = Note::findAllInContext(context)) {
            for (const fnd::Ref<Note>& note : *old) note->deleteInContext(context);
          }
          for (int i = 0; i < kNotesPerList; ++i) make(context, "list" + std::to_string(list), i);
        },
        [&] { ++completed; });
  }
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return completed == kReplacements; }, kSavesFinish));
  EXPECT_EQ(Note::countOfEntities(), static_cast<std::size_t>(kNotesPerList));
  EXPECT_EQ(Note::countOfEntitiesWithPredicate(Predicate::withFormat("title == 'list7'")),
            static_cast<std::size_t>(kNotesPerList));
}

TEST_F(RecordStoreTest, ManyBackgroundSavesWhileTheMainThreadReads) {
  constexpr int kSaves = 40;
  constexpr int kNotesPerSave = 25;
  std::atomic<int> completed = 0;
  for (int save = 0; save < kSaves; ++save) {
    RecordStore::saveInBackgroundWithBlock(
        [save](const ContextPtr& context) {
          for (int i = 0; i < kNotesPerSave; ++i) make(context, "s" + std::to_string(save), i);
          auto existing = Note::findAllWithPredicate(Predicate::withFormat("rank == 0"), context);
          EXPECT_TRUE(existing.has_value());
        },
        [&] { ++completed; });
  }
  std::size_t lastCount = 0;
  const auto deadline = std::chrono::steady_clock::now() + kSavesFinish;
  while (completed < kSaves) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << completed << " of " << kSaves << " saves finished";
    std::size_t count = Note::countOfEntities().value();
    EXPECT_EQ(count % kNotesPerSave, 0u) << "a save arrives whole";
    EXPECT_GE(count, lastCount);
    lastCount = count;
    rp::test::runEventLoopFor(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(Note::countOfEntities(), static_cast<std::size_t>(kSaves * kNotesPerSave));
  StoreSaving::save(StoreContext::defaultContext());
  EXPECT_EQ(notesInFile(), static_cast<std::size_t>(kSaves * kNotesPerSave));
}

}  // namespace
}  // namespace store
