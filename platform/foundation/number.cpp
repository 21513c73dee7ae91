#include "platform/foundation/number.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

#include "platform/foundation/hash_mixing.h"
#include "platform/foundation/object_arena.h"

namespace fnd {

namespace {

// long double on the targets we build for has a 64-bit mantissa, so every
// int64 and uint64 converts exactly and mixed comparisons stay exact.
static_assert(std::numeric_limits<long double>::digits >= 64, "mixed comparisons need a 64-bit mantissa");

constexpr long double kTwoTo63 = 9223372036854775808.0L;
constexpr long double kTwoTo64 = 18446744073709551616.0L;

}  // namespace

Ref<Number> Number::create(std::int64_t value) { return Ref<Number>::adopt(new Number(Type::Int64, {.i = value})); }
Ref<Number> Number::createUnsigned(std::uint64_t value) {
  return Ref<Number>::adopt(new Number(Type::UInt64, {.u = value}));
}
Ref<Number> Number::create(double value) { return Ref<Number>::adopt(new Number(Type::Double, {.d = value})); }

Ref<Number> Number::create(std::int64_t value, ObjectArena& arena) {
  return createIn(arena, Type::Int64, {.i = value});
}
Ref<Number> Number::createUnsigned(std::uint64_t value, ObjectArena& arena) {
  return createIn(arena, Type::UInt64, {.u = value});
}
Ref<Number> Number::create(double value, ObjectArena& arena) { return createIn(arena, Type::Double, {.d = value}); }

Ref<Number> Number::createIn(ObjectArena& arena, Type type, Value value) {
  return Ref<Number>::adopt(new (arena.allocate(sizeof(Number))) Number(type, value));
}

void Number::operator delete(void* memory) noexcept { ObjectArena::deallocate(memory); }

Number* Number::yes() noexcept {
  static Number* const shared = new Number(Type::Bool, {.i = 1});
  return shared;
}
Number* Number::no() noexcept {
  static Number* const shared = new Number(Type::Bool, {.i = 0});
  return shared;
}

std::int64_t Number::int64Value() const noexcept {
  switch (m_type) {
    case Type::Double:
      if (!(std::fabs(m_value.d) < static_cast<double>(kTwoTo63))) return m_value.d < 0 ? INT64_MIN : INT64_MAX;
      return static_cast<std::int64_t>(m_value.d);
    case Type::UInt64:
      return static_cast<std::int64_t>(m_value.u);
    default:
      return m_value.i;
  }
}

std::uint64_t Number::uint64Value() const noexcept {
  if (m_type == Type::Double) {
    if (!(m_value.d >= 0)) return static_cast<std::uint64_t>(int64Value());
    if (!(m_value.d < static_cast<double>(kTwoTo64))) return UINT64_MAX;
    return static_cast<std::uint64_t>(m_value.d);
  }
  return m_value.u;
}

double Number::doubleValue() const noexcept {
  switch (m_type) {
    case Type::Double:
      return m_value.d;
    case Type::UInt64:
      return static_cast<double>(m_value.u);
    default:
      return static_cast<double>(m_value.i);
  }
}

bool Number::boolValue() const noexcept { return m_type == Type::Double ? m_value.d != 0 : m_value.u != 0; }

std::partial_ordering Number::compare(const Number& other) const noexcept {
  const auto asLongDouble = [](const Number& n) -> long double {
    switch (n.m_type) {
      case Type::Double:
        return n.m_value.d;
      case Type::UInt64:
        return static_cast<long double>(n.m_value.u);
      default:
        return static_cast<long double>(n.m_value.i);
    }
  };
  if (m_type == Type::Double || other.m_type == Type::Double) {
    const long double a = asLongDouble(*this), b = asLongDouble(other);
    if (std::isnan(a) && std::isnan(b)) return std::partial_ordering::equivalent;
    return a <=> b;
  }
  // Both integers: a negative signed value is below every unsigned one; all
  // other pairs compare exactly as unsigned 64-bit values.
  const bool thisNegative = m_type != Type::UInt64 && m_value.i < 0;
  const bool otherNegative = other.m_type != Type::UInt64 && other.m_value.i < 0;
  if (thisNegative != otherNegative) return thisNegative ? std::partial_ordering::less : std::partial_ordering::greater;
  if (thisNegative) return m_value.i <=> other.m_value.i;
  return m_value.u <=> other.m_value.u;
}

bool Number::isEqual(const Object& other) const {
  if (this == &other) return true;
  if (other.kind() != ObjectKind::Number) return false;
  return compare(static_cast<const Number&>(other)) == std::partial_ordering::equivalent;
}

std::size_t Number::hash() const {
  // Integral values hash through their 64-bit pattern whatever the kind, so
  // equal values across kinds hash alike; other doubles through their bits.
  switch (m_type) {
    case Type::Double: {
      const double d = m_value.d;
      if (std::isnan(d)) return mixHashBits(0x7FF8000000000000ull);
      if (d == std::trunc(d) && d >= -static_cast<double>(kTwoTo63) && d < static_cast<double>(kTwoTo64)) {
        return mixHashBits(d < 0 ? static_cast<std::uint64_t>(static_cast<std::int64_t>(d))
                                 : static_cast<std::uint64_t>(d));
      }
      return mixHashBits(std::bit_cast<std::uint64_t>(d));
    }
    default:
      return mixHashBits(m_value.u);
  }
}

std::string Number::description() const {
  char text[40];
  switch (m_type) {
    case Type::Double:
      std::snprintf(text, sizeof text, "%.17g", m_value.d);
      break;
    case Type::UInt64:
      std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(m_value.u));
      break;
    default:
      std::snprintf(text, sizeof text, "%lld", static_cast<long long>(m_value.i));
      break;
  }
  return text;
}

}  // namespace fnd
