#include "publish/evolution/async_call_runner.h"

#include <memory>

namespace publish::evolution {

namespace {

// A cancelled D-Bus call ends at once; this only bounds a call that ignores
// its cancellation, so that the publishing worker is never held for good.
constexpr std::chrono::seconds kCancellationGrace{2};

// Shared between the waiting caller and the completion callback, which may run
// after the caller gave up: on the next call that runs the same context.
struct PendingCall {
  GObjectPtr<GAsyncResult> result;
};

void onCallFinished(GObject*, GAsyncResult* result, gpointer userData) {
  std::unique_ptr<std::shared_ptr<PendingCall>> pending(static_cast<std::shared_ptr<PendingCall>*>(userData));
  (*pending)->result.reset(G_ASYNC_RESULT(g_object_ref(result)));
}

gboolean markExpired(gpointer expired) {
  *static_cast<bool*>(expired) = true;
  return G_SOURCE_REMOVE;
}

// Dispatches `context` until `pending` has its result or `duration` passes.
void dispatchUntilFinished(GMainContext* context, const PendingCall& pending, std::chrono::milliseconds duration) {
  bool expired = false;
  GSource* timer = g_timeout_source_new(static_cast<guint>(duration.count()));
  g_source_set_callback(timer, markExpired, &expired, nullptr);
  g_source_attach(timer, context);
  while (!pending.result && !expired) g_main_context_iteration(context, TRUE);
  g_source_destroy(timer);
  g_source_unref(timer);
}

}  // namespace

AsyncCallRunner::AsyncCallRunner() : m_context(g_main_context_new()) {}

AsyncCallRunner::~AsyncCallRunner() { g_main_context_unref(m_context); }

GObjectPtr<GAsyncResult> AsyncCallRunner::run(std::chrono::milliseconds timeout, const StartCall& start) {
  // Calls begun while the context is the thread's default complete on it, and
  // so do the signals of the objects they create; no other loop is involved.
  g_main_context_push_thread_default(m_context);
  auto pending = std::make_shared<PendingCall>();
  GObjectPtr<GCancellable> cancellable(g_cancellable_new());
  start(cancellable.get(), onCallFinished, new std::shared_ptr<PendingCall>(pending));
  dispatchUntilFinished(m_context, *pending, timeout);
  if (!pending->result) {
    g_cancellable_cancel(cancellable.get());
    dispatchUntilFinished(m_context, *pending, kCancellationGrace);
  }
  g_main_context_pop_thread_default(m_context);
  return std::move(pending->result);
}

bool isTimeout(const GError* error) { return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED); }

}  // namespace publish::evolution
