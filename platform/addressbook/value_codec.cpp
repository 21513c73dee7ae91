#include "platform/addressbook/value_codec.h"

#include <QString>
#include <bit>
#include <cstring>

#include "platform/addressbook/multi_value.h"
#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"

namespace ab {

namespace {

constexpr std::uint8_t kFormatVersion = 1;
// Dictionaries may nest; a stored value deeper than this is damaged.
constexpr int kMaximumDepth = 16;

enum class Tag : std::uint8_t { String = 1, Int64, UInt64, Double, Bool, Date, Data, Dictionary, MultiValue, Null };

class Writer {
 public:
  void byte(std::uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
  void u64(std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) byte(static_cast<std::uint8_t>(value >> shift));
  }
  void bytes(std::string_view text) {
    u64(text.size());
    m_bytes.append(text);
  }
  void value(const fnd::Object* object);
  std::string take() { return std::move(m_bytes); }

 private:
  std::string m_bytes;
};

void Writer::value(const fnd::Object* object) {
  if (!object) {
    byte(static_cast<std::uint8_t>(Tag::Null));
    return;
  }
  switch (object->kind()) {
    case fnd::ObjectKind::String:
      byte(static_cast<std::uint8_t>(Tag::String));
      bytes(static_cast<const fnd::String*>(object)->utf8());
      return;
    case fnd::ObjectKind::Number: {
      const auto* number = static_cast<const fnd::Number*>(object);
      switch (number->type()) {
        case fnd::Number::Type::Bool:
          byte(static_cast<std::uint8_t>(Tag::Bool));
          byte(number->boolValue() ? 1 : 0);
          return;
        case fnd::Number::Type::Int64:
          byte(static_cast<std::uint8_t>(Tag::Int64));
          u64(static_cast<std::uint64_t>(number->int64Value()));
          return;
        case fnd::Number::Type::UInt64:
          byte(static_cast<std::uint8_t>(Tag::UInt64));
          u64(number->uint64Value());
          return;
        case fnd::Number::Type::Double:
          byte(static_cast<std::uint8_t>(Tag::Double));
          u64(std::bit_cast<std::uint64_t>(number->doubleValue()));
          return;
      }
      return;
    }
    case fnd::ObjectKind::Date:
      byte(static_cast<std::uint8_t>(Tag::Date));
      u64(std::bit_cast<std::uint64_t>(static_cast<const fnd::Date*>(object)->timeIntervalSince1970()));
      return;
    case fnd::ObjectKind::Data:
      byte(static_cast<std::uint8_t>(Tag::Data));
      bytes(static_cast<const fnd::Data*>(object)->view());
      return;
    case fnd::ObjectKind::Dictionary: {
      const auto* dictionary = static_cast<const fnd::Dictionary*>(object);
      byte(static_cast<std::uint8_t>(Tag::Dictionary));
      u64(dictionary->count());
      for (fnd::Object* key : *dictionary) {
        value(key);
        value(dictionary->objectForKey(key));
      }
      return;
    }
    default:
      break;
  }
  if (const auto* multiValue = dynamic_cast<const MultiValue*>(object)) {
    byte(static_cast<std::uint8_t>(Tag::MultiValue));
    u64(multiValue->propertyType());
    u64(static_cast<std::uint32_t>(multiValue->nextIdentifier()));
    u64(multiValue->count());
    for (const MultiValue::Entry& entry : multiValue->entries()) {
      u64(static_cast<std::uint32_t>(entry.identifier));
      value(entry.label.get());
      value(entry.value.get());
    }
    return;
  }
  byte(static_cast<std::uint8_t>(Tag::Null));  // not a storable kind
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
  bool atEnd() const { return m_position == m_bytes.size(); }
  std::optional<std::uint8_t> byte() {
    if (m_position >= m_bytes.size()) return std::nullopt;
    return static_cast<std::uint8_t>(m_bytes[m_position++]);
  }
  std::optional<std::uint64_t> u64() {
    if (m_bytes.size() - m_position < sizeof(std::uint64_t)) return std::nullopt;
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 8)
      value |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_bytes[m_position++])) << shift;
    return value;
  }
  std::optional<std::string_view> bytes() {
    const std::optional<std::uint64_t> length = u64();
    if (!length || *length > m_bytes.size() - m_position) return std::nullopt;
    std::string_view text = m_bytes.substr(m_position, *length);
    m_position += *length;
    return text;
  }
  // Null for a stored null; nullopt for damage.
  std::optional<fnd::Ref<fnd::Object>> value(int depth);

 private:
  std::optional<fnd::Ref<fnd::Object>> multiValue(int depth);
  std::optional<fnd::Ref<fnd::Object>> dictionary(int depth);

  std::string_view m_bytes;
  std::size_t m_position = 0;
};

