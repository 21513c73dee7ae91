#pragma once
// Object: the reference-counted base of every value the layers share
// (strings, numbers, dates, data, null, containers). Thread-safe reference
// counting; the value classes are immutable and may be read from any thread.

#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace fnd {

// Cheap type test without RTTI on hot paths (the JSON decoder, the record store).
enum class ObjectKind : std::uint8_t { Other, String, Number, Date, Data, Null, Array, Dictionary, Enumerator };

class Object {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object() = default;

  void retain() const noexcept { m_references.fetch_add(1, std::memory_order_relaxed); }
  // Adds `count` references at once, for an owner that hands out references
  // in bulk and accounts for them later.
  void retain(std::uint32_t count) const noexcept { m_references.fetch_add(count, std::memory_order_relaxed); }
  void release() const noexcept {
    if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  std::uint32_t retainCount() const noexcept { return m_references.load(std::memory_order_relaxed); }

  ObjectKind kind() const noexcept { return m_kind; }
  // The class name that exception reasons and descriptions show.
  virtual const char* className() const { return "NSObject"; }

  // Equality of value, distinct from identity (`this == &other`).
  virtual bool isEqual(const Object& other) const { return this == &other; }
  // Equal objects have equal hashes.
  virtual std::size_t hash() const { return std::hash<const void*>{}(this); }
  virtual std::string description() const;

 protected:
  explicit Object(ObjectKind kind = ObjectKind::Other) noexcept : m_kind(kind) {}

 private:
  mutable std::atomic<std::uint32_t> m_references{1};
  ObjectKind m_kind;
};

// Ref<T>: shared ownership of an Object (one retain per Ref).
template <class T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  // Shares ownership of `object`: adds a reference.
  explicit Ref(T* object) noexcept : m_object(object) {
    if (m_object) m_object->retain();
  }
  // Takes over the reference the caller owns (from `new` or a create function).
  static Ref adopt(T* object) noexcept {
    Ref ref;
    ref.m_object = object;
    return ref;
  }
  Ref(const Ref& other) noexcept : Ref(other.m_object) {}
  Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  template <class U>
  requires std::convertible_to<U*, T*> Ref(const Ref<U>& other)
  noexcept : Ref(other.get()) {}
  template <class U>
  requires std::convertible_to<U*, T*> Ref(Ref<U>&& other)
  noexcept : m_object(other.leak()) {}
  ~Ref() {
    if (m_object) m_object->release();
  }
  Ref& operator=(Ref other) noexcept {
    std::swap(m_object, other.m_object);
    return *this;
  }

  T* get() const noexcept { return m_object; }
  T* operator->() const noexcept { return m_object; }
  T& operator*() const noexcept { return *m_object; }
  explicit operator bool() const noexcept { return m_object != nullptr; }
  // Gives up ownership without releasing; the caller owns the reference.
  [[nodiscard]] T* leak() noexcept { return std::exchange(m_object, nullptr); }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.m_object == b.m_object; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.m_object == nullptr; }

 private:
  T* m_object = nullptr;
};

template <class T, class... Args>
Ref<T> makeRef(Args&&... args) {
  return Ref<T>::adopt(new T(std::forward<Args>(args)...));
}

// Equality of two possibly absent objects: both absent, the same, or isEqual.
bool objectsEqual(const Object* a, const Object* b);

// Hash and equality functors for Ref<Object> keys in standard containers.
struct ObjectHash {
  std::size_t operator()(const Ref<Object>& object) const { return object ? object->hash() : 0; }
};
struct ObjectEqual {
  bool operator()(const Ref<Object>& a, const Ref<Object>& b) const { return objectsEqual(a.get(), b.get()); }
};

}  // namespace fnd
