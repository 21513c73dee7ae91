#pragma once
// The pieces vCard export and import share: how each person property is
// named in a card, how standard labels map to TYPE parameters, and the
// text escaping rules and line folding. Internal to the address book and the
// vCard forms of the protection contact that the application publishes.

#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/addressbook/properties.h"

namespace ab::vcard {

// Grouped lines of this name carry the label of the other lines of their group.
inline constexpr std::string_view kLabelName = "X-ABLABEL";

struct MultiValueMapping {
  PropertyID property;
  std::string_view name;
};
// The labelled lists, each stored as lines of one name.
std::span<const MultiValueMapping> multiValueMappings();

struct SimpleMapping {
  PropertyID property;
  std::string_view name;
};
// Single text properties written as one line.
std::span<const SimpleMapping> textMappings();

// The TYPE parameter values that stand for a standard label of `property`, or
// empty when the label has none (it then travels as X-ABLabel).
std::vector<std::string_view> typesForLabel(PropertyID property, std::string_view label);
// The standard label a set of TYPE values (upper case) stands for, if any.
std::optional<std::string_view> labelForTypes(PropertyID property, const std::set<std::string>& types);

// Lines longer than this many octets are folded.
inline constexpr std::size_t kFoldWidth = 75;
// Appends `content` as one content line ending in CRLF, folded so that no
// physical line passes kFoldWidth octets and no UTF-8 sequence is cut.
void appendFoldedLine(std::string& out, std::string_view content);

std::string escapeText(std::string_view text);
std::string unescapeText(std::string_view text);
// Splits a structured value at its unescaped separators, unescaping each part.
std::vector<std::string> splitStructured(std::string_view value, char separator = ';');

}  // namespace ab::vcard
