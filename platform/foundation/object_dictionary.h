#pragma once
// ObjectDictionary: the general-purpose dictionary, immutable or mutable,
// keyed by value equality. Entries keep their insertion order (a removal moves
// the last entry into the gap); keys must not change while stored.

#include <unordered_map>
#include <vector>

#include "platform/foundation/containers.h"

namespace fnd {

class ObjectDictionary final : public MutableDictionary {
 public:
  static Ref<ObjectDictionary> create(bool isMutable = false);
  static Ref<ObjectDictionary> createMutable() { return create(true); }
  static Ref<ObjectDictionary> createWithDictionary(const Dictionary& dictionary, bool isMutable);

  using MutableDictionary::objectForKey;
  using MutableDictionary::setObject;
  std::size_t count() const override { return m_entries.size(); }
  Object* objectForKey(const Object* key) const override;
  void getObjectsAndKeys(Object** objects, Object** keys) const override;
  std::size_t countByEnumerating(FastEnumerationState& state, Object** buffer, std::size_t length) const override;
  Ref<Enumerator> keyEnumerator() const override;
  bool isMutable() const override { return m_isMutable; }
  void setObject(Object* object, const Object* key) override;
  void removeObjectForKey(const Object* key) override;
  const char* className() const override { return m_isMutable ? "NSMutableDictionary" : "NSDictionary"; }

 private:
  explicit ObjectDictionary(bool isMutable) : m_isMutable(isMutable) {}
  void checkMutable(const char* operation) const;

  struct Entry {
    Ref<Object> key;
    Ref<Object> object;
  };
  std::vector<Entry> m_entries;
  std::unordered_map<Ref<Object>, std::size_t, ObjectHash, ObjectEqual> m_indexByKey;
  std::uint64_t m_mutations = 0;
  bool m_isMutable;
};

}  // namespace fnd
