#include "platform/foundation/object.h"

#include <cstdio>

namespace fnd {

std::string Object::description() const {
  char text[64];
  std::snprintf(text, sizeof text, "<%s: %p>", className(), static_cast<const void*>(this));
  return text;
}

bool objectsEqual(const Object* a, const Object* b) {
  if (a == b) return true;
  if (!a || !b) return false;
  return a->isEqual(*b);
}

}  // namespace fnd
