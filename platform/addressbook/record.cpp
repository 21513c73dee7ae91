#include "platform/addressbook/record.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>

#include "platform/addressbook/configuration.h"
#include "platform/addressbook/errors.h"
#include "platform/addressbook/multi_value.h"
#include "platform/foundation/date.h"

namespace ab {

namespace {

// Whether `value` may be the value of a property of `type` (null never is).
bool suitsType(PropertyType type, fnd::Object* value) {
  if (!(type & kMultiValueMask)) return valueMatchesType(type, value);
  const auto* multiValue = dynamic_cast<const MultiValue*>(value);
  return multiValue && multiValue->propertyType() == type;
}

// The longest side of a thumbnail, in pixels.
constexpr int kThumbnailSide = 160;

fnd::Ref<fnd::Data> thumbnailOf(const fnd::Data& image) {
  QImage decoded;
  if (!decoded.loadFromData(reinterpret_cast<const uchar*>(image.bytes()), static_cast<int>(image.length())))
    return fnd::Ref<fnd::Data>(const_cast<fnd::Data*>(&image));
  if (decoded.width() <= kThumbnailSide && decoded.height() <= kThumbnailSide)
    return fnd::Ref<fnd::Data>(const_cast<fnd::Data*>(&image));
  const QImage scaled = decoded.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  scaled.save(&buffer, "PNG");
  return fnd::Data::create(bytes.toStdString());
}

std::string textOf(const PropertyValues& values, PropertyID property) {
  auto found = values.find(property);
  if (found == values.end() || found->second->kind() != fnd::ObjectKind::String) return {};
  return std::string(static_cast<const fnd::String&>(*found->second).utf8());
}

}  // namespace

fnd::Ref<Record> Record::createPerson(const Record* source) {
  auto person = fnd::Ref<Record>::adopt(new Record(RecordType::Person, kInvalidRecordID));
  if (source) person->m_sourceID = source->recordID();
  person->m_values[kPersonCreationDateProperty] = fnd::Date::now();
  person->m_changed = true;
  return person;
}

fnd::Ref<Record> Record::createGroup() {
  auto group = fnd::Ref<Record>::adopt(new Record(RecordType::Group, kInvalidRecordID));
  group->m_changed = true;
  return group;
}

fnd::Ref<Record> Record::restore(RecordType type, RecordID id, RecordID sourceID, std::string storedValues,
                                 fnd::Ref<fnd::Data> image) {
  auto record = fnd::Ref<Record>::adopt(new Record(type, id));
  record->m_sourceID = sourceID;
  record->m_storedValues = std::move(storedValues);
  record->m_image = std::move(image);
  return record;
}

const PropertyValues& Record::values() const {
  if (!m_storedValues) return m_values;
  // A record whose values cannot be read keeps its place with no values
  // rather than vanishing.
  PropertyValues values = decodePropertyValues(*m_storedValues).value_or(PropertyValues{});
  m_storedValues.reset();
  // The book file is shared with other programs: a stored value that does
  // not suit its known property is left out, so every reader may rely on the
  // property's type.
  std::erase_if(values, [](const auto& entry) {
    const std::optional<PropertyInfo> info = propertyInfo(entry.first);
    return info && !suitsType(info->type, entry.second.get());
  });
  m_values = std::move(values);
  return m_values;
}

PropertyValues& Record::mutableValues() {
  values();
  return m_values;
}

fnd::Ref<fnd::Object> Record::copyValue(PropertyID property) const {
  const PropertyValues& stored = values();
  auto found = stored.find(property);
  if (found == stored.end()) return nullptr;
  if (auto* multiValue = dynamic_cast<const MultiValue*>(found->second.get())) return multiValue->copy();
  return found->second;  // the other value classes are immutable
}

bool Record::checkWritable(PropertyID property, std::optional<fnd::Error>* error) const {
  const std::optional<PropertyInfo> info = propertyInfo(property);
  if (!info || info->recordType != m_type)
    return fail(error, ErrorCode::InvalidValue, "Unknown property for this record");
  if (info->readOnly) return fail(error, ErrorCode::OperationNotPermittedByStore, "The property is read-only");
  return true;
}

bool Record::setValue(PropertyID property, fnd::Object* value, std::optional<fnd::Error>* error) {
  if (!value) return removeValue(property, error);
  if (!checkWritable(property, error)) return false;
  const PropertyType type = propertyInfo(property)->type;
  if (!suitsType(type, value)) {
    return fail(error, ErrorCode::InvalidValue,
                type & kMultiValueMask ? "The value is not a multi-value of the property's type"
                                       : "The value does not suit the property's type");
  }
  fnd::Ref<fnd::Object> stored(value);
  if (type & kMultiValueMask) stored = static_cast<MultiValue*>(value)->copy();
  mutableValues()[property] = std::move(stored);
  m_changed = true;
  return true;
}

bool Record::removeValue(PropertyID property, std::optional<fnd::Error>* error) {
  if (!checkWritable(property, error)) return false;
  if (mutableValues().erase(property)) m_changed = true;
  return true;
}

fnd::Ref<fnd::String> Record::copyCompositeName() const {
  const PropertyValues& stored = values();
  std::vector<std::string> parts;
  switch (m_type) {
    case RecordType::Source:
      parts = {textOf(stored, kSourceNameProperty)};
      break;
    case RecordType::Group:
      parts = {textOf(stored, kGroupNameProperty)};
      break;
    case RecordType::Person:
      if (configuration().compositeNameFormat == CompositeNameFormat::LastNameFirst) {
        parts = {textOf(stored, kPersonLastNameProperty), textOf(stored, kPersonFirstNameProperty),
                 textOf(stored, kPersonMiddleNameProperty), textOf(stored, kPersonSuffixProperty)};
      } else {
        parts = {textOf(stored, kPersonPrefixProperty), textOf(stored, kPersonFirstNameProperty),
                 textOf(stored, kPersonMiddleNameProperty), textOf(stored, kPersonLastNameProperty),
                 textOf(stored, kPersonSuffixProperty)};
      }
      if (std::all_of(parts.begin(), parts.end(), [](const std::string& part) { return part.empty(); }))
        parts = {textOf(stored, kPersonOrganizationProperty)};
      break;
  }
  std::string name;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!name.empty()) name += ' ';
    name += part;
  }
  return name.empty() ? nullptr : fnd::String::create(name);
}

