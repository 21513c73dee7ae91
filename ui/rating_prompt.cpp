#include "ui/rating_prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QUrl>
#include <chrono>
#include <mutex>

#include "platform/defaults/user_defaults.h"
#include "platform/dispatch/block_thread.h"
#include "platform/foundation/date.h"
#include "platform/foundation/localization.h"
#include "platform/foundation/system_log.h"
#include "platform/net/url_error.h"
#include "platform/net/url_loader.h"
#include "ui/rating_prompt_record.h"

namespace ui {

namespace {

constexpr const char* kStringTable = "RatingPromptLocalizable";
constexpr const char* kRateText = "Rate %@";
constexpr const char* kMessageText =
    "If you enjoy using %@, would you mind taking a moment to rate it? It won't take more than a minute. Thanks "
    "for your support!";
constexpr const char* kNoThanksText = "No, Thanks";
constexpr const char* kRemindLaterText = "Remind me later";
constexpr std::chrono::seconds kConnectionTestTimeout{20};
// The test needs an answer, not the page: a large page is cut off here.
constexpr std::uint64_t kConnectionTestBodyBytes = 16 * 1024;
constexpr int kNoThanksButton = 0;
constexpr int kRateButton = 1;
constexpr int kRemindLaterButton = 2;

struct Settings {
  RatingThresholds thresholds;
  RatingPromptConfig config;
  RatingPrompt::ReachabilityProvider reachability;
};

// Counting may still run on the background queue while the process ends, so
// the settings live for the whole process rather than until static destruction.
struct GuardedSettings {
  std::mutex mutex;
  Settings settings{{}, RatingPromptConfig::load(), {}};  // guarded by mutex
};

GuardedSettings& guardedSettings() {
  static auto* const instance = new GuardedSettings;
  return *instance;
}

Settings currentSettings() {
  GuardedSettings& guarded = guardedSettings();
  std::lock_guard lock(guarded.mutex);
  return guarded.settings;
}

template <typename Change>
void changeSettings(Change change) {
  GuardedSettings& guarded = guardedSettings();
  std::lock_guard lock(guarded.mutex);
  change(guarded.settings);
}

void debugLog(const std::string& line) {
  if (currentSettings().thresholds.debug) RP_LOG(line);
}

double now() { return fnd::Date::now()->timeIntervalSince1970(); }

RatingPromptRecord standardRecord() { return RatingPromptRecord(defaults::UserDefaults::standard()); }

// The alert's text in the user's language, with the application's name for %@.
QString alertText(const char* englishText) {
  return QString::fromStdString(fnd::localizedString(englishText, kStringTable))
      .replace(QLatin1String("%@"), QCoreApplication::applicationName());
}

bool openReviewPage(const QUrl& address) {
  if (QDesktopServices::openUrl(address)) return true;
  // Where nothing handles the store's own scheme, the same page is on the web.
  QUrl webAddress(address);
  webAddress.setScheme(QStringLiteral("https"));
  if (QDesktopServices::openUrl(webAddress)) return true;
  RP_LOG("Could not open the review page " + address.toString().toStdString());
  return false;
}

}  // namespace

void RatingPrompt::setAppId(const std::string& appId) {
  changeSettings([&](Settings& settings) { settings.config.appId = appId; });
}
void RatingPrompt::setDaysUntilPrompt(double days) {
  changeSettings([&](Settings& settings) { settings.thresholds.daysUntilPrompt = days; });
}
void RatingPrompt::setUsesUntilPrompt(std::int64_t uses) {
  changeSettings([&](Settings& settings) { settings.thresholds.usesUntilPrompt = uses; });
}
void RatingPrompt::setSignificantEventsUntilPrompt(std::int64_t events) {
  changeSettings([&](Settings& settings) { settings.thresholds.significantEventsUntilPrompt = events; });
}
void RatingPrompt::setTimeBeforeReminding(double days) {
  changeSettings([&](Settings& settings) { settings.thresholds.daysBeforeReminding = days; });
}
void RatingPrompt::setDebug(bool debug) {
  changeSettings([&](Settings& settings) { settings.thresholds.debug = debug; });
}
void RatingPrompt::setConfig(const RatingPromptConfig& config) {
  changeSettings([&](Settings& settings) { settings.config = config; });
}
void RatingPrompt::setReachabilityProvider(ReachabilityProvider provider) {
  changeSettings([&](Settings& settings) { settings.reachability = std::move(provider); });
}

void RatingPrompt::appLaunched(bool canPromptForRating) {
  dispatch::backgroundQueue().async([canPromptForRating] { sharedInstance().incrementAndRate(canPromptForRating); });
}

void RatingPrompt::appEnteredForeground(bool canPromptForRating) { appLaunched(canPromptForRating); }

void RatingPrompt::userDidSignificantEvent(bool canPromptForRating) {
  dispatch::backgroundQueue().async(
      [canPromptForRating] { sharedInstance().incrementSignificantEventAndRate(canPromptForRating); });
}

RatingPrompt& RatingPrompt::sharedInstance() {
  static auto* const instance = new RatingPrompt;  // lives for the process; created once on any thread
  return *instance;
}

RatingPrompt::RatingPrompt() {
  auto& center = fnd::NotificationCenter::defaultCenter();
  m_resignActiveObserver = fnd::ScopedObserver(
      center, center.addObserver(kApplicationWillResignActiveNotification, nullptr, [](const fnd::Notification&) {
        if (dispatch::isMainThread()) {
          appWillResignActive();
        } else {
          dispatch::asyncMain(appWillResignActive);
        }
      }));
}

void RatingPrompt::appWillResignActive() {
  debugLog("RATINGPROMPT appWillResignActive");
  sharedInstance().hideRatingAlert();
}

void RatingPrompt::rateApp() {
  const RatingPromptConfig config = currentSettings().config;
  const std::string countryCode = QLocale::territoryToCode(QLocale().territory()).toStdString();
  const QUrl address(QString::fromStdString(config.reviewAddress(countryCode)));
  // Rated only once the page is open: otherwise the user has rated nothing
  // and is asked again later.
  if (config.appId.empty()) {
    RP_LOG("The review page cannot be opened: no application identifier is configured");
    return;
  }
  if (openReviewPage(address)) standardRecord().storeRated();
}

void RatingPrompt::incrementUseCount() {
  standardRecord().count(RatingPromptRecord::Event::Use, QCoreApplication::applicationVersion().toStdString(), now(),
                         currentSettings().thresholds.debug);
}

void RatingPrompt::incrementSignificantEventCount() {
  standardRecord().count(RatingPromptRecord::Event::SignificantEvent,
                         QCoreApplication::applicationVersion().toStdString(), now(),
                         currentSettings().thresholds.debug);
}

void RatingPrompt::incrementAndRate(bool canPromptForRating) {
  incrementUseCount();
  promptIfDue(canPromptForRating);
}

void RatingPrompt::incrementSignificantEventAndRate(bool canPromptForRating) {
  incrementSignificantEventCount();
  promptIfDue(canPromptForRating);
}

void RatingPrompt::promptIfDue(bool canPromptForRating) {
  // Without the store's identifier of the application there is nothing to rate.
  if (currentSettings().config.appId.empty()) return;
  if (!canPromptForRating || !ratingConditionsHaveBeenMet()) return;
  connectedToNetwork([this](bool connected) {
    // A choice made while the network was being tried settles the matter.
    if (connected && ratingConditionsHaveBeenMet()) showRatingAlert();
  });
}

bool RatingPrompt::ratingConditionsHaveBeenMet() const {
  return standardRecord().conditionsMet(currentSettings().thresholds, now());
}

void RatingPrompt::connectedToNetwork(std::function<void(bool connected)> answer) {
  const Settings settings = currentSettings();
  const std::optional<net::ReachabilityFlags> flags =
      settings.reachability ? settings.reachability() : net::Reachability::flagsForZeroAddress();
  if (!flags) RP_LOG("Error. Could not recover network reachability flags");
  if (!flags || !flags->reachable || flags->connectionRequired) {
    dispatch::asyncMain([answer = std::move(answer)] { answer(false); });
    return;
  }
  // Reachability only says a route exists; an answer from the test address
  // (of any status) says the network actually carries traffic.
  net::UrlRequest request;
  request.url = settings.config.connectionTestUrl;
  request.timeout = kConnectionTestTimeout;
  request.maximumBodyBytes = kConnectionTestBodyBytes;
  net::sendAsynchronousRequest(
      std::move(request),
      [answer = std::move(answer)](const std::optional<net::UrlResponse>& response, const fnd::Ref<fnd::Data>&,
                                   const std::optional<fnd::Error>& error) {
        // A page cut short for its size has still come over the network.
        answer(response || error->code() == net::DataLengthExceedsMaximum);
      });
}

void RatingPrompt::showRatingAlert() {
  // Launch and a quick return to the foreground may both find the prompt due.
  if (m_ratingAlert && m_ratingAlert->isVisible()) return;
  m_ratingAlert = new uikit::AlertView(alertText(kRateText), alertText(kMessageText), this, alertText(kNoThanksText),
                                       {alertText(kRateText), alertText(kRemindLaterText)});
  m_ratingAlert->show();
}

void RatingPrompt::hideRatingAlert() {
  if (!m_ratingAlert || !m_ratingAlert->isVisible()) return;
  debugLog("RATINGPROMPT Hiding Alert");
  m_ratingAlert->dismissWithClickedButtonIndex(-1);
}

void RatingPrompt::clickedButtonAtIndex(uikit::ButtonDialog&, int index) {
  switch (index) {
    case kNoThanksButton:
      standardRecord().storeDeclined();
      break;
    case kRateButton:
      rateApp();
      break;
    case kRemindLaterButton:
      standardRecord().storeReminderRequest(now());
      break;
    default:  // dismissed by the program: no choice was made
      break;
  }
}

}  // namespace ui
