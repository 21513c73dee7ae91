#pragma once
// Writes a decoded value as one line of compact JSON in a canonical form:
// members sorted by the bytes of their keys, integers in decimal, doubles
// that never read as integers, strings with only the escapes JSON requires.

#include <string>

#include "platform/foundation/object.h"

namespace jsondecode {

std::string compactJson(const fnd::Object& value);

}  // namespace jsondecode
