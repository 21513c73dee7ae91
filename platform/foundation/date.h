#pragma once
// Date: an immutable point in time, seconds since 1970-01-01 00:00:00 UTC.
// `now()` reads a clock that tests can replace.

#include <functional>

#include "platform/foundation/object.h"

class QDateTime;

namespace fnd {

class Date final : public Object {
 public:
  static Ref<Date> create(double secondsSince1970) { return Ref<Date>::adopt(new Date(secondsSince1970)); }
  static Ref<Date> fromQDateTime(const QDateTime& time);
  static Ref<Date> now();
  // Replaces the clock behind now(); an empty function restores the system clock.
  static void setClockForTesting(std::function<double()> secondsSince1970);

  double timeIntervalSince1970() const noexcept { return m_seconds; }
  double timeIntervalSinceDate(const Date& other) const noexcept { return m_seconds - other.m_seconds; }
  Ref<Date> addingTimeInterval(double seconds) const { return create(m_seconds + seconds); }
  QDateTime toQDateTime() const;

  const char* className() const override { return "NSDate"; }
  bool isEqual(const Object& other) const override;
  std::size_t hash() const override { return std::hash<double>{}(m_seconds); }
  std::string description() const override;

 private:
  explicit Date(double seconds) noexcept : Object(ObjectKind::Date), m_seconds(seconds) {}
  double m_seconds;
};

}  // namespace fnd
