#pragma once
// The publishing messages a person sees, looked up in the application's
// string table with the Norwegian text as key. Thread-safe.

#include <QString>
#include <string>

#include "platform/foundation/localization.h"

namespace publish {

inline QString localizedText(const char* norwegian) { return QString::fromStdString(fnd::localizedString(norwegian)); }

}  // namespace publish
