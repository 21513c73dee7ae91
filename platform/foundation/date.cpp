#include "platform/foundation/date.h"

#include <QDateTime>
#include <chrono>
#include <mutex>

namespace fnd {

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

std::mutex clockMutex;
std::function<double()> testClock;  // guarded by clockMutex

}  // namespace

Ref<Date> Date::fromQDateTime(const QDateTime& time) {
  return create(static_cast<double>(time.toMSecsSinceEpoch()) / kMillisecondsPerSecond);
}

Ref<Date> Date::now() {
  {
    std::lock_guard lock(clockMutex);
    if (testClock) return create(testClock());
  }
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return create(std::chrono::duration<double>(sinceEpoch).count());
}

void Date::setClockForTesting(std::function<double()> secondsSince1970) {
  std::lock_guard lock(clockMutex);
  testClock = std::move(secondsSince1970);
}

QDateTime Date::toQDateTime() const {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(m_seconds * kMillisecondsPerSecond));
}

bool Date::isEqual(const Object& other) const {
  return other.kind() == ObjectKind::Date && static_cast<const Date&>(other).m_seconds == m_seconds;
}

std::string Date::description() const {
  return toQDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000")).toStdString();
}

}  // namespace fnd
