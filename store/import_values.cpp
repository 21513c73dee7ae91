#include "store/import_values.h"

#include <charconv>
#include <cmath>
#include <string>

#include "platform/foundation/data.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace store {

namespace {

using objectstore::AttributeType;

constexpr char kKeyPathSeparator = '.';

bool isInteger(AttributeType type) {
  return type == AttributeType::Integer16 || type == AttributeType::Integer32 || type == AttributeType::Integer64;
}

std::optional<fnd::Ref<fnd::Object>> integerFromText(std::string_view text) {
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return fnd::Ref<fnd::Object>(fnd::Number::create(value));
}

std::optional<fnd::Ref<fnd::Object>> doubleFromText(std::string_view text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return fnd::Ref<fnd::Object>(fnd::Number::create(value));
}

std::optional<fnd::Ref<fnd::Object>> booleanFromText(std::string_view text) {
  if (text == "true" || text == "YES" || text == "1") return fnd::Ref<fnd::Object>(fnd::Number::yes());
  if (text == "false" || text == "NO" || text == "0") return fnd::Ref<fnd::Object>(fnd::Number::no());
  return std::nullopt;
}

std::optional<fnd::Ref<fnd::Object>> fromText(std::string_view text, AttributeType type) {
  if (isInteger(type)) return integerFromText(text);
  if (type == AttributeType::Double) return doubleFromText(text);
  if (type == AttributeType::Boolean) return booleanFromText(text);
  if (type == AttributeType::Binary) return fnd::Ref<fnd::Object>(fnd::Data::create(std::string(text)));
  return std::nullopt;
}

}  // namespace

fnd::Ref<fnd::Object> dataValueForKey(const fnd::Object* data, std::string_view key) {
  if (!data || data->kind() != fnd::ObjectKind::Dictionary) return nullptr;
  return fnd::Ref<fnd::Object>(static_cast<const fnd::Dictionary*>(data)->objectForKey(key));
}

fnd::Ref<fnd::Object> dataValueAtKeyPath(const fnd::Object* data, std::string_view keyPath) {
  fnd::Ref<fnd::Object> value(const_cast<fnd::Object*>(data));
  while (true) {
    std::size_t separator = keyPath.find(kKeyPathSeparator);
    value = dataValueForKey(value.get(), keyPath.substr(0, separator));
    if (!value || separator == std::string_view::npos) return value;
    keyPath.remove_prefix(separator + 1);
  }
}

fnd::Ref<fnd::Object> noneForNull(fnd::Ref<fnd::Object> value) {
  return value && value->kind() == fnd::ObjectKind::Null ? nullptr : value;
}

std::optional<fnd::Ref<fnd::Object>> storableValue(fnd::Ref<fnd::Object> value,
                                                   const objectstore::AttributeDescription& attribute) {
  value = noneForNull(std::move(value));
  if (!value) return value;
  const AttributeType type = attribute.type;
  switch (value->kind()) {
    case fnd::ObjectKind::Number:
      if (type == AttributeType::String) return fnd::Ref<fnd::Object>(fnd::String::create(value->description()));
      if (type == AttributeType::Date || type == AttributeType::Binary) return std::nullopt;
      return value;
    case fnd::ObjectKind::String:
      if (type == AttributeType::String) return value;
      return fromText(static_cast<const fnd::String&>(*value).utf8(), type);
    case fnd::ObjectKind::Date:
      return type == AttributeType::Date ? std::optional(value) : std::nullopt;
    case fnd::ObjectKind::Data:
      return type == AttributeType::Binary ? std::optional(value) : std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace store
