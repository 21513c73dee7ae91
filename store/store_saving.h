#pragma once
// Saving a context: synchronously (through to the store file for the default
// context), through every ancestor, or in the background with a completion on
// the main queue. Callable from any thread.
#include <functional>

#include "platform/objectstore/managed_object_context.h"
#include "store/shorthand.h"
#include "store/stack_state.h"

namespace store {

using objectstore::ContextPtr;
using Completion = std::function<void()>;

class StoreSaving {
 public:
  // Saves `context` when it has changes; a failure goes to `callback`, else to
  // RecordStore::handleErrors. The context keeps its changes on failure.
  static void RS_saveWithErrorCallback(const ContextPtr& context, const ErrorHandler& callback);
  // Saves; the default context's save continues into the root, which writes
  // the store file before this returns.
  static void RS_save(const ContextPtr& context);
  static void RS_saveErrorHandler(const ContextPtr& context, const ErrorHandler& handler);
  static void RS_saveNestedContexts(const ContextPtr& context);
  static void RS_saveNestedContextsErrorHandler(const ContextPtr& context, const ErrorHandler& handler);
  // Saves on the context's queue and returns at once; `completion` runs on the
  // main queue afterwards (after the root's save for the default context),
  // whether or not anything was saved.
  static void RS_saveInBackgroundErrorHandler(const ContextPtr& context, const ErrorHandler& handler,
                                              const Completion& completion = nullptr);
  static void RS_saveInBackgroundCompletion(const ContextPtr& context, const Completion& completion);

  RS_SHORTHAND(saveWithErrorCallback)
  RS_SHORTHAND(save)
  RS_SHORTHAND(saveErrorHandler)
  RS_SHORTHAND(saveNestedContexts)
  RS_SHORTHAND(saveNestedContextsErrorHandler)
  RS_SHORTHAND(saveInBackgroundErrorHandler)
  RS_SHORTHAND(saveInBackgroundCompletion)
};

}  // namespace store
