#pragma once
// JDArray: the array the JSON decoder builds in one step from the values it
// collected. Immutable unless the decoder was asked for mutable containers.
// No locking: concurrent reads are safe, a mutation needs exclusive use.

#include "json/container_access.h"
#include "platform/foundation/containers.h"
#include "platform/foundation/object_arena.h"

namespace json {

class JDArray final : public fnd::MutableArray {
 public:
  // Takes over one reference to each of the `count` objects (none may be null).
  static fnd::Ref<JDArray> create(ContainerAccess, fnd::ObjectArena& arena, fnd::Object** objects, std::size_t count,
                                  bool isMutable);
  ~JDArray() override;

  std::size_t count() const override { return m_count; }
  std::size_t capacity() const noexcept { return m_capacity; }
  fnd::Object* objectAtIndex(std::size_t index) const override;
  void getObjects(fnd::Object** destination, fnd::IndexRange range) const override;
  std::size_t countByEnumerating(fnd::FastEnumerationState& state, fnd::Object** buffer,
                                 std::size_t length) const override;
  bool isMutable() const override { return m_mutations != 0; }

  void insertObject(fnd::Object* object, std::size_t index) override;
  void removeObjectAtIndex(std::size_t index) override;
  void replaceObjectAtIndex(std::size_t index, fnd::Object* object) override;

  const char* className() const override { return "JDArray"; }
  void operator delete(void* memory) noexcept;

 private:
  JDArray(std::size_t count, bool isMutable) noexcept;
  static void* operator new(std::size_t, void* place) noexcept { return place; }
  fnd::Object** inlineObjects() noexcept;
  void requireMutable(const char* operation) const;
  void requireObject(const char* operation, const fnd::Object* object) const;
  [[noreturn]] void throwBeyondBounds(const char* operation, std::size_t index, std::size_t bound) const;

  fnd::Object** m_objects;  // the inline elements after the object, or a heap array once grown
  std::size_t m_count;
  std::size_t m_capacity;
  std::uint64_t m_mutations;
};

}  // namespace json
