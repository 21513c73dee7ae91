#pragma once
// Number: an immutable signed 64-bit, unsigned 64-bit, double or boolean value.
// The kind is kept, yet equality and hash follow the numeric value, so 1, 1u,
// 1.0 and YES are equal and hash alike.

#include <compare>
#include <cstdint>

#include "platform/foundation/object.h"

namespace fnd {

class ObjectArena;

class Number final : public Object {
 public:
  enum class Type : std::uint8_t { Bool, Int64, UInt64, Double };

  static Ref<Number> create(std::int64_t value);
  static Ref<Number> createUnsigned(std::uint64_t value);
  static Ref<Number> create(double value);
  // The same in memory of the calling thread's arena (for numbers made in bulk).
  static Ref<Number> create(std::int64_t value, ObjectArena& arena);
  static Ref<Number> createUnsigned(std::uint64_t value, ObjectArena& arena);
  static Ref<Number> create(double value, ObjectArena& arena);
  // The two shared boolean constants.
  static Number* yes() noexcept;
  static Number* no() noexcept;
  static Number* boolean(bool value) noexcept { return value ? yes() : no(); }

  Type type() const noexcept { return m_type; }
  bool isInteger() const noexcept { return m_type != Type::Double; }
  std::int64_t int64Value() const noexcept;
  std::uint64_t uint64Value() const noexcept;
  double doubleValue() const noexcept;
  bool boolValue() const noexcept;

  // Exact comparison across kinds; NaN is unordered against everything but NaN.
  std::partial_ordering compare(const Number& other) const noexcept;

  const char* className() const override { return "NSNumber"; }
  bool isEqual(const Object& other) const override;
  std::size_t hash() const override;
  std::string description() const override;

  // Frees heap and arena memory alike.
  void operator delete(void* memory) noexcept;

 private:
  union Value {
    std::int64_t i;
    std::uint64_t u;
    double d;
  };
  Number(Type type, Value value) noexcept : Object(ObjectKind::Number), m_type(type), m_value(value) {}
  static Ref<Number> createIn(ObjectArena& arena, Type type, Value value);

  Type m_type;
  Value m_value;
};

}  // namespace fnd
