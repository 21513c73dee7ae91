#pragma once
// RatingPrompt: counts the uses of each application version and, once there
// has been enough use and the network answers, asks the user once to rate the
// application in the store. Class operations may be called from any thread;
// counting runs on the background queue, the alert lives on the main thread.

#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/notification_center.h"
#include "platform/net/reachability.h"
#include "platform/uikit/alert_view.h"
#include "ui/rating_prompt_config.h"

namespace ui {

// Posted on the main thread when the application is about to leave the foreground.
inline constexpr const char* kApplicationWillResignActiveNotification = "UIApplicationWillResignActiveNotification";

class RatingPrompt final : private uikit::ButtonDialogDelegate {
 public:
  using ReachabilityProvider = std::function<std::optional<net::ReachabilityFlags>()>;

  static void setAppId(const std::string& appId);
  static void setDaysUntilPrompt(double days);
  static void setUsesUntilPrompt(std::int64_t uses);
  static void setSignificantEventsUntilPrompt(std::int64_t events);
  static void setTimeBeforeReminding(double days);
  static void setDebug(bool debug);
  // Replaces the configuration read at first use (the application identifier with it).
  static void setConfig(const RatingPromptConfig& config);
  // Where the network check's reachability comes from; an empty function
  // restores the system's answer.
  static void setReachabilityProvider(ReachabilityProvider provider);

  static void appLaunched(bool canPromptForRating = true);
  static void appEnteredForeground(bool canPromptForRating);
  static void userDidSignificantEvent(bool canPromptForRating);
  static RatingPrompt& sharedInstance();
  // Main thread.
  static void appWillResignActive();
  static void rateApp();

  void incrementUseCount();
  void incrementSignificantEventCount();
  void incrementAndRate(bool canPromptForRating);
  void incrementSignificantEventAndRate(bool canPromptForRating);
  bool ratingConditionsHaveBeenMet() const;
  // Answers on the main thread: whether the network is reachable and the
  // connection-test address answered.
  void connectedToNetwork(std::function<void(bool connected)> answer);

  // Main thread.
  void showRatingAlert();
  void hideRatingAlert();
  uikit::AlertView* ratingAlert() const { return m_ratingAlert; }

 private:
  RatingPrompt();
  // Shows the alert when the counted use allows it and the network answers.
  void promptIfDue(bool canPromptForRating);
  void clickedButtonAtIndex(uikit::ButtonDialog& dialog, int index) override;

  fnd::ScopedObserver m_resignActiveObserver;
  QPointer<uikit::AlertView> m_ratingAlert;  // main thread only
};

}  // namespace ui