std::optional<fnd::Ref<fnd::Object>> Reader::dictionary(int depth) {
  const std::optional<std::uint64_t> count = u64();
  if (!count || *count > m_bytes.size()) return std::nullopt;
  auto dictionary = fnd::ObjectDictionary::createMutable();
  for (std::uint64_t i = 0; i < *count; ++i) {
    std::optional<fnd::Ref<fnd::Object>> key = value(depth + 1);
    std::optional<fnd::Ref<fnd::Object>> object = value(depth + 1);
    if (!key || !*key || !object || !*object) return std::nullopt;
    dictionary->setObject(object->get(), key->get());
  }
  return fnd::Ref<fnd::Object>(fnd::ObjectDictionary::createWithDictionary(*dictionary, false));
}

std::optional<fnd::Ref<fnd::Object>> Reader::multiValue(int depth) {
  const std::optional<std::uint64_t> type = u64();
  const std::optional<std::uint64_t> next = u64();
  const std::optional<std::uint64_t> count = u64();
  if (!type || !next || !count || *count > m_bytes.size() || !(*type & kMultiValueMask) || *type > UINT32_MAX)
    return std::nullopt;
  std::vector<MultiValue::Entry> entries;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const std::optional<std::uint64_t> identifier = u64();
    std::optional<fnd::Ref<fnd::Object>> label = value(depth + 1);
    std::optional<fnd::Ref<fnd::Object>> object = value(depth + 1);
    if (!identifier || *identifier > INT32_MAX || !label || !object) return std::nullopt;
    if (*label && (*label)->kind() != fnd::ObjectKind::String) return std::nullopt;
    if (!MultiValue::acceptsValue(static_cast<PropertyType>(*type), object->get())) return std::nullopt;
    entries.push_back({static_cast<MultiValueIdentifier>(*identifier),
                       fnd::Ref<fnd::String>(static_cast<fnd::String*>(label->get())), std::move(*object)});
  }
  const auto nextIdentifier = static_cast<MultiValueIdentifier>(std::min<std::uint64_t>(*next, INT32_MAX));
  return fnd::Ref<fnd::Object>(
      MultiValue::create(static_cast<PropertyType>(*type), std::move(entries), nextIdentifier, false));
}

std::optional<fnd::Ref<fnd::Object>> Reader::value(int depth) {
  if (depth > kMaximumDepth) return std::nullopt;
  const std::optional<std::uint8_t> tag = byte();
  if (!tag) return std::nullopt;
  switch (static_cast<Tag>(*tag)) {
    case Tag::Null:
      return fnd::Ref<fnd::Object>();
    case Tag::String: {
      const std::optional<std::string_view> text = bytes();
      if (!text) return std::nullopt;
      return fnd::Ref<fnd::Object>(
          fnd::String::fromQString(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()))));
    }
    case Tag::Int64:
      if (const auto number = u64())
        return fnd::Ref<fnd::Object>(fnd::Number::create(static_cast<std::int64_t>(*number)));
      return std::nullopt;
    case Tag::UInt64:
      if (const auto number = u64()) return fnd::Ref<fnd::Object>(fnd::Number::createUnsigned(*number));
      return std::nullopt;
    case Tag::Double:
      if (const auto number = u64()) return fnd::Ref<fnd::Object>(fnd::Number::create(std::bit_cast<double>(*number)));
      return std::nullopt;
    case Tag::Bool:
      if (const auto flag = byte()) return fnd::Ref<fnd::Object>(fnd::Number::boolean(*flag != 0));
      return std::nullopt;
    case Tag::Date:
      if (const auto seconds = u64()) return fnd::Ref<fnd::Object>(fnd::Date::create(std::bit_cast<double>(*seconds)));
      return std::nullopt;
    case Tag::Data:
      if (const auto data = bytes()) return fnd::Ref<fnd::Object>(fnd::Data::create(std::string(*data)));
      return std::nullopt;
    case Tag::Dictionary:
      return dictionary(depth);
    case Tag::MultiValue:
      return multiValue(depth);
  }
  return std::nullopt;
}

}  // namespace

std::string encodePropertyValues(const PropertyValues& values) {
  Writer writer;
  writer.byte(kFormatVersion);
  writer.u64(values.size());
  for (const auto& [property, value] : values) {
    writer.u64(static_cast<std::uint32_t>(property));
    writer.value(value.get());
  }
  return writer.take();
}

std::optional<PropertyValues> decodePropertyValues(std::string_view bytes) {
  Reader reader(bytes);
  const std::optional<std::uint8_t> version = reader.byte();
  const std::optional<std::uint64_t> count = reader.u64();
  if (version != kFormatVersion || !count || *count > bytes.size()) return std::nullopt;
  PropertyValues values;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const std::optional<std::uint64_t> property = reader.u64();
    std::optional<fnd::Ref<fnd::Object>> value = reader.value(0);
    if (!property || *property > INT32_MAX || !value || !*value) return std::nullopt;
    values[static_cast<PropertyID>(*property)] = std::move(*value);
  }
  if (!reader.atEnd()) return std::nullopt;
  return values;
}

}  // namespace ab
