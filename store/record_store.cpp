#include "store/record_store.h"

#include <QCoreApplication>

#include "platform/dispatch/main_thread.h"
#include "platform/foundation/string_object.h"
#include "store/store_context.h"
#include "store/store_coordinator.h"
#include "store/store_model.h"

namespace store {

namespace {

constexpr const char* kStoreExtension = "sqlite";
constexpr const char* kFallbackStoreName = "CoreDataStore.sqlite";
constexpr const char* kActionQueueLabel = "com.velmora.recordstore.actionQueue";

// The context of one save block is dropped after its save, so what it saved
// can move into the default context whole rather than be copied there.
ContextPtr contextForOneBlock() {
  ContextPtr context = StoreContext::RS_context();
  context->setHandsRecordsOverOnSave(true);
  return context;
}

bool hasDefaultCoordinator() {
  std::lock_guard lock(stackState().mutex);
  return stackState().defaultCoordinator != nullptr;
}

void installCoordinator(const CoordinatorPtr& coordinator) {
  StoreCoordinator::RS_setDefaultStoreCoordinator(coordinator);
  StoreContext::RS_initializeDefaultContextWithCoordinator(coordinator);
}

bool readFlag(bool StackState::*flag) {
  std::lock_guard lock(stackState().mutex);
  return stackState().*flag;
}

void writeFlag(bool StackState::*flag, bool value) {
  std::lock_guard lock(stackState().mutex);
  stackState().*flag = value;
}

// An owner of its own: a clean-up on another thread may let go of the stack's at any time.
std::shared_ptr<dispatch::SerialQueue> actionQueue() {
  std::lock_guard lock(stackState().mutex);
  if (!stackState().actionQueue) stackState().actionQueue = std::make_shared<dispatch::SerialQueue>(kActionQueueLabel);
  return stackState().actionQueue;
}

}  // namespace

void RecordStore::setupAutoMigratingCoreDataStack() {
  setupCoreDataStackWithAutoMigratingSqliteStoreNamed(defaultStoreName());
}

void RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(const std::string& nameOrPath) {
  if (hasDefaultCoordinator()) return;
  installCoordinator(StoreCoordinator::RS_coordinatorWithAutoMigratingSqliteStoreNamed(nameOrPath));
}

void RecordStore::setupCoreDataStack() { setupCoreDataStackWithStoreNamed(defaultStoreName()); }

void RecordStore::setupCoreDataStackWithStoreNamed(const std::string& nameOrPath) {
  if (hasDefaultCoordinator()) return;
  installCoordinator(StoreCoordinator::RS_coordinatorWithSqliteStoreNamed(nameOrPath));
}

void RecordStore::setupCoreDataStackWithInMemoryStore() {
  if (hasDefaultCoordinator()) return;
  installCoordinator(StoreCoordinator::RS_coordinatorWithInMemoryStore());
}

void RecordStore::cleanUp() {
  cleanUpErrorHanding();
  cleanUpStack();
  std::shared_ptr<dispatch::SerialQueue> queue;
  {
    std::lock_guard lock(stackState().mutex);
    queue = std::move(stackState().actionQueue);
  }
  // Blocks already queued still run; a later background save starts a new queue.
  if (queue) queue->async([queue] {});
}

void RecordStore::cleanUpErrorHanding() { setErrorHandlerTarget(nullptr, nullptr); }

void RecordStore::cleanUpStack() {
  StoreContext::RS_cleanUp();
  StoreModel::RS_setDefaultManagedObjectModel(nullptr);
  std::lock_guard lock(stackState().mutex);
  stackState().defaultCoordinator = nullptr;
  stackState().defaultPersistentStore = nullptr;
}

std::string RecordStore::bundleName() { return QCoreApplication::applicationName().toStdString(); }

std::string RecordStore::defaultStoreName() { return defaultStoreNameForBundle(bundleName()); }

std::string RecordStore::defaultStoreNameForBundle(std::string_view bundleName) {
  if (bundleName.empty()) return kFallbackStoreName;
  std::string name(bundleName);
  return name.ends_with(kStoreExtension) ? name : name + "." + kStoreExtension;
}

void RecordStore::setDefaultModelNamed(const std::string& fileName) {
  StoreModel::RS_setDefaultManagedObjectModel(StoreModel::RS_managedObjectModelNamed(fileName));
}

void RecordStore::setDefaultModelFromClass() {
  StoreModel::RS_setDefaultManagedObjectModel(StoreModel::RS_mergedObjectModelFromMainBundle());
}

std::string RecordStore::currentStack() {
  ContextPtr context = StoreContext::RS_defaultContext();
  std::string model = "{";
  if (ModelPtr current = StoreModel::RS_defaultManagedObjectModel()) {
    for (const auto& [name, hash] : current->entityVersionHashesByName()) model += " " + name + " = " + hash + ";";
  }
  model += " }";
  CoordinatorPtr coordinator = StoreCoordinator::RS_defaultStoreCoordinator();
  PersistentStorePtr store = StoreCoordinator::RS_defaultPersistentStore();
  char coordinatorText[32];
  std::snprintf(coordinatorText, sizeof coordinatorText, "%p", static_cast<const void*>(coordinator.get()));
  return "Current Default Core Data Stack: ---- \nContext:     " +
         (context ? StoreContext::RS_description(context) : std::string("(null)")) + "\nModel:       " + model +
         "\nCoordinator: " + (coordinator ? std::string(coordinatorText) : "(null)") +
         "\nStore:       " + (store ? (store->path().empty() ? store->type() : store->path()) : std::string("(null)")) +
         "\n";
}

bool RecordStore::shouldAutoCreateManagedObjectModel() {
  return readFlag(&StackState::shouldAutoCreateManagedObjectModel);
}

void RecordStore::setShouldAutoCreateManagedObjectModel(bool value) {
  writeFlag(&StackState::shouldAutoCreateManagedObjectModel, value);
}

bool RecordStore::shouldAutoCreateDefaultPersistentStoreCoordinator() {
  return readFlag(&StackState::shouldAutoCreateDefaultPersistentStoreCoordinator);
}

void RecordStore::setShouldAutoCreateDefaultPersistentStoreCoordinator(bool value) {
  writeFlag(&StackState::shouldAutoCreateDefaultPersistentStoreCoordinator, value);
}

bool RecordStore::shouldDeleteStoreOnModelMismatch() { return readFlag(&StackState::shouldDeleteStoreOnModelMismatch); }

void RecordStore::setShouldDeleteStoreOnModelMismatch(bool value) {
  writeFlag(&StackState::shouldDeleteStoreOnModelMismatch, value);
}

bool RecordStore::isICloudEnabled() { return readFlag(&StackState::iCloudEnabled); }

void RecordStore::setICloudEnabled(bool value) { writeFlag(&StackState::iCloudEnabled, value); }

void RecordStore::saveWithBlock(const SaveBlock& block, const Completion& completion, const ErrorHandler& handler) {
  ContextPtr context = contextForOneBlock();
  if (block) block(context);
  if (context->hasChanges()) StoreSaving::RS_saveNestedContextsErrorHandler(context, handler);
  if (completion) dispatch::asyncMain(completion);
}

void RecordStore::saveInBackgroundUsingContext(const ContextPtr& context, const SaveBlock& block,
                                               const Completion& completion, const ErrorHandler& handler) {
  actionQueue()->async([context, block, completion, handler] {
    if (block) block(context);
    StoreSaving::RS_saveInBackgroundErrorHandler(context, handler, completion);
    // The next block on this queue must find these changes in the parent, or
    // two list replacements in a row would each keep their own new list.
    // (The main queue's context is not waited for: the main thread may be
    // busy waiting for work of its own.)
    if (context->concurrencyType() == objectstore::ConcurrencyType::PrivateQueue) context->performBlockAndWait([] {});
  });
}

void RecordStore::saveInBackgroundWithBlock(const SaveBlock& block, const Completion& completion,
                                            const ErrorHandler& handler) {
  saveInBackgroundUsingContext(contextForOneBlock(), block, completion, handler);
}

void RecordStore::saveInBackgroundUsingCurrentContextWithBlock(const SaveBlock& block, const Completion& completion,
                                                               const ErrorHandler& handler) {
  saveInBackgroundUsingContext(StoreContext::RS_contextForCurrentThread(), block, completion, handler);
}

void RecordStore::handleErrors(const fnd::Error* error) {
  if (!error) return;
  std::shared_ptr<void> target;
  ErrorHandler action;
  {
    std::lock_guard lock(stackState().mutex);
    target = stackState().errorHandlerTarget;
    action = stackState().errorHandlerAction;
  }
  if (target && action) {
    action(*error);
  } else {
    defaultErrorHandler(*error);
  }
}

void RecordStore::defaultErrorHandler(const fnd::Error&) {
  // Deliberately silent: errors surface only through a hook that a caller sets.
}

void RecordStore::setErrorHandlerTarget(std::shared_ptr<void> target, ErrorHandler action) {
  std::lock_guard lock(stackState().mutex);
  stackState().errorHandlerTarget = std::move(target);
  stackState().errorHandlerAction = std::move(action);
}

std::shared_ptr<void> RecordStore::errorHandlerTarget() {
  std::lock_guard lock(stackState().mutex);
  return stackState().errorHandlerTarget;
}

ErrorHandler RecordStore::errorHandlerAction() {
  std::lock_guard lock(stackState().mutex);
  return stackState().errorHandlerAction;
}

}  // namespace store
