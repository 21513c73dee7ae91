#include "store/store_saving.h"

#include "platform/dispatch/main_thread.h"
#include "store/record_store.h"
#include "store/store_context.h"

namespace store {

void StoreSaving::RS_saveWithErrorCallback(const ContextPtr& context, const ErrorHandler& callback) {
  if (!context || !context->hasChanges()) return;
  bool saved = false;
  std::optional<fnd::Error> error;
  context->performBlockAndWait([&] { saved = context->save(&error); });
  if (saved || !error) return;
  if (callback) {
    callback(*error);
  } else {
    RecordStore::handleErrors(&*error);
  }
}

void StoreSaving::RS_save(const ContextPtr& context) { RS_saveErrorHandler(context, nullptr); }

void StoreSaving::RS_saveErrorHandler(const ContextPtr& context, const ErrorHandler& handler) {
  if (!context) return;
  context->performBlockAndWait([&] { RS_saveWithErrorCallback(context, handler); });
  if (context == StoreContext::RS_defaultContext()) {
    RS_saveErrorHandler(StoreContext::RS_rootSavingContext(), handler);
  }
}

void StoreSaving::RS_saveNestedContexts(const ContextPtr& context) {
  RS_saveNestedContextsErrorHandler(context, nullptr);
}

void StoreSaving::RS_saveNestedContextsErrorHandler(const ContextPtr& context, const ErrorHandler& handler) {
  for (ContextPtr current = context; current; current = current->parentContext()) {
    RS_saveWithErrorCallback(current, handler);
  }
}

void StoreSaving::RS_saveInBackgroundErrorHandler(const ContextPtr& context, const ErrorHandler& handler,
                                                  const Completion& completion) {
  if (!context) {
    if (completion) dispatch::asyncMain(completion);
    return;
  }
  context->performBlock([context, handler, completion] {
    RS_saveWithErrorCallback(context, handler);
    if (context == StoreContext::RS_defaultContext()) {
      RS_saveInBackgroundErrorHandler(StoreContext::RS_rootSavingContext(), handler, completion);
    } else if (completion) {
      dispatch::asyncMain(completion);
    }
  });
}

void StoreSaving::RS_saveInBackgroundCompletion(const ContextPtr& context, const Completion& completion) {
  RS_saveInBackgroundErrorHandler(context, nullptr, completion);
}

}  // namespace store
