#include "platform/foundation/containers.h"

#include <vector>

#include "platform/foundation/exception.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"

namespace fnd {

namespace {

std::size_t enumerateBatch(const Object& collection, FastEnumerationState& state, Object** buffer, std::size_t length) {
  if (collection.kind() == ObjectKind::Array)
    return static_cast<const Array&>(collection).countByEnumerating(state, buffer, length);
  return static_cast<const Dictionary&>(collection).countByEnumerating(state, buffer, length);
}

}  // namespace

FastEnumerationIterator::FastEnumerationIterator(const Object* collection) : m_collection(collection) {
  fetchBatch();
  if (m_collection && m_state.mutations) m_startMutations = *m_state.mutations;
}

FastEnumerationIterator& FastEnumerationIterator::operator++() {
  // Checked before every element, not only between batches: the rest of a
  // batch may hold objects the mutation has already freed.
  if (m_state.mutations && *m_state.mutations != m_startMutations) {
    throw Exception(Exception::Kind::InternalInconsistency,
                    formatString("*** Collection <%s: %p> was mutated while being enumerated.",
                                 m_collection->className(), static_cast<const void*>(m_collection)));
  }
  if (++m_index == m_count) fetchBatch();
  return *this;
}

void FastEnumerationIterator::fetchBatch() {
  m_index = 0;
  m_count = enumerateBatch(*m_collection, m_state, m_buffer.data(), m_buffer.size());
  if (m_count == 0) m_collection = nullptr;  // equal to end()
}

Ref<Array> Enumerator::allObjects() {
  auto objects = ObjectArray::createMutable();
  while (Object* object = nextObject()) objects->addObject(object);
  return objects;
}

void Array::getObjects(Object** destination, IndexRange range) const {
  for (std::size_t i = 0; i < range.length; ++i) destination[i] = objectAtIndex(range.location + i);
}

std::size_t Array::countByEnumerating(FastEnumerationState& state, Object** buffer, std::size_t length) const {
  static const std::uint64_t unchanging = 0;
  if (state.state == 0) state.mutations = &unchanging;
  const std::size_t total = count();
  std::size_t produced = 0;
  while (produced < length && state.state < total) buffer[produced++] = objectAtIndex(state.state++);
  state.items = buffer;
  return produced;
}

Ref<Array> Array::copy() const {
  if (!isMutable()) return Ref<Array>(const_cast<Array*>(this));
  return ObjectArray::createWithArray(*this, false);
}

Ref<MutableArray> Array::mutableCopy() const { return ObjectArray::createWithArray(*this, true); }

bool Array::containsObject(const Object& object) const {
  for (Object* element : *this)
    if (element->isEqual(object)) return true;
  return false;
}

bool Array::isEqual(const Object& other) const {
  if (this == &other) return true;
  if (other.kind() != ObjectKind::Array) return false;
  const auto& array = static_cast<const Array&>(other);
  if (array.count() != count()) return false;
  for (std::size_t i = 0; i < count(); ++i)
    if (!objectAtIndex(i)->isEqual(*array.objectAtIndex(i))) return false;
  return true;
}

std::string Array::description() const {
  std::string text = "(";
  const char* separator = "";
  for (Object* element : *this) {
    text += separator + element->description();
    separator = ", ";
  }
  return text + ")";
}

void MutableArray::removeLastObject() {
  if (count()) removeObjectAtIndex(count() - 1);
}

void MutableArray::removeAllObjects() {
  while (count()) removeObjectAtIndex(count() - 1);
}

Ref<Dictionary> Dictionary::copy() const {
  if (!isMutable()) return Ref<Dictionary>(const_cast<Dictionary*>(this));
  return ObjectDictionary::createWithDictionary(*this, false);
}

Ref<MutableDictionary> Dictionary::mutableCopy() const { return ObjectDictionary::createWithDictionary(*this, true); }

Object* Dictionary::objectForKey(std::string_view key) const { return objectForKey(String::create(key).get()); }

Ref<Array> Dictionary::allKeys() const {
  std::vector<Object*> keys(count());
  getObjectsAndKeys(nullptr, keys.data());
  return ObjectArray::create(keys);
}

Ref<Array> Dictionary::allValues() const {
  std::vector<Object*> values(count());
  getObjectsAndKeys(values.data(), nullptr);
  return ObjectArray::create(values);
}

bool Dictionary::isEqual(const Object& other) const {
  if (this == &other) return true;
  if (other.kind() != ObjectKind::Dictionary) return false;
  const auto& dictionary = static_cast<const Dictionary&>(other);
  if (dictionary.count() != count()) return false;
  for (Object* key : *this)
    if (!objectsEqual(objectForKey(key), dictionary.objectForKey(key))) return false;
  return true;
}

std::string Dictionary::description() const {
  std::string text = "{";
  const char* separator = "";
  for (Object* key : *this) {
    text += separator + key->description() + " = " + objectForKey(key)->description();
    separator = "; ";
  }
  return text + "}";
}

void MutableDictionary::setObject(Object* object, std::string_view key) {
  setObject(object, String::create(key).get());
}

Ref<Object> keyCopy(const Object& key) {
  switch (key.kind()) {
    case ObjectKind::Array:
      return static_cast<const Array&>(key).copy();
    case ObjectKind::Dictionary:
      return static_cast<const Dictionary&>(key).copy();
    default:
      return Ref<Object>(const_cast<Object*>(&key));
  }
}

}  // namespace fnd
