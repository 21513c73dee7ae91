#pragma once
// PBMultiValue: a labelled list (phone numbers, e-mail addresses...) as a
// free-standing value, and PBMutableMultiValue, its editable form. Not tied to
// an address-book instance; a mutable value must be edited by one thread at a time.

#include <memory>
#include <string>

#include "platform/addressbook/multi_value.h"
#include "platform/foundation/containers.h"

namespace pb {

class PBMutableMultiValue;

class PBMultiValue {
 public:
  static constexpr std::size_t kNotFound = ab::MultiValue::kNotFound;

  // Null for a null reference; keeps its own reference to the value.
  static std::shared_ptr<PBMultiValue> create(fnd::Ref<ab::MultiValue> multiValueRef);
  virtual ~PBMultiValue() = default;

  const fnd::Ref<ab::MultiValue>& multiValueRef() const noexcept { return m_multiValueRef; }
  ab::PropertyType propertyType() const { return m_multiValueRef->propertyType(); }
  std::size_t count() const { return m_multiValueRef->count(); }
  fnd::Ref<fnd::Object> valueAtIndex(std::size_t index) const;
  fnd::Ref<fnd::Array> values() const { return m_multiValueRef->copyArrayOfAllValues(); }
  fnd::Ref<fnd::String> labelAtIndex(std::size_t index) const;
  fnd::Ref<fnd::String> localizedLabelAtIndex(std::size_t index) const;
  std::size_t indexForIdentifier(ab::MultiValueIdentifier identifier) const;
  ab::MultiValueIdentifier identifierAtIndex(std::size_t index) const;
  std::size_t firstIndexOfValue(const fnd::Object* value) const;
  std::shared_ptr<PBMutableMultiValue> mutableCopy() const;

  std::string contentDescription() const;
  virtual const char* className() const { return "PBMultiValue"; }
  std::string description() const;
  bool isEqual(const PBMultiValue* other) const;
  // Same labels and values, index by index; identifiers and type are not compared.
  bool isEqualToMultiValue(const PBMultiValue& other) const;

 protected:
  explicit PBMultiValue(fnd::Ref<ab::MultiValue> multiValueRef) : m_multiValueRef(std::move(multiValueRef)) {}

 private:
  fnd::Ref<ab::MultiValue> m_multiValueRef;
};

class PBMutableMultiValue final : public PBMultiValue {
 public:
  // A new, empty value of a multi-value type (257 to 261).
  static std::shared_ptr<PBMutableMultiValue> create(ab::PropertyType type);
  static std::shared_ptr<PBMutableMultiValue> createWithMultiValueRef(fnd::Ref<ab::MultiValue> mutableRef);

  // The new entry's identifier, or -1 when refused.
  ab::MultiValueIdentifier addValue(fnd::Object* value, fnd::String* label);
  ab::MultiValueIdentifier insertValue(fnd::Object* value, fnd::String* label, std::size_t index);
  bool removeValueAndLabelAtIndex(std::size_t index);
  bool replaceValueAtIndex(std::size_t index, fnd::Object* value);
  bool replaceLabelAtIndex(std::size_t index, fnd::String* label);

  const char* className() const override { return "PBMutableMultiValue"; }

 private:
  using PBMultiValue::PBMultiValue;
};

}  // namespace pb
