#pragma once
// Helpers for the object store's tests: key-value records built from
// dictionaries, and predicate evaluation over them in one call.
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/predicate.h"

namespace objectstore::test {

inline fnd::Ref<fnd::Dictionary> record(std::initializer_list<std::pair<const char*, fnd::Ref<fnd::Object>>> entries) {
  auto dictionary = fnd::ObjectDictionary::createMutable();
  for (const auto& [key, value] : entries) dictionary->setObject(value.get(), key);
  return dictionary;
}

inline fnd::Ref<fnd::Object> integer(std::int64_t value) { return fnd::Number::create(value); }
inline fnd::Ref<fnd::Object> real(double value) { return fnd::Number::create(value); }
inline fnd::Ref<fnd::Object> text(std::string_view value) { return fnd::str(value); }
inline fnd::Ref<fnd::Object> boolean(bool value) { return fnd::Ref<fnd::Object>(fnd::Number::boolean(value)); }

inline bool holds(const char* format, const fnd::Object& object, std::vector<FormatArgument> arguments = {}) {
  return Predicate::withFormat(format, std::move(arguments))->evaluateWithObject(&object);
}

}  // namespace objectstore::test
