#pragma once
// ObjectArray: the general-purpose array, immutable or mutable, over a vector.

#include <initializer_list>
#include <span>
#include <vector>

#include "platform/foundation/containers.h"

namespace fnd {

class ObjectArray final : public MutableArray {
 public:
  static Ref<ObjectArray> create(std::span<Object* const> objects = {}, bool isMutable = false);
  static Ref<ObjectArray> create(std::initializer_list<Object*> objects) {
    return create(std::span(objects.begin(), objects.size()));
  }
  static Ref<ObjectArray> createMutable() { return create({}, true); }
  static Ref<ObjectArray> createWithArray(const Array& array, bool isMutable);

  std::size_t count() const override { return m_objects.size(); }
  Object* objectAtIndex(std::size_t index) const override;
  std::size_t countByEnumerating(FastEnumerationState& state, Object** buffer, std::size_t length) const override;
  bool isMutable() const override { return m_isMutable; }
  void insertObject(Object* object, std::size_t index) override;
  void removeObjectAtIndex(std::size_t index) override;
  void replaceObjectAtIndex(std::size_t index, Object* object) override;
  const char* className() const override { return m_isMutable ? "NSMutableArray" : "NSArray"; }

 private:
  explicit ObjectArray(bool isMutable) : m_isMutable(isMutable) {}
  void checkMutable(const char* operation) const;
  void checkIndex(const char* operation, std::size_t index, std::size_t bound) const;

  std::vector<Ref<Object>> m_objects;
  std::uint64_t m_mutations = 0;
  bool m_isMutable;
};

}  // namespace fnd
