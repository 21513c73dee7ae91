#pragma once
// Where the rating prompt sends the user and how it tests the connection. The
// values come from, in rising precedence: the built-in defaults, the file
// Ringeplagvern/ratingprompt.conf under the user's configuration location
// (keys "appId", "storeHost", "reviewHost", "platformVersion",
// "connectionTestUrl") and the environment variables RINGEPLAGVERN_RATING_APP_ID,
// RINGEPLAGVERN_STORE_HOST, RINGEPLAGVERN_REVIEW_HOST,
// RINGEPLAGVERN_PLATFORM_VERSION and RINGEPLAGVERN_CONNECTION_TEST_URL.
// A plain value; copies may be used on any thread.

#include <string>

namespace ui {

struct RatingPromptConfig {
  static constexpr const char* kDefaultStoreHost = "apps.apple.com";
  static constexpr const char* kDefaultReviewHost = "itunes.apple.com";
  // From this platform version on, the store's own page takes reviews.
  static constexpr const char* kDefaultPlatformVersion = "6.0";
  static constexpr const char* kDefaultConnectionTestUrl = "http://www.apple.com/";

  // The store's identifier of the application; none is built in.
  std::string appId;
  std::string storeHost = kDefaultStoreHost;
  std::string reviewHost = kDefaultReviewHost;
  std::string platformVersion = kDefaultPlatformVersion;
  std::string connectionTestUrl = kDefaultConnectionTestUrl;

  static RatingPromptConfig load();

  // The review page of `appId` in the store for the platform version, with
  // `countryCode` (e.g. "NO") as the store's language where the address takes one.
  std::string reviewAddress(const std::string& countryCode) const;
};

}  // namespace ui
