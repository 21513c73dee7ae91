#include "store/store_coordinator.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "platform/dispatch/main_thread.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/system_log.h"
#include "platform/objectstore/sqlite_store.h"
#include "platform/objectstore/store_files.h"
#include "store/record_store.h"
#include "store/stack_state.h"
#include "store/store_model.h"

namespace store {

namespace {

constexpr std::chrono::milliseconds kStoreRetryDelay{500};
constexpr const char* kLocalStoreName = "CoreDataStore.sqlite";

std::string joinPath(const std::string& directory, const std::string& name) {
  return directory.empty() ? name : directory + "/" + name;
}

CoordinatorPtr newCoordinator() {
  ModelPtr model = StoreModel::RS_defaultManagedObjectModel();
  if (!model) {
    // Without a model there is nothing to store; an empty one keeps callers safe.
    auto empty = std::make_shared<objectstore::ManagedObjectModel>();
    empty->finish();
    model = empty;
  }
  return std::make_shared<objectstore::PersistentStoreCoordinator>(std::move(model));
}

}  // namespace

CoordinatorPtr StoreCoordinator::RS_defaultStoreCoordinator() {
  std::lock_guard lock(stackState().mutex);
  if (!stackState().defaultCoordinator && stackState().shouldAutoCreateDefaultPersistentStoreCoordinator) {
    RS_setDefaultStoreCoordinator(RS_newPersistentStoreCoordinator());
  }
  return stackState().defaultCoordinator;
}

void StoreCoordinator::RS_setDefaultStoreCoordinator(CoordinatorPtr coordinator) {
  std::lock_guard lock(stackState().mutex);
  stackState().defaultCoordinator = coordinator;
  if (coordinator && !stackState().defaultPersistentStore) {
    if (PersistentStorePtr first = coordinator->primaryStore()) stackState().defaultPersistentStore = first;
  }
}

CoordinatorPtr StoreCoordinator::RS_newPersistentStoreCoordinator() {
  return RS_coordinatorWithSqliteStoreNamed(RecordStore::defaultStoreName());
}

CoordinatorPtr StoreCoordinator::RS_coordinatorWithAutoMigratingSqliteStoreNamed(const std::string& nameOrPath) {
  CoordinatorPtr coordinator = newCoordinator();
  RS_addAutoMigratingSqliteStoreNamed(coordinator, nameOrPath);
  if (coordinator->persistentStores().empty()) {
    dispatch::performAfterDelay(
        kStoreRetryDelay, [coordinator, nameOrPath] { RS_addAutoMigratingSqliteStoreNamed(coordinator, nameOrPath); });
  }
  return coordinator;
}

CoordinatorPtr StoreCoordinator::RS_coordinatorWithSqliteStoreNamed(const std::string& nameOrPath,
                                                                    fnd::Ref<fnd::Dictionary> options) {
  CoordinatorPtr coordinator = newCoordinator();
  RS_addSqliteStoreNamed(coordinator, nameOrPath, std::move(options));
  return coordinator;
}

CoordinatorPtr StoreCoordinator::RS_coordinatorWithInMemoryStore() {
  CoordinatorPtr coordinator = newCoordinator();
  RS_addInMemoryStore(coordinator);
  return coordinator;
}

CoordinatorPtr StoreCoordinator::RS_coordinatorWithPersistentStore(const PersistentStorePtr& store) {
  CoordinatorPtr coordinator = newCoordinator();
  if (store) RS_addSqliteStoreNamed(coordinator, store->path(), nullptr);
  return coordinator;
}

fnd::Ref<fnd::Dictionary> StoreCoordinator::RS_autoMigrationOptions() {
  auto options = fnd::ObjectDictionary::createMutable();
  options->setObject(fnd::Number::yes(), objectstore::kMigratePersistentStoresAutomaticallyOption);
  options->setObject(fnd::Number::yes(), objectstore::kInferMappingModelAutomaticallyOption);
  return options->copy();
}

PersistentStorePtr StoreCoordinator::RS_addSqliteStoreNamed(const CoordinatorPtr& coordinator,
                                                            const std::string& nameOrPath,
                                                            fnd::Ref<fnd::Dictionary> options) {
  std::string path = nameOrPath.starts_with('/') ? nameOrPath : RS_urlForStoreName(nameOrPath);
  RS_createPathToStoreFileIfNeccessary(path);
  std::optional<fnd::Error> error;
  PersistentStorePtr store = coordinator->addPersistentStore(objectstore::kSQLiteStoreType, path, options, &error);
  if (!store && error && error->domain() == objectstore::kCocoaErrorDomain &&
      error->code() == objectstore::kFileReadCorruptFileError) {
    // A damaged file must not stop the application: it is kept aside, where
    // the user's own numbers can still be recovered from, and a fresh store
    // takes its place.
    RP_LOG("record store damaged, kept as " + objectstore::damagedStorePath(path) +
           " and started afresh: " + error->localizedDescription());
    RecordStore::handleErrors(&*error);
    if (objectstore::moveStoreFilesAside(path)) {
      error.reset();
      store = coordinator->addPersistentStore(objectstore::kSQLiteStoreType, path, options, &error);
    }
  }
  bool deleteOnMismatch;
  {
    std::lock_guard lock(stackState().mutex);
    deleteOnMismatch = stackState().shouldDeleteStoreOnModelMismatch;
  }
  if (store || !deleteOnMismatch) return store;
  if (error && error->domain() == objectstore::kCocoaErrorDomain &&
      error->code() == objectstore::kMigrationMissingSourceModelError) {
    objectstore::destroyStoreFiles(path);
    error.reset();
    store = coordinator->addPersistentStore(objectstore::kSQLiteStoreType, path, options, &error);
  }
  if (error) RecordStore::handleErrors(&*error);
  return store;
}

PersistentStorePtr StoreCoordinator::RS_addAutoMigratingSqliteStoreNamed(const CoordinatorPtr& coordinator,
                                                                         const std::string& nameOrPath) {
  return RS_addSqliteStoreNamed(coordinator, nameOrPath, RS_autoMigrationOptions());
}

PersistentStorePtr StoreCoordinator::RS_addInMemoryStore(const CoordinatorPtr& coordinator) {
  std::optional<fnd::Error> error;
  PersistentStorePtr store = coordinator->addPersistentStore(objectstore::kInMemoryStoreType, {}, nullptr, &error);
  if (!store && error) RecordStore::handleErrors(&*error);
  return store;
}

void StoreCoordinator::RS_createPathToStoreFileIfNeccessary(const std::string& path) {
  std::optional<fnd::Error> error;
  if (!objectstore::createStoreDirectory(path, &error) && error) RecordStore::handleErrors(&*error);
}

PersistentStorePtr StoreCoordinator::RS_defaultPersistentStore() {
  std::lock_guard lock(stackState().mutex);
  return stackState().defaultPersistentStore;
}

void StoreCoordinator::RS_setDefaultPersistentStore(PersistentStorePtr store) {
  std::lock_guard lock(stackState().mutex);
  stackState().defaultPersistentStore = std::move(store);
}

std::string StoreCoordinator::RS_directory(SearchPathDirectory directory) {
  QStandardPaths::StandardLocation location = directory == SearchPathDirectory::Documents
                                                  ? QStandardPaths::DocumentsLocation
                                                  : QStandardPaths::GenericDataLocation;
  return QStandardPaths::writableLocation(location).toStdString();
}

std::string StoreCoordinator::RS_applicationDocumentsDirectory() {
  return RS_directory(SearchPathDirectory::Documents);
}

std::string StoreCoordinator::RS_applicationStorageDirectory() {
  return joinPath(RS_directory(SearchPathDirectory::ApplicationSupport), RecordStore::bundleName());
}

std::string StoreCoordinator::RS_urlForStoreName(const std::string& fileName) {
  for (const std::string& directory : {RS_applicationDocumentsDirectory(), RS_applicationStorageDirectory()}) {
    std::string candidate = joinPath(directory, fileName);
    if (objectstore::storeFileExists(candidate)) return candidate;
  }
  return joinPath(RS_applicationStorageDirectory(), fileName);
}

std::string StoreCoordinator::RS_defaultLocalStoreUrl() { return RS_urlForStoreName(kLocalStoreName); }

}  // namespace store
