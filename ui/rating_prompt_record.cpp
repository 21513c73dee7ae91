#include "ui/rating_prompt_record.h"

#include "platform/defaults/user_defaults.h"
#include "platform/foundation/system_log.h"

namespace ui {

namespace {

constexpr double kSecondsPerDay = 86400.0;

}  // namespace

void RatingPromptRecord::count(Event event, const std::string& bundleVersion, double now, bool debug) {
  std::string trackingVersion = m_store.stringForKey(kCurrentVersion).value_or(std::string());
  if (trackingVersion.empty()) {
    trackingVersion = bundleVersion;
    m_store.setString(kCurrentVersion, trackingVersion);
  }
  if (debug) RP_LOG("RATINGPROMPT Tracking version: " + trackingVersion);

  if (trackingVersion == bundleVersion) {
    if (m_store.doubleForKey(kFirstUseDate) == 0) m_store.setDouble(kFirstUseDate, now);
    const bool use = event == Event::Use;
    const char* key = use ? kUseCount : kSignificantEventCount;
    const std::int64_t count = m_store.integerForKey(key) + 1;
    m_store.setInteger(key, count);
    if (debug) {
      RP_LOG((use ? "RATINGPROMPT Use count: " : "RATINGPROMPT Significant event count: ") + std::to_string(count));
    }
  } else {
    startVersion(event, bundleVersion, now);
  }
  m_store.synchronize();
}

void RatingPromptRecord::startVersion(Event event, const std::string& bundleVersion, double now) {
  const bool use = event == Event::Use;
  m_store.setString(kCurrentVersion, bundleVersion);
  // A version first seen through a significant event has had no use yet, so
  // its first use is still to come.
  m_store.setDouble(kFirstUseDate, use ? now : 0.0);
  m_store.setInteger(kUseCount, use ? 1 : 0);
  m_store.setInteger(kSignificantEventCount, use ? 0 : 1);
  m_store.setBool(kRatedCurrentVersion, false);
  m_store.setBool(kDeclinedToRate, false);
  m_store.setDouble(kReminderRequestDate, 0.0);
}

bool RatingPromptRecord::conditionsMet(const RatingThresholds& thresholds, double now) const {
  if (thresholds.debug) return true;
  if (now - m_store.doubleForKey(kFirstUseDate) < thresholds.daysUntilPrompt * kSecondsPerDay) return false;
  if (m_store.integerForKey(kUseCount) <= thresholds.usesUntilPrompt) return false;
  if (m_store.integerForKey(kSignificantEventCount) <= thresholds.significantEventsUntilPrompt) return false;
  if (m_store.boolForKey(kDeclinedToRate) || m_store.boolForKey(kRatedCurrentVersion)) return false;
  // A reminder date of 0 lies decades back, so it always passes.
  return now - m_store.doubleForKey(kReminderRequestDate) >= thresholds.daysBeforeReminding * kSecondsPerDay;
}

void RatingPromptRecord::storeDeclined() {
  m_store.setBool(kDeclinedToRate, true);
  m_store.synchronize();
}

void RatingPromptRecord::storeRated() {
  m_store.setBool(kRatedCurrentVersion, true);
  m_store.synchronize();
}

void RatingPromptRecord::storeReminderRequest(double now) {
  m_store.setDouble(kReminderRequestDate, now);
  m_store.synchronize();
}

}  // namespace ui
