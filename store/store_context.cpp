#include "store/store_context.h"

#include <cstdio>

#include "platform/dispatch/main_thread.h"
#include "store/stack_state.h"

namespace store {

namespace {

using objectstore::ConcurrencyType;
using objectstore::ManagedObjectContext;

// The context of the calling thread, kept for the thread's whole life.
thread_local ContextPtr t_contextForThread;

ContextPtr privateContext(const ContextPtr& parent) {
  ContextPtr context = ManagedObjectContext::create(ConcurrencyType::PrivateQueue);
  if (parent) context->setParentContext(parent);
  return context;
}

}  // namespace

ContextPtr StoreContext::RS_defaultContext() {
  std::lock_guard lock(stackState().mutex);
  return stackState().defaultContext;
}

ContextPtr StoreContext::RS_rootSavingContext() {
  std::lock_guard lock(stackState().mutex);
  return stackState().rootSavingContext;
}

void StoreContext::RS_initializeDefaultContextWithCoordinator(
    const std::shared_ptr<objectstore::PersistentStoreCoordinator>& coordinator) {
  if (RS_defaultContext()) return;
  ContextPtr root = RS_contextWithStoreCoordinator(coordinator);
  RS_setRootSavingContext(root);
  ContextPtr context = RS_newMainQueueContext();
  context->setParentContext(root);
  RS_setDefaultContext(context);
}

void StoreContext::RS_setRootSavingContext(ContextPtr context) {
  if (context) {
    context->setMergePolicy(objectstore::MergePolicy::PropertyObjectTrump);
    context->setName(kRootSavingContextName);
  }
  std::lock_guard lock(stackState().mutex);
  stackState().rootSavingContext = std::move(context);
}

void StoreContext::RS_setDefaultContext(ContextPtr context) {
  if (context) context->setName(kDefaultContextName);
  std::lock_guard lock(stackState().mutex);
  stackState().defaultContext = std::move(context);
}

ContextPtr StoreContext::RS_contextWithStoreCoordinator(
    const std::shared_ptr<objectstore::PersistentStoreCoordinator>& coordinator) {
  if (!coordinator) return nullptr;
  ContextPtr context = RS_contextWithoutParent();
  context->performBlockAndWait([&] { context->setPersistentStoreCoordinator(coordinator); });
  return context;
}

ContextPtr StoreContext::RS_contextWithoutParent() { return privateContext(nullptr); }

ContextPtr StoreContext::RS_contextWithParent(const ContextPtr& parent) { return privateContext(parent); }

ContextPtr StoreContext::RS_context() { return privateContext(RS_defaultContext()); }

ContextPtr StoreContext::RS_contextThatPushesChangesToDefaultContext() { return RS_context(); }

ContextPtr StoreContext::RS_newMainQueueContext() { return ManagedObjectContext::create(ConcurrencyType::MainQueue); }

ContextPtr StoreContext::RS_contextForCurrentThread() {
  if (dispatch::isMainThread()) return RS_defaultContext();
  if (!t_contextForThread) t_contextForThread = RS_contextThatPushesChangesToDefaultContext();
  return t_contextForThread;
}

void StoreContext::RS_resetContextForCurrentThread() {
  if (ContextPtr context = RS_contextForCurrentThread()) context->reset();
}

void StoreContext::RS_resetDefaultContext() {
  ContextPtr context = RS_defaultContext();
  if (!context) return;
  dispatch::asyncMain([context] { context->reset(); });
}

void StoreContext::RS_cleanUp() {
  RS_setDefaultContext(nullptr);
  RS_setRootSavingContext(nullptr);
}

std::string StoreContext::RS_description(const ContextPtr& context) {
  char address[32];
  std::snprintf(address, sizeof address, "%p", static_cast<const void*>(context.get()));
  return std::string("<ManagedObjectContext: ") + address + ">: " + (context ? context->name() : std::string()) +
         " Context " + (dispatch::isMainThread() ? "*** MAIN THREAD ***" : "");
}

}  // namespace store
