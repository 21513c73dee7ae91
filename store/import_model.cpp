#include "store/import_model.h"

#include <QChar>
#include <QLocale>
#include <QString>

#include "platform/foundation/date.h"
#include "platform/foundation/string_object.h"
#include "store/import_colour.h"
#include "store/import_date.h"
#include "store/import_values.h"

namespace store {

namespace {

using objectstore::AttributeDescription;
using objectstore::AttributeType;
using objectstore::EntityDescription;
using objectstore::RelationshipDescription;

constexpr std::string_view kColourClassSuffix = "Color";
constexpr std::string_view kDefaultIdentifierSuffix = "ID";

std::optional<std::string> userInfoText(const fnd::Dictionary* userInfo, std::string_view key) {
  const fnd::Object* value = userInfo ? userInfo->objectForKey(key) : nullptr;
  if (!value || value->kind() != fnd::ObjectKind::String) return std::nullopt;
  return std::string(static_cast<const fnd::String*>(value)->utf8());
}

std::string mappedKeyOrName(const fnd::Dictionary* userInfo, const std::string& name) {
  return userInfoText(userInfo, kMappedKeyNameKey).value_or(name);
}

std::string alternativeKeyName(int number) { return std::string(kMappedKeyNameKey) + "." + std::to_string(number); }

std::string withFirstCharacter(std::string_view text, QChar (QChar::*change)() const) {
  QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (!converted.isEmpty()) converted[0] = (converted[0].*change)();
  return converted.toStdString();
}

bool declaresColour(const AttributeDescription& attribute) {
  std::optional<std::string> className = userInfoText(attribute.userInfo.get(), kAttributeValueClassNameKey);
  return className && className->ends_with(kColourClassSuffix);
}

fnd::Ref<fnd::Object> colourValue(const AttributeDescription& attribute, const fnd::Object* value) {
  if (!value || value->kind() != fnd::ObjectKind::String) return nullptr;
  std::optional<ImportColour> colour = colourFromText(static_cast<const fnd::String*>(value)->utf8());
  return colour ? storedColour(*colour, attribute.type) : nullptr;
}

fnd::Ref<fnd::Object> dateValue(const AttributeDescription& attribute, fnd::Ref<fnd::Object> value) {
  const QTimeZone zone = QTimeZone::systemTimeZone();
  if (!value || value->kind() == fnd::ObjectKind::Null) return nullptr;
  if (value->kind() != fnd::ObjectKind::Date) {
    std::string format =
        userInfoText(attribute.userInfo.get(), kDateFormatKey).value_or(std::string(kDefaultImportDateFormat));
    value = dateFromText(value->description(), format, zone, QLocale());
    if (!value) return nullptr;
  }
  return shiftedByDaylightSaving(static_cast<const fnd::Date&>(*value), zone);
}

}  // namespace

std::string ImportModel::RS_capitalizedFirstCharacterString(std::string_view text) {
  return withFirstCharacter(text, &QChar::toUpper);
}

std::string ImportModel::RS_primaryAttributeToRelateBy(const EntityDescription& entity) {
  if (std::optional<std::string> declared = userInfoText(entity.userInfo().get(), kRelatedByAttributeKey))
    return *declared;
  return withFirstCharacter(entity.name(), &QChar::toLower) + std::string(kDefaultIdentifierSuffix);
}

std::string ImportModel::RS_primaryKey(const RelationshipDescription& relationship) {
  if (std::optional<std::string> declared = userInfoText(relationship.userInfo.get(), kRelatedByAttributeKey)) {
    return *declared;
  }
  return relationship.destinationEntity ? RS_primaryAttributeToRelateBy(*relationship.destinationEntity)
                                        : std::string();
}

std::optional<std::string> ImportModel::RS_lookupKeyForAttribute(const AttributeDescription& attribute,
                                                                 const fnd::Object* data) {
  std::string key = mappedKeyOrName(attribute.userInfo.get(), attribute.name);
  if (dataValueAtKeyPath(data, key)) return key;
  for (int number = 1; number <= kMaximumMappedKeyAlternatives; ++number) {
    std::optional<std::string> alternative = userInfoText(attribute.userInfo.get(), alternativeKeyName(number));
    if (!alternative) return std::nullopt;
    if (dataValueAtKeyPath(data, *alternative)) return alternative;
  }
  return std::nullopt;
}

fnd::Ref<fnd::Object> ImportModel::RS_valueForAttribute(const AttributeDescription& attribute,
                                                        const fnd::Object* data) {
  std::optional<std::string> key = RS_lookupKeyForAttribute(attribute, data);
  return key ? dataValueAtKeyPath(data, *key) : nullptr;
}

fnd::Ref<fnd::Object> ImportModel::RS_valueForKeyPath(const AttributeDescription& attribute, std::string_view keyPath,
                                                      const fnd::Object* data) {
  fnd::Ref<fnd::Object> value = dataValueAtKeyPath(data, keyPath);
  if (declaresColour(attribute)) return colourValue(attribute, value.get());
  if (attribute.type == AttributeType::Date) return dateValue(attribute, std::move(value));
  return noneForNull(std::move(value));
}

std::string ImportModel::RS_lookupKeyForRelationship(const RelationshipDescription& relationship) {
  return mappedKeyOrName(relationship.userInfo.get(), relationship.name);
}

fnd::Ref<fnd::Object> ImportModel::RS_relatedValueForRelationship(const RelationshipDescription& relationship,
                                                                  const fnd::Object* relatedData) {
  if (relatedData && relatedData->kind() == fnd::ObjectKind::Number) {
    return fnd::Ref<fnd::Object>(const_cast<fnd::Object*>(relatedData));
  }
  const EntityDescription* destination = relationship.destinationEntity;
  const AttributeDescription* identifying =
      destination ? destination->attributeNamed(RS_primaryKey(relationship)) : nullptr;
  if (!identifying) return nullptr;
  return noneForNull(dataValueAtKeyPath(relatedData, mappedKeyOrName(identifying->userInfo.get(), identifying->name)));
}

}  // namespace store
