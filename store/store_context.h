#pragma once
// The record store's contexts: the root saving context (the only writer of
// the store file), the default context on the main queue, children of either,
// and one context per thread other than the main thread.
// The default context is read under a lock; setters are for the main thread.
#include <memory>
#include <string>

#include "platform/objectstore/managed_object_context.h"
#include "store/shorthand.h"

namespace store {

using objectstore::ContextPtr;

inline constexpr const char* kRootSavingContextName = "*** BACKGROUND SAVE ***";
inline constexpr const char* kDefaultContextName = "*** DEFAULT ***";

class StoreContext {
 public:
  static ContextPtr RS_defaultContext();
  static ContextPtr RS_rootSavingContext();
  // Creates the root saving context over `coordinator` and the default context
  // as its child; does nothing when a default context exists.
  static void RS_initializeDefaultContextWithCoordinator(
      const std::shared_ptr<objectstore::PersistentStoreCoordinator>& coordinator);
  static void RS_setRootSavingContext(ContextPtr context);
  static void RS_setDefaultContext(ContextPtr context);

  static ContextPtr RS_contextWithStoreCoordinator(
      const std::shared_ptr<objectstore::PersistentStoreCoordinator>& coordinator);
  static ContextPtr RS_contextWithoutParent();
  static ContextPtr RS_contextWithParent(const ContextPtr& parent);
  // A private-queue child of the default context.
  static ContextPtr RS_context();
  static ContextPtr RS_contextThatPushesChangesToDefaultContext();
  static ContextPtr RS_newMainQueueContext();
  // The default context on the main thread; elsewhere the thread's own child
  // of the default context, made on first use and kept for the thread's life.
  static ContextPtr RS_contextForCurrentThread();
  static void RS_resetContextForCurrentThread();
  // Resets the default context on the main queue, later.
  static void RS_resetDefaultContext();
  static void RS_cleanUp();
  static std::string RS_description(const ContextPtr& context);

  RS_SHORTHAND(defaultContext)
  RS_SHORTHAND(rootSavingContext)
  RS_SHORTHAND(initializeDefaultContextWithCoordinator)
  RS_SHORTHAND(setRootSavingContext)
  RS_SHORTHAND(setDefaultContext)
  RS_SHORTHAND(contextWithStoreCoordinator)
  RS_SHORTHAND(contextWithoutParent)
  RS_SHORTHAND(contextWithParent)
  RS_SHORTHAND(context)
  RS_SHORTHAND(contextThatPushesChangesToDefaultContext)
  RS_SHORTHAND(newMainQueueContext)
  RS_SHORTHAND(contextForCurrentThread)
  RS_SHORTHAND(resetContextForCurrentThread)
  RS_SHORTHAND(resetDefaultContext)
  RS_SHORTHAND(cleanUp)
  // RS_description has no shorthand: every object already has a description.
};

}  // namespace store
