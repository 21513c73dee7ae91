#include "ui/rating_prompt_config.h"

#include <QStandardPaths>
#include <charconv>
#include <optional>

#include "platform/defaults/user_defaults.h"

namespace ui {

namespace {

constexpr const char* kConfigFile = "/Ringeplagvern/ratingprompt.conf";
constexpr double kFirstVersionWithStorePage = 6.0;
constexpr const char* kStorePageTemplate = "itms-apps://%1/LANGUAGE/app/idAPP_ID";
constexpr const char* kReviewPageTemplate =
    "itms-apps://%1/WebObjects/MZStore.woa/wa/viewContentsUserReviews?type=Purple+Software&id=APP_ID";

void override(std::string& value, const std::optional<std::string>& replacement) {
  if (replacement && !replacement->empty()) value = *replacement;
}

std::optional<std::string> environmentValue(const char* name) {
  if (qEnvironmentVariableIsEmpty(name)) return std::nullopt;
  return qEnvironmentVariable(name).toStdString();
}

// Reads the leading number of a version text the way a float is read from a
// string: "10.3.1" is 10.3, and text without a leading number is 0.
double leadingNumber(const std::string& text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

RatingPromptConfig RatingPromptConfig::load() {
  RatingPromptConfig config;
  const defaults::UserDefaults file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                    kConfigFile);
  const std::pair<std::string*, const char*> keys[] = {{&config.appId, "appId"},
                                                       {&config.storeHost, "storeHost"},
                                                       {&config.reviewHost, "reviewHost"},
                                                       {&config.platformVersion, "platformVersion"},
                                                       {&config.connectionTestUrl, "connectionTestUrl"}};
  for (const auto& [value, key] : keys) override(*value, file.stringForKey(key));
  const std::pair<std::string*, const char*> variables[] = {
      {&config.appId, "RINGEPLAGVERN_RATING_APP_ID"},
      {&config.storeHost, "RINGEPLAGVERN_STORE_HOST"},
      {&config.reviewHost, "RINGEPLAGVERN_REVIEW_HOST"},
      {&config.platformVersion, "RINGEPLAGVERN_PLATFORM_VERSION"},
      {&config.connectionTestUrl, "RINGEPLAGVERN_CONNECTION_TEST_URL"}};
  for (const auto& [value, variable] : variables) override(*value, environmentValue(variable));
  return config;
}

std::string RatingPromptConfig::reviewAddress(const std::string& countryCode) const {
  const bool storePage = leadingNumber(platformVersion) >= kFirstVersionWithStorePage;
  QString address = QString::fromLatin1(storePage ? kStorePageTemplate : kReviewPageTemplate)
                        .arg(QString::fromStdString(storePage ? storeHost : reviewHost));
  address.replace(QLatin1String("APP_ID"), QString::fromStdString(appId));
  if (storePage) address.replace(QLatin1String("LANGUAGE"), QString::fromStdString(countryCode));
  return address.toStdString();
}

}  // namespace ui
