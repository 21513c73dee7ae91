#include "platform/foundation/object_array.h"

#include "platform/foundation/exception.h"

namespace fnd {

Ref<ObjectArray> ObjectArray::create(std::span<Object* const> objects, bool isMutable) {
  auto array = Ref<ObjectArray>::adopt(new ObjectArray(isMutable));
  array->m_objects.reserve(objects.size());
  for (Object* object : objects) {
    if (!object) {
      throw Exception(
          Exception::Kind::InvalidArgument,
          formatString("*** -[%s initWithObjects:count:]: attempt to insert nil object", array->className()));
    }
    array->m_objects.emplace_back(object);
  }
  return array;
}

Ref<ObjectArray> ObjectArray::createWithArray(const Array& source, bool isMutable) {
  auto array = Ref<ObjectArray>::adopt(new ObjectArray(isMutable));
  array->m_objects.reserve(source.count());
  for (Object* object : source) array->m_objects.emplace_back(object);
  return array;
}

Object* ObjectArray::objectAtIndex(std::size_t index) const {
  checkIndex("objectAtIndex:", index, m_objects.size());
  return m_objects[index].get();
}

std::size_t ObjectArray::countByEnumerating(FastEnumerationState& state, Object** buffer, std::size_t length) const {
  const std::size_t produced = Array::countByEnumerating(state, buffer, length);
  state.mutations = &m_mutations;
  return produced;
}

void ObjectArray::insertObject(Object* object, std::size_t index) {
  checkMutable("insertObject:atIndex:");
  if (!object) {
    throw Exception(Exception::Kind::InvalidArgument,
                    formatString("*** -[%s insertObject:atIndex:]: attempt to insert nil", className()));
  }
  checkIndex("insertObject:atIndex:", index, m_objects.size() + 1);
  m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(index), Ref<Object>(object));
  ++m_mutations;
}

void ObjectArray::removeObjectAtIndex(std::size_t index) {
  checkMutable("removeObjectAtIndex:");
  checkIndex("removeObjectAtIndex:", index, m_objects.size());
  m_objects.erase(m_objects.begin() + static_cast<std::ptrdiff_t>(index));
  ++m_mutations;
}

void ObjectArray::replaceObjectAtIndex(std::size_t index, Object* object) {
  checkMutable("replaceObjectAtIndex:withObject:");
  if (!object) {
    throw Exception(Exception::Kind::InvalidArgument,
                    formatString("*** -[%s replaceObjectAtIndex:withObject:]: attempt to insert nil", className()));
  }
  checkIndex("replaceObjectAtIndex:withObject:", index, m_objects.size());
  m_objects[index] = Ref<Object>(object);
  ++m_mutations;
}

void ObjectArray::checkMutable(const char* operation) const {
  if (!m_isMutable) throwMutatingImmutable(className(), operation);
}

void ObjectArray::checkIndex(const char* operation, std::size_t index, std::size_t bound) const {
  if (index >= bound) {
    // The reported bound is the element count, as the platform words it.
    throw Exception(Exception::Kind::Range, formatString("*** -[%s %s]: index (%zu) beyond bounds (%zu)", className(),
                                                         operation, index, m_objects.size()));
  }
}

}  // namespace fnd
