#pragma once
// What the data import reads from the object model: the keys under which the
// data holds each property ("mappedKeyName" and its numbered alternatives),
// the attribute that identifies a record ("relatedByAttribute"), and each
// attribute's value converted from the data. Stateless; safe on any thread.
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/containers.h"
#include "platform/objectstore/model.h"
#include "store/shorthand.h"

namespace store {

inline constexpr std::string_view kMappedKeyNameKey = "mappedKeyName";
inline constexpr std::string_view kRelatedByAttributeKey = "relatedByAttribute";
inline constexpr std::string_view kAttributeValueClassNameKey = "attributeValueClassName";
inline constexpr std::string_view kDateFormatKey = "dateFormat";
// Numbered alternatives are "mappedKeyName.1" to "mappedKeyName.9".
inline constexpr int kMaximumMappedKeyAlternatives = 9;

class ImportModel {
 public:
  // "contactID" -> "ContactID"; the operation names of a property use it.
  static std::string RS_capitalizedFirstCharacterString(std::string_view text);
  // The entity's "relatedByAttribute", else its name with a lower-case first
  // character followed by "ID" (Contact: contactID).
  static std::string RS_primaryAttributeToRelateBy(const objectstore::EntityDescription& entity);
  // The relationship's "relatedByAttribute", else its destination's identifying attribute.
  static std::string RS_primaryKey(const objectstore::RelationshipDescription& relationship);
  // The attribute's mapped key or name when the data has a value at that key
  // path, else the first numbered alternative it has a value at, stopping at
  // the first number the attribute does not declare; none when nothing matches.
  static std::optional<std::string> RS_lookupKeyForAttribute(const objectstore::AttributeDescription& attribute,
                                                             const fnd::Object* data);
  // The data's value for the attribute as it stands (null object included); null when absent.
  static fnd::Ref<fnd::Object> RS_valueForAttribute(const objectstore::AttributeDescription& attribute,
                                                    const fnd::Object* data);
  // The value at the key path converted for the attribute: colour texts,
  // date texts (local time zone, then the daylight-saving shift); the null
  // object becomes null.
  static fnd::Ref<fnd::Object> RS_valueForKeyPath(const objectstore::AttributeDescription& attribute,
                                                  std::string_view keyPath, const fnd::Object* data);
  // The plain key of the relationship's value in the data: its mapped key or name.
  static std::string RS_lookupKeyForRelationship(const objectstore::RelationshipDescription& relationship);
  // The key value that identifies one related data object: a number is its
  // own; otherwise its value under the identifying attribute's mapped key or name.
  static fnd::Ref<fnd::Object> RS_relatedValueForRelationship(const objectstore::RelationshipDescription& relationship,
                                                              const fnd::Object* relatedData);

  RS_SHORTHAND(capitalizedFirstCharacterString)
  RS_SHORTHAND(primaryAttributeToRelateBy)
  RS_SHORTHAND(primaryKey)
  RS_SHORTHAND(lookupKeyForAttribute)
  RS_SHORTHAND(valueForAttribute)
  RS_SHORTHAND(valueForKeyPath)
  RS_SHORTHAND(lookupKeyForRelationship)
  RS_SHORTHAND(relatedValueForRelationship)
};

}  // namespace store
