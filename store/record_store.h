#pragma once
// RecordStore: the process-wide record store stack behind a few class-level
// operations: set-up and tear-down, the save forms that run a block in a
// fresh context, and the one hook that receives every error.
// Set-up, tear-down and the flags belong to the main thread; saving and
// handleErrors may be called from any thread.
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/error.h"
#include "store/stack_state.h"
#include "store/store_saving.h"

namespace store {

using SaveBlock = std::function<void(const ContextPtr& context)>;

class RecordStore {
 public:
  // The application's start-up call: the auto-migrating stack over the default store name.
  static void setupAutoMigratingCoreDataStack();
  static void setupCoreDataStackWithAutoMigratingSqliteStoreNamed(const std::string& nameOrPath);
  static void setupCoreDataStack();
  static void setupCoreDataStackWithStoreNamed(const std::string& nameOrPath);
  static void setupCoreDataStackWithInMemoryStore();

  static void cleanUp();
  static void cleanUpErrorHanding();
  static void cleanUpStack();

  // The application's name ("CFBundleName"): QCoreApplication's application name.
  static std::string bundleName();
  // The bundle name with ".sqlite" appended unless it already ends in
  // "sqlite"; "CoreDataStore.sqlite" without a name.
  static std::string defaultStoreName();
  static std::string defaultStoreNameForBundle(std::string_view bundleName);
  static void setDefaultModelNamed(const std::string& fileName);
  static void setDefaultModelFromClass();
  static std::string currentStack();

  static bool shouldAutoCreateManagedObjectModel();
  static void setShouldAutoCreateManagedObjectModel(bool value);
  static bool shouldAutoCreateDefaultPersistentStoreCoordinator();
  static void setShouldAutoCreateDefaultPersistentStoreCoordinator(bool value);
  static bool shouldDeleteStoreOnModelMismatch();
  static void setShouldDeleteStoreOnModelMismatch(bool value);
  static bool isICloudEnabled();
  static void setICloudEnabled(bool value);

  // Runs `block` on the calling thread in a new child of the default context,
  // then saves it through every ancestor to the file; `completion` then runs
  // on the main queue.
  static void saveWithBlock(const SaveBlock& block, const Completion& completion = nullptr,
                            const ErrorHandler& handler = nullptr);
  // Runs `block` with `context` on the one serial action queue, then saves the
  // context in the background; `completion` runs on the main queue.
  static void saveInBackgroundUsingContext(const ContextPtr& context, const SaveBlock& block,
                                           const Completion& completion = nullptr,
                                           const ErrorHandler& handler = nullptr);
  // The same in a new child of the default context: its changes reach the
  // default context, not the file; save the default context for that.
  static void saveInBackgroundWithBlock(const SaveBlock& block, const Completion& completion = nullptr,
                                        const ErrorHandler& handler = nullptr);
  static void saveInBackgroundUsingCurrentContextWithBlock(const SaveBlock& block,
                                                           const Completion& completion = nullptr,
                                                           const ErrorHandler& handler = nullptr);

  // Null: nothing. A target and an action: the action gets the error.
  // Otherwise the default handler, which reports nothing.
  static void handleErrors(const fnd::Error* error);
  static void defaultErrorHandler(const fnd::Error& error);
  // The target is kept alive while it is the hook.
  static void setErrorHandlerTarget(std::shared_ptr<void> target, ErrorHandler action);
  static std::shared_ptr<void> errorHandlerTarget();
  static ErrorHandler errorHandlerAction();
};

}  // namespace store
