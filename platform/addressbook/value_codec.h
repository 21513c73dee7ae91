#pragma once
// The stored form of a record's property values: a compact, versioned binary
// encoding of strings, numbers, dates, data, dictionaries and multi-values.
// Pure functions; safe from any thread.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/addressbook/properties.h"
#include "platform/foundation/object.h"

namespace ab {

using PropertyValues = std::map<PropertyID, fnd::Ref<fnd::Object>>;

std::string encodePropertyValues(const PropertyValues& values);
// nullopt for bytes that are not a well-formed encoding.
std::optional<PropertyValues> decodePropertyValues(std::string_view bytes);

}  // namespace ab
