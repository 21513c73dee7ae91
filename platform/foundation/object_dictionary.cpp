#include "platform/foundation/object_dictionary.h"

#include "platform/foundation/exception.h"

namespace fnd {

namespace {

class KeyEnumerator final : public Enumerator {
 public:
  explicit KeyEnumerator(const Dictionary& dictionary) : m_keys(dictionary.allKeys()) {}
  Object* nextObject() override { return m_next < m_keys->count() ? m_keys->objectAtIndex(m_next++) : nullptr; }

 private:
  Ref<Array> m_keys;  // a snapshot, so the walk survives changes of the dictionary
  std::size_t m_next = 0;
};

}  // namespace

Ref<ObjectDictionary> ObjectDictionary::create(bool isMutable) {
  return Ref<ObjectDictionary>::adopt(new ObjectDictionary(isMutable));
}

Ref<ObjectDictionary> ObjectDictionary::createWithDictionary(const Dictionary& source, bool isMutable) {
  auto dictionary = create(true);
  for (Object* key : source) dictionary->setObject(source.objectForKey(key), key);
  dictionary->m_isMutable = isMutable;
  dictionary->m_mutations = 0;
  return dictionary;
}

Object* ObjectDictionary::objectForKey(const Object* key) const {
  if (!key) return nullptr;
  const auto found = m_indexByKey.find(Ref<Object>(const_cast<Object*>(key)));
  return found == m_indexByKey.end() ? nullptr : m_entries[found->second].object.get();
}

void ObjectDictionary::getObjectsAndKeys(Object** objects, Object** keys) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (objects) objects[i] = m_entries[i].object.get();
    if (keys) keys[i] = m_entries[i].key.get();
  }
}

std::size_t ObjectDictionary::countByEnumerating(FastEnumerationState& state, Object** buffer,
                                                 std::size_t length) const {
  state.mutations = &m_mutations;
  std::size_t produced = 0;
  while (produced < length && state.state < m_entries.size()) buffer[produced++] = m_entries[state.state++].key.get();
  state.items = buffer;
  return produced;
}

Ref<Enumerator> ObjectDictionary::keyEnumerator() const { return makeRef<KeyEnumerator>(*this); }

void ObjectDictionary::setObject(Object* object, const Object* key) {
  checkMutable("setObject:forKey:");
  if (!key) {
    throw Exception(Exception::Kind::InvalidArgument,
                    formatString("*** -[%s setObject:forKey:]: attempt to insert nil key", className()));
  }
  if (!object) {
    throw Exception(Exception::Kind::InvalidArgument,
                    formatString("*** -[%s setObject:forKey:]: attempt to insert nil value (key: %s)", className(),
                                 key->description().c_str()));
  }
  Ref<Object> keyRef = keyCopy(*key);
  const auto [found, inserted] = m_indexByKey.try_emplace(keyRef, m_entries.size());
  if (inserted) {
    m_entries.push_back({std::move(keyRef), Ref<Object>(object)});
  } else {
    m_entries[found->second].object = Ref<Object>(object);
  }
  ++m_mutations;
}

void ObjectDictionary::removeObjectForKey(const Object* key) {
  checkMutable("removeObjectForKey:");
  if (!key) {
    throw Exception(Exception::Kind::InvalidArgument,
                    formatString("*** -[%s removeObjectForKey:]: attempt to remove nil key", className()));
  }
  const auto found = m_indexByKey.find(Ref<Object>(const_cast<Object*>(key)));
  if (found == m_indexByKey.end()) return;
  const std::size_t gap = found->second;
  m_indexByKey.erase(found);
  if (gap + 1 != m_entries.size()) {
    m_entries[gap] = std::move(m_entries.back());
    m_indexByKey[m_entries[gap].key] = gap;
  }
  m_entries.pop_back();
  ++m_mutations;
}

void ObjectDictionary::checkMutable(const char* operation) const {
  if (!m_isMutable) throwMutatingImmutable(className(), operation);
}

}  // namespace fnd
