#include "platform/defaults/user_defaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "platform/foundation/system_log.h"

namespace defaults {

namespace {

QString toQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString standardFilePath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Ringeplagvern";
  return folder + "/defaults.conf";
}

}  // namespace

UserDefaults& UserDefaults::standard() {
  static auto* const store = new UserDefaults(standardFilePath());  // lives for the process
  return *store;
}

UserDefaults::UserDefaults(const QString& filePath) {
  QDir().mkpath(QFileInfo(filePath).absolutePath());
  m_settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
  m_settings->allKeys();  // the file is parsed, and its status known, on first use
  if (m_settings->status() == QSettings::FormatError && QFileInfo(filePath).isFile()) {
    // A damaged store must not stop the application: keep the file aside for
    // whoever wants to look at it and start from the values never written.
    RP_LOG("user defaults damaged, starting empty: " + filePath.toStdString());
    m_settings.reset();
    QFile::remove(filePath + ".damaged");
    QFile::rename(filePath, filePath + ".damaged");
    m_settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
  }
}

UserDefaults::~UserDefaults() = default;

QVariant UserDefaults::value(std::string_view key) const {
  std::lock_guard lock(m_mutex);
  return m_settings->value(toQString(key));
}

void UserDefaults::setValue(std::string_view key, const QVariant& value) {
  std::lock_guard lock(m_mutex);
  m_settings->setValue(toQString(key), value);
}

bool UserDefaults::boolForKey(std::string_view key) const { return value(key).toBool(); }

std::int64_t UserDefaults::integerForKey(std::string_view key) const { return value(key).toLongLong(); }

double UserDefaults::doubleForKey(std::string_view key) const { return value(key).toDouble(); }

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
  const QVariant stored = value(key);
  if (!stored.isValid()) return std::nullopt;
  return stored.toString().toStdString();
}

fnd::Ref<fnd::Date> UserDefaults::dateForKey(std::string_view key) const {
  const QDateTime stored = value(key).toDateTime();
  if (!stored.isValid()) return {};
  return fnd::Date::fromQDateTime(stored);
}

bool UserDefaults::hasValueForKey(std::string_view key) const {
  std::lock_guard lock(m_mutex);
  return m_settings->contains(toQString(key));
}

void UserDefaults::setBool(std::string_view key, bool value) { setValue(key, value); }

void UserDefaults::setInteger(std::string_view key, std::int64_t value) {
  setValue(key, static_cast<qlonglong>(value));
}

void UserDefaults::setDouble(std::string_view key, double value) { setValue(key, value); }

void UserDefaults::setString(std::string_view key, std::string_view value) { setValue(key, toQString(value)); }

void UserDefaults::setDate(std::string_view key, const fnd::Date& value) { setValue(key, value.toQDateTime().toUTC()); }

void UserDefaults::removeObjectForKey(std::string_view key) {
  std::lock_guard lock(m_mutex);
  m_settings->remove(toQString(key));
}

bool UserDefaults::synchronize() {
  std::lock_guard lock(m_mutex);
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

std::string UserDefaults::filePath() const {
  std::lock_guard lock(m_mutex);
  return m_settings->fileName().toStdString();
}

}  // namespace defaults
