#pragma once
// The process-wide state of the record store stack, shared by the helper
// classes of this folder. Internal; every field is guarded by `mutex`.
#include <functional>
#include <memory>
#include <mutex>

#include "platform/dispatch/block_thread.h"
#include "platform/foundation/error.h"
#include "platform/objectstore/managed_object_context.h"

namespace store {

using ErrorHandler = std::function<void(const fnd::Error&)>;

struct StackState {
  std::recursive_mutex mutex;
  std::shared_ptr<const objectstore::ManagedObjectModel> defaultModel;
  std::shared_ptr<objectstore::PersistentStoreCoordinator> defaultCoordinator;
  std::shared_ptr<objectstore::PersistentStore> defaultPersistentStore;
  objectstore::ContextPtr rootSavingContext;
  objectstore::ContextPtr defaultContext;
  std::shared_ptr<void> errorHandlerTarget;
  ErrorHandler errorHandlerAction;
  bool iCloudEnabled = false;
  bool shouldAutoCreateManagedObjectModel = true;
  bool shouldAutoCreateDefaultPersistentStoreCoordinator = false;
  bool shouldDeleteStoreOnModelMismatch = false;
  std::shared_ptr<dispatch::SerialQueue> actionQueue;
  std::size_t defaultBatchSize = 20;
};

StackState& stackState();

}  // namespace store