fnd::Ref<fnd::Data> Record::copyImageData(ImageFormat format) const {
  if (!m_image) return nullptr;
  return format == ImageFormat::Thumbnail ? thumbnailOf(*m_image) : m_image;
}

bool Record::setImageData(fnd::Data* image, std::optional<fnd::Error>* error) {
  if (m_type != RecordType::Person) return fail(error, ErrorCode::InvalidValue, "Only people have images");
  if (!image || image->length() == 0) return removeImageData(error);
  m_image = fnd::Ref<fnd::Data>(image);
  m_changed = true;
  return true;
}

bool Record::removeImageData(std::optional<fnd::Error>* error) {
  if (m_type != RecordType::Person) return fail(error, ErrorCode::InvalidValue, "Only people have images");
  if (m_image) m_changed = true;
  m_image = nullptr;
  return true;
}

bool Record::addMember(Record* person, std::optional<fnd::Error>* error) {
  if (m_type != RecordType::Group || !person || person->m_type != RecordType::Person)
    return fail(error, ErrorCode::InvalidValue, "Only people can be members of a group");
  if (!m_owner || person->m_owner != m_owner)
    return fail(error, ErrorCode::OperationNotPermittedByStore, "Group and member must be in the same address book");
  if (std::none_of(m_members.begin(), m_members.end(),
                   [person](const auto& member) { return member.get() == person; })) {
    m_members.emplace_back(person);
    m_changed = true;
  }
  return true;
}

bool Record::removeMember(Record* person, std::optional<fnd::Error>* error) {
  if (m_type != RecordType::Group || !person) return fail(error, ErrorCode::InvalidValue, "Not a group member");
  const auto removed = std::erase_if(m_members, [person](const auto& member) { return member.get() == person; });
  if (removed == 0) return fail(error, ErrorCode::InvalidValue, "Not a group member");
  m_changed = true;
  return true;
}

void Record::markSaved(RecordID id) noexcept {
  m_id.store(id, std::memory_order_release);
  m_changed = false;
}

void Record::refresh(const Record& stored) {
  m_sourceID = stored.m_sourceID;
  m_values = stored.m_values;
  m_storedValues = stored.m_storedValues;
  m_image = stored.m_image;
  m_changed = false;
}

void Record::forgetMember(const Record* person) {
  if (std::erase_if(m_members, [person](const auto& member) { return member.get() == person; })) m_changed = true;
}

void Record::storeValue(PropertyID property, fnd::Ref<fnd::Object> value) {
  if (value) {
    mutableValues()[property] = std::move(value);
  } else {
    mutableValues().erase(property);
  }
}

}  // namespace ab
