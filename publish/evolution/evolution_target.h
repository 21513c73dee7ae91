#pragma once
// The Evolution Data Server target: mirrors the protection contact into the
// desktop's own address book service. Calls block; one at a time, any thread.

#include <QString>
#include <memory>

#include "publish/publish_target.h"

// `addressBook` empty or "system": the system address book; otherwise the
// display name or UID of a book the person named, looked up at each connect.
std::unique_ptr<publish::PublishTarget> makeEvolutionTarget(const QString& addressBook);
