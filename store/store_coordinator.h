#pragma once
// The default store coordinator and persistent store, where the store file
// lives, and how stores are added. Setters are for the main thread (set-up and
// clean-up); the rest may run on any thread.
#include <memory>
#include <string>

#include "platform/foundation/containers.h"
#include "platform/objectstore/persistent_store_coordinator.h"
#include "store/shorthand.h"

namespace store {

using CoordinatorPtr = std::shared_ptr<objectstore::PersistentStoreCoordinator>;
using PersistentStorePtr = std::shared_ptr<objectstore::PersistentStore>;

enum class SearchPathDirectory { Documents = 9, ApplicationSupport = 14 };

class StoreCoordinator {
 public:
  // The default coordinator; when none is set and auto-creation is on, a
  // coordinator over the default store name is made the default first.
  static CoordinatorPtr RS_defaultStoreCoordinator();
  // Also makes its first store the default persistent store when none is set.
  static void RS_setDefaultStoreCoordinator(CoordinatorPtr coordinator);
  static CoordinatorPtr RS_newPersistentStoreCoordinator();
  // A coordinator over the default model whose store is added with migration;
  // when that fails, one more attempt runs 0.5 s later on the main thread.
  static CoordinatorPtr RS_coordinatorWithAutoMigratingSqliteStoreNamed(const std::string& nameOrPath);
  static CoordinatorPtr RS_coordinatorWithSqliteStoreNamed(const std::string& nameOrPath,
                                                           fnd::Ref<fnd::Dictionary> options = nullptr);
  static CoordinatorPtr RS_coordinatorWithInMemoryStore();
  static CoordinatorPtr RS_coordinatorWithPersistentStore(const PersistentStorePtr& store);
  static fnd::Ref<fnd::Dictionary> RS_autoMigrationOptions();

  // `nameOrPath` is a file name (placed by RS_urlForStoreName) or an absolute path.
  static PersistentStorePtr RS_addSqliteStoreNamed(const CoordinatorPtr& coordinator, const std::string& nameOrPath,
                                                   fnd::Ref<fnd::Dictionary> options);
  static PersistentStorePtr RS_addAutoMigratingSqliteStoreNamed(const CoordinatorPtr& coordinator,
                                                                const std::string& nameOrPath);
  static PersistentStorePtr RS_addInMemoryStore(const CoordinatorPtr& coordinator);
  static void RS_createPathToStoreFileIfNeccessary(const std::string& path);

  static PersistentStorePtr RS_defaultPersistentStore();
  static void RS_setDefaultPersistentStore(PersistentStorePtr store);

  // The per-user directory of the platform's kind: documents, or application data.
  static std::string RS_directory(SearchPathDirectory directory);
  static std::string RS_applicationDocumentsDirectory();
  // The application-data directory with the bundle name appended.
  static std::string RS_applicationStorageDirectory();
  // An existing store file in the documents or storage directory, else the
  // storage directory's path for a new one.
  static std::string RS_urlForStoreName(const std::string& fileName);
  static std::string RS_defaultLocalStoreUrl();

  RS_SHORTHAND(defaultStoreCoordinator)
  RS_SHORTHAND(setDefaultStoreCoordinator)
  RS_SHORTHAND(newPersistentStoreCoordinator)
  RS_SHORTHAND(coordinatorWithAutoMigratingSqliteStoreNamed)
  RS_SHORTHAND(coordinatorWithSqliteStoreNamed)
  RS_SHORTHAND(coordinatorWithInMemoryStore)
  RS_SHORTHAND(coordinatorWithPersistentStore)
  RS_SHORTHAND(autoMigrationOptions)
  RS_SHORTHAND(addSqliteStoreNamed)
  RS_SHORTHAND(addAutoMigratingSqliteStoreNamed)
  RS_SHORTHAND(addInMemoryStore)
  RS_SHORTHAND(createPathToStoreFileIfNeccessary)
  RS_SHORTHAND(defaultPersistentStore)
  RS_SHORTHAND(setDefaultPersistentStore)
  RS_SHORTHAND(directory)
  RS_SHORTHAND(applicationDocumentsDirectory)
  RS_SHORTHAND(applicationStorageDirectory)
  RS_SHORTHAND(urlForStoreName)
  RS_SHORTHAND(defaultLocalStoreUrl)
};

}  // namespace store
