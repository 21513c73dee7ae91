#include "platform/addressbook/multi_value.h"

#include <algorithm>

#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"

namespace ab {

namespace {

// Dictionaries nested deeper than this are refused: the book reads back only so many levels.
constexpr int kDeepestDictionary = 8;

bool isStorableScalar(const fnd::Object& object) {
  switch (object.kind()) {
    case fnd::ObjectKind::String:
    case fnd::ObjectKind::Number:
    case fnd::ObjectKind::Date:
    case fnd::ObjectKind::Data:
      return true;
    default:
      return false;
  }
}

// A dictionary the book can write and read back whole: every key and value
// present and of a kind it stores (no nulls, arrays or other objects).
bool isStorableDictionary(const fnd::Object& object, int depth) {
  if (object.kind() != fnd::ObjectKind::Dictionary || depth > kDeepestDictionary) return false;
  const auto& dictionary = static_cast<const fnd::Dictionary&>(object);
  for (fnd::Object* key : dictionary) {
    const fnd::Object* value = dictionary.objectForKey(key);
    if (!key || !isStorableScalar(*key) || !value) return false;
    if (!isStorableScalar(*value) && !isStorableDictionary(*value, depth + 1)) return false;
  }
  return true;
}

}  // namespace

bool valueMatchesType(PropertyType type, const fnd::Object* value) {
  if (!value) return false;
  switch (type) {
    case kStringPropertyType:
      return value->kind() == fnd::ObjectKind::String;
    case kIntegerPropertyType:
      return value->kind() == fnd::ObjectKind::Number && static_cast<const fnd::Number*>(value)->isInteger();
    case kRealPropertyType:
      return value->kind() == fnd::ObjectKind::Number;
    case kDateTimePropertyType:
      return value->kind() == fnd::ObjectKind::Date;
    case kDictionaryPropertyType:
      return isStorableDictionary(*value, 1);
    default:
      return false;
  }
}

bool MultiValue::acceptsValue(PropertyType type, const fnd::Object* value) {
  return (type & kMultiValueMask) && valueMatchesType(type & ~kMultiValueMask, value);
}

fnd::Ref<MultiValue> MultiValue::createMutable(PropertyType type) {
  return fnd::Ref<MultiValue>::adopt(new MultiValue(type, true));
}

fnd::Ref<MultiValue> MultiValue::create(PropertyType type, std::vector<Entry> entries,
                                        MultiValueIdentifier nextIdentifier, bool isMutable) {
  auto value = fnd::Ref<MultiValue>::adopt(new MultiValue(type, isMutable));
  // Identifiers must stay unique even when the stored counter fell behind.
  MultiValueIdentifier next = std::max<MultiValueIdentifier>(nextIdentifier, 0);
  for (const Entry& entry : entries) next = std::max(next, entry.identifier + 1);
  value->m_entries = std::move(entries);
  value->m_nextIdentifier = next;
  return value;
}

fnd::Object* MultiValue::valueAtIndex(std::size_t index) const {
  return index < m_entries.size() ? m_entries[index].value.get() : nullptr;
}

fnd::String* MultiValue::labelAtIndex(std::size_t index) const {
  return index < m_entries.size() ? m_entries[index].label.get() : nullptr;
}

MultiValueIdentifier MultiValue::identifierAtIndex(std::size_t index) const {
  return index < m_entries.size() ? m_entries[index].identifier : kInvalidMultiValueIdentifier;
}

std::size_t MultiValue::indexForIdentifier(MultiValueIdentifier identifier) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].identifier == identifier) return i;
  return kNotFound;
}

std::size_t MultiValue::firstIndexOfValue(const fnd::Object* value) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i)
    if (value && m_entries[i].value->isEqual(*value)) return i;
  return kNotFound;
}

fnd::Ref<fnd::Array> MultiValue::copyArrayOfAllValues() const {
  std::vector<fnd::Object*> values;
  values.reserve(m_entries.size());
  for (const Entry& entry : m_entries) values.push_back(entry.value.get());
  return fnd::ObjectArray::create(values);
}

fnd::Ref<MultiValue> MultiValue::copy() const {
  // An immutable value is its own copy: nothing can change it under the
  // holder, and a person's numbers are read often and may be very many.
  if (!m_isMutable) return fnd::Ref<MultiValue>(const_cast<MultiValue*>(this));
  return create(m_type, m_entries, m_nextIdentifier, false);
}

fnd::Ref<MultiValue> MultiValue::mutableCopy() const { return create(m_type, m_entries, m_nextIdentifier, true); }

bool MultiValue::addValue(fnd::Object* value, fnd::String* label, MultiValueIdentifier* identifier) {
  return insertValue(value, label, m_entries.size(), identifier);
}

bool MultiValue::insertValue(fnd::Object* value, fnd::String* label, std::size_t index,
                             MultiValueIdentifier* identifier) {
  if (!m_isMutable || !acceptsValue(m_type, value) || index > m_entries.size()) return false;
  const MultiValueIdentifier assigned = m_nextIdentifier++;
  m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(index),
                   Entry{assigned, fnd::Ref<fnd::String>(label), fnd::Ref<fnd::Object>(value)});
  if (identifier) *identifier = assigned;
  return true;
}

bool MultiValue::removeValueAndLabelAtIndex(std::size_t index) {
  if (!m_isMutable || index >= m_entries.size()) return false;
  m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool MultiValue::replaceValueAtIndex(fnd::Object* value, std::size_t index) {
  if (!m_isMutable || !acceptsValue(m_type, value) || index >= m_entries.size()) return false;
  m_entries[index].value = fnd::Ref<fnd::Object>(value);
  return true;
}

bool MultiValue::replaceLabelAtIndex(fnd::String* label, std::size_t index) {
  if (!m_isMutable || index >= m_entries.size()) return false;
  m_entries[index].label = fnd::Ref<fnd::String>(label);
  return true;
}

bool MultiValue::isEqual(const fnd::Object& other) const {
  const auto* that = dynamic_cast<const MultiValue*>(&other);
  if (!that || that->m_type != m_type || that->m_entries.size() != m_entries.size()) return false;
  return std::equal(m_entries.begin(), m_entries.end(), that->m_entries.begin(), [](const Entry& a, const Entry& b) {
    return a.identifier == b.identifier && fnd::objectsEqual(a.label.get(), b.label.get()) &&
           fnd::objectsEqual(a.value.get(), b.value.get());
  });
}

}  // namespace ab
