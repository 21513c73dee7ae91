#pragma once
// The abstract ordered-list and key-value containers every layer reads, in an
// immutable and a mutable form. Concrete classes (ObjectArray, ObjectDictionary,
// the JSON decoder's own) implement the primitive operations; the rest follow.
// Elements are never absent: "no value" inside a container is Null.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "platform/foundation/object.h"

namespace fnd {

class MutableArray;
class MutableDictionary;

// State of one fast enumeration, filled by countByEnumerating(): `items` points
// at the current batch, `mutations` at a counter that must not change while the
// enumeration runs.
struct FastEnumerationState {
  std::size_t state = 0;
  Object* const* items = nullptr;
  const std::uint64_t* mutations = nullptr;
  std::array<std::size_t, 5> extra{};
};

struct IndexRange {
  std::size_t location = 0;
  std::size_t length = 0;
};

// Range-for support over any fast-enumerable container; throws when the
// container is mutated during the walk.
class FastEnumerationIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = Object*;
  using difference_type = std::ptrdiff_t;
  using pointer = Object* const*;
  using reference = Object*;

  FastEnumerationIterator() = default;
  explicit FastEnumerationIterator(const class Object* collection);
  Object* operator*() const { return m_state.items[m_index]; }
  FastEnumerationIterator& operator++();
  bool operator==(const FastEnumerationIterator& other) const { return m_collection == other.m_collection; }

 private:
  void fetchBatch();
  const Object* m_collection = nullptr;
  FastEnumerationState m_state;
  std::array<Object*, 16> m_buffer{};
  std::size_t m_index = 0;
  std::size_t m_count = 0;
  std::uint64_t m_startMutations = 0;
};

class Enumerator : public Object {
 public:
  // The next object, or null after the last.
  virtual Object* nextObject() = 0;
  // The objects nextObject() would still return, in order.
  Ref<class Array> allObjects();
  const char* className() const override { return "NSEnumerator"; }

 protected:
  Enumerator() noexcept : Object(ObjectKind::Enumerator) {}
};

class Array : public Object {
 public:
  virtual std::size_t count() const = 0;
  // Throws a range exception for index >= count().
  virtual Object* objectAtIndex(std::size_t index) const = 0;
  virtual void getObjects(Object** destination, IndexRange range) const;
  virtual std::size_t countByEnumerating(FastEnumerationState& state, Object** buffer, std::size_t length) const;
  virtual bool isMutable() const { return false; }
  // Immutable: this array. Mutable: an immutable snapshot.
  virtual Ref<Array> copy() const;
  virtual Ref<MutableArray> mutableCopy() const;

  Object* firstObject() const { return count() ? objectAtIndex(0) : nullptr; }
  Object* lastObject() const { return count() ? objectAtIndex(count() - 1) : nullptr; }
  bool containsObject(const Object& object) const;

  FastEnumerationIterator begin() const { return FastEnumerationIterator(this); }
  FastEnumerationIterator end() const { return {}; }

  const char* className() const override { return "NSArray"; }
  bool isEqual(const Object& other) const override;
  std::size_t hash() const override { return count(); }
  std::string description() const override;

 protected:
  Array() noexcept : Object(ObjectKind::Array) {}
};

class MutableArray : public Array {
 public:
  virtual void insertObject(Object* object, std::size_t index) = 0;
  virtual void removeObjectAtIndex(std::size_t index) = 0;
  virtual void replaceObjectAtIndex(std::size_t index, Object* object) = 0;

  void addObject(Object* object) { insertObject(object, count()); }
  void removeLastObject();
  void removeAllObjects();
  const char* className() const override { return "NSMutableArray"; }
};

class Dictionary : public Object {
 public:
  virtual std::size_t count() const = 0;
  // The object stored under a key equal to `key`, or null.
  virtual Object* objectForKey(const Object* key) const = 0;
  // Writes every object and key (either destination may be null) in one order.
  virtual void getObjectsAndKeys(Object** objects, Object** keys) const = 0;
  // Fast enumeration over the keys.
  virtual std::size_t countByEnumerating(FastEnumerationState& state, Object** buffer, std::size_t length) const = 0;
  virtual Ref<Enumerator> keyEnumerator() const = 0;
  virtual bool isMutable() const { return false; }
  virtual Ref<Dictionary> copy() const;
  virtual Ref<MutableDictionary> mutableCopy() const;

  // Lookup by the text of a string key.
  Object* objectForKey(std::string_view key) const;
  Ref<Array> allKeys() const;
  Ref<Array> allValues() const;

  // Range-for walks the keys.
  FastEnumerationIterator begin() const { return FastEnumerationIterator(this); }
  FastEnumerationIterator end() const { return {}; }

  const char* className() const override { return "NSDictionary"; }
  bool isEqual(const Object& other) const override;
  std::size_t hash() const override { return count(); }
  std::string description() const override;

 protected:
  Dictionary() noexcept : Object(ObjectKind::Dictionary) {}
};

class MutableDictionary : public Dictionary {
 public:
  // Stores a copy of `key` (see keyCopy), so that a mutable key changed later
  // cannot strand its entry.
  virtual void setObject(Object* object, const Object* key) = 0;
  virtual void removeObjectForKey(const Object* key) = 0;

  void setObject(Object* object, std::string_view key);
  const char* className() const override { return "NSMutableDictionary"; }
};

// What a dictionary keeps for `key`: the key itself when it is immutable, an
// immutable snapshot when it is a mutable array or dictionary.
Ref<Object> keyCopy(const Object& key);

}  // namespace fnd
