#pragma once
// AsyncCallRunner: runs GLib asynchronous calls to completion on a main context
// of its own, with a deadline. Blocking; one call at a time, from any thread.

#include <gio/gio.h>

#include <chrono>
#include <functional>

#include "publish/evolution/glib_handles.h"

namespace publish::evolution {

class AsyncCallRunner {
 public:
  // Begins the call: passes `cancellable`, `callback` and `userData` on to the
  // GLib function whose result is awaited.
  using StartCall = std::function<void(GCancellable* cancellable, GAsyncReadyCallback callback, gpointer userData)>;

  AsyncCallRunner();
  ~AsyncCallRunner();
  AsyncCallRunner(const AsyncCallRunner&) = delete;
  AsyncCallRunner& operator=(const AsyncCallRunner&) = delete;

  // The call's result for its finish function. When `timeout` passes first the
  // call is cancelled, so its result carries G_IO_ERROR_CANCELLED; the result
  // is empty when the call does not even end after being cancelled.
  GObjectPtr<GAsyncResult> run(std::chrono::milliseconds timeout, const StartCall& start);

 private:
  GMainContext* m_context;
};

// Whether a finished call's error means the call was cut off by its deadline.
bool isTimeout(const GError* error);

}  // namespace publish::evolution
