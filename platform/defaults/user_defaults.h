#pragma once
// UserDefaults: the application's small typed settings store (booleans,
// integers, doubles, strings, dates) in one file per application. A value that
// was never written reads as NO, 0 or absent; a damaged or unreadable file
// reads as empty. Thread-safe.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/date.h"

class QSettings;
class QString;
class QVariant;

namespace defaults {

class UserDefaults {
 public:
  // The application's store: Ringeplagvern/defaults.conf under the user's
  // configuration location.
  static UserDefaults& standard();

  explicit UserDefaults(const QString& filePath);
  ~UserDefaults();
  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  bool boolForKey(std::string_view key) const;
  std::int64_t integerForKey(std::string_view key) const;
  double doubleForKey(std::string_view key) const;
  std::optional<std::string> stringForKey(std::string_view key) const;
  fnd::Ref<fnd::Date> dateForKey(std::string_view key) const;
  bool hasValueForKey(std::string_view key) const;

  void setBool(std::string_view key, bool value);
  void setInteger(std::string_view key, std::int64_t value);
  void setDouble(std::string_view key, double value);
  void setString(std::string_view key, std::string_view value);
  void setDate(std::string_view key, const fnd::Date& value);
  void removeObjectForKey(std::string_view key);

  // Writes the store to disk (atomically: a reader sees the old or the new
  // file, never half of one); returns whether it was written.
  bool synchronize();
  std::string filePath() const;

 private:
  QVariant value(std::string_view key) const;
  void setValue(std::string_view key, const QVariant& value);

  mutable std::mutex m_mutex;
  std::unique_ptr<QSettings> m_settings;  // guarded by m_mutex
};

}  // namespace defaults
