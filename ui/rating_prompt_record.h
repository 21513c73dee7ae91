#pragma once
// RatingPromptRecord: the rating prompt's counters and choices for the
// current application version, kept in a user-defaults store, and the rule
// that decides whether enough use has passed to ask. Thread-safe as the store
// is; callers serialise counting so that no count is lost.

#include <cstdint>
#include <string>

namespace defaults {
class UserDefaults;
}

namespace ui {

// How much use must pass before the prompt may be shown.
struct RatingThresholds {
  double daysUntilPrompt = 30;
  std::int64_t usesUntilPrompt = 20;
  // -1 lets any count pass.
  std::int64_t significantEventsUntilPrompt = -1;
  double daysBeforeReminding = 1;
  // The thresholds count as met at once, and counting is logged.
  bool debug = false;
};

class RatingPromptRecord {
 public:
  static constexpr const char* kCurrentVersion = "kRatingPromptCurrentVersion";
  static constexpr const char* kFirstUseDate = "kRatingPromptFirstUseDate";
  static constexpr const char* kUseCount = "kRatingPromptUseCount";
  static constexpr const char* kSignificantEventCount = "kRatingPromptSignificantEventCount";
  static constexpr const char* kRatedCurrentVersion = "kRatingPromptRatedCurrentVersion";
  static constexpr const char* kDeclinedToRate = "kRatingPromptDeclinedToRate";
  static constexpr const char* kReminderRequestDate = "kRatingPromptReminderRequestDate";

  enum class Event { Use, SignificantEvent };

  explicit RatingPromptRecord(defaults::UserDefaults& store) : m_store(store) {}

  // Counts `event` for `bundleVersion` at `now` (seconds since 1970); a
  // version other than the stored one starts everything afresh.
  void count(Event event, const std::string& bundleVersion, double now, bool debug);
  bool conditionsMet(const RatingThresholds& thresholds, double now) const;

  void storeDeclined();
  void storeRated();
  void storeReminderRequest(double now);

 private:
  void startVersion(Event event, const std::string& bundleVersion, double now);

  defaults::UserDefaults& m_store;
};

}  // namespace ui
