#pragma once
// Opening an address book of Evolution Data Server by the name the person
// configured. Blocking; runs its calls on the given runner's context.

#include <libebook/libebook.h>

#include <QString>
#include <chrono>

#include "publish/evolution/async_call_runner.h"
#include "publish/evolution/glib_handles.h"
#include "publish/publish_target.h"

namespace publish::evolution {

// Whether `addressBook` names the system address book: empty or "system".
bool isSystemAddressBook(const QString& addressBook);

struct OpenedBook {
  GObjectPtr<EBookClient> client;  // empty when opening failed
  Failure failure;
};

// The system address book, or the one whose UID or display name is
// `addressBook`; an unknown or ambiguous name is a failure that says so.
OpenedBook openBook(AsyncCallRunner& runner, const QString& addressBook, std::chrono::milliseconds timeout);

// One line for a failed call: the service's own reason, or that it did not
// answer within `timeout`.
QString describeCallError(const GError* error, std::chrono::milliseconds timeout);

}  // namespace publish::evolution
