#pragma once
// MultiValue: an ordered list of (identifier, label, value) entries, the form of
// phone numbers, e-mail and postal addresses. Identifiers stay with their entry
// for its life and are never reused within one value. Immutable values may be
// read from any thread; a mutable one must be changed by one thread at a time.

#include <cstddef>
#include <vector>

#include "platform/addressbook/properties.h"
#include "platform/foundation/containers.h"
#include "platform/foundation/string_object.h"

namespace ab {

class MultiValue final : public fnd::Object {
 public:
  static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

  struct Entry {
    MultiValueIdentifier identifier;
    fnd::Ref<fnd::String> label;  // may be null
    fnd::Ref<fnd::Object> value;
  };

  // A new, empty mutable value of a multi-value type (kMultiStringPropertyType...).
  static fnd::Ref<MultiValue> createMutable(PropertyType type);
  // Rebuilds a stored value; entries must suit `type`. Used by storage and vCard import.
  static fnd::Ref<MultiValue> create(PropertyType type, std::vector<Entry> entries, MultiValueIdentifier nextIdentifier,
                                     bool isMutable);

  PropertyType propertyType() const noexcept { return m_type; }
  bool isMutable() const noexcept { return m_isMutable; }
  std::size_t count() const noexcept { return m_entries.size(); }
  const std::vector<Entry>& entries() const noexcept { return m_entries; }
  MultiValueIdentifier nextIdentifier() const noexcept { return m_nextIdentifier; }

  // Null for an index out of range.
  fnd::Object* valueAtIndex(std::size_t index) const;
  fnd::String* labelAtIndex(std::size_t index) const;
  MultiValueIdentifier identifierAtIndex(std::size_t index) const;
  std::size_t indexForIdentifier(MultiValueIdentifier identifier) const;
  std::size_t firstIndexOfValue(const fnd::Object* value) const;
  fnd::Ref<fnd::Array> copyArrayOfAllValues() const;

  fnd::Ref<MultiValue> copy() const;  // immutable
  fnd::Ref<MultiValue> mutableCopy() const;

  // Mutations answer false on an immutable value, a value of the wrong kind or
  // an index out of range; `identifier` receives the new entry's identifier.
  bool addValue(fnd::Object* value, fnd::String* label, MultiValueIdentifier* identifier);
  bool insertValue(fnd::Object* value, fnd::String* label, std::size_t index, MultiValueIdentifier* identifier);
  bool removeValueAndLabelAtIndex(std::size_t index);
  bool replaceValueAtIndex(fnd::Object* value, std::size_t index);
  bool replaceLabelAtIndex(fnd::String* label, std::size_t index);

  // Whether `value` may be stored in a multi-value of `type`.
  static bool acceptsValue(PropertyType type, const fnd::Object* value);

  const char* className() const override { return m_isMutable ? "ABMutableMultiValue" : "ABMultiValue"; }
  // Same type and the same entries (identifiers included).
  bool isEqual(const fnd::Object& other) const override;

 private:
  MultiValue(PropertyType type, bool isMutable) : m_type(type), m_isMutable(isMutable) {}

  PropertyType m_type;
  bool m_isMutable;
  std::vector<Entry> m_entries;
  MultiValueIdentifier m_nextIdentifier = 0;
};

// Whether `value` is of the kind a single-valued property of `type` holds.
bool valueMatchesType(PropertyType type, const fnd::Object* value);

}  // namespace ab
