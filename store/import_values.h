#pragma once
// Reading imported data: values of decoded dictionaries by key and key path,
// and the conversion of a data value to what an attribute stores. Pure
// functions, safe on any thread.
#include <optional>
#include <string_view>

#include "platform/foundation/containers.h"
#include "platform/objectstore/model.h"

namespace store {

// The value under a plain key; null when `data` is no dictionary or lacks the key.
fnd::Ref<fnd::Object> dataValueForKey(const fnd::Object* data, std::string_view key);
// The value at a key path ("address.city"), each step into a dictionary.
fnd::Ref<fnd::Object> dataValueAtKeyPath(const fnd::Object* data, std::string_view keyPath);

// Null for none and for the null object, otherwise the value.
fnd::Ref<fnd::Object> noneForNull(fnd::Ref<fnd::Object> value);

// `value` as the attribute stores it: numbers for numeric and boolean
// attributes (read from text when the text is a number), text for text
// attributes (numbers written out). Null stays null; none when the value
// cannot be stored there.
std::optional<fnd::Ref<fnd::Object>> storableValue(fnd::Ref<fnd::Object> value,
                                                   const objectstore::AttributeDescription& attribute);

}  // namespace store
