#include "ui/rating_prompt_config.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <cstdlib>

#include "platform/defaults/user_defaults.h"

namespace ui {

namespace {

RatingPromptConfig withPlatformVersion(const char* version) {
  RatingPromptConfig config;
  config.appId = "42";
  config.storeHost = "store.example";
  config.reviewHost = "reviews.example";
  config.platformVersion = version;
  return config;
}

TEST(RatingPromptConfig, ThePlatformVersionPicksTheReviewAddressByItsLeadingNumber) {
  const std::string storePage = "itms-apps://store.example/NO/app/id42";
  const std::string reviewPage =
      "itms-apps://reviews.example/WebObjects/MZStore.woa/wa/viewContentsUserReviews?type=Purple+Software&id=42";
  EXPECT_EQ(withPlatformVersion("6.0").reviewAddress("NO"), storePage);
  EXPECT_EQ(withPlatformVersion("10.3.1").reviewAddress("NO"), storePage) << "read as 10.3, not as text";
  EXPECT_EQ(withPlatformVersion("5.1.1").reviewAddress("NO"), reviewPage);
  EXPECT_EQ(withPlatformVersion("").reviewAddress("NO"), reviewPage);
  EXPECT_EQ(withPlatformVersion("beta").reviewAddress("NO"), reviewPage);
}

TEST(RatingPromptConfig, TheFileOverridesTheDefaultsAndTheEnvironmentTheFile) {
  EXPECT_EQ(RatingPromptConfig::load().appId, "") << "no identifier is built in";
  EXPECT_EQ(RatingPromptConfig::load().connectionTestUrl, RatingPromptConfig::kDefaultConnectionTestUrl);

  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Ringeplagvern";
  ASSERT_TRUE(QDir().mkpath(folder));
  defaults::UserDefaults file(folder + "/ratingprompt.conf");
  file.setString("appId", "777");
  file.setString("storeHost", "file.example");
  file.setString("platformVersion", "5.0");
  ASSERT_TRUE(file.synchronize());
  ::setenv("RINGEPLAGVERN_STORE_HOST", "env.example", 1);
  ::setenv("RINGEPLAGVERN_CONNECTION_TEST_URL", "http://127.0.0.1:9/", 1);

  const RatingPromptConfig config = RatingPromptConfig::load();
  ::unsetenv("RINGEPLAGVERN_STORE_HOST");
  ::unsetenv("RINGEPLAGVERN_CONNECTION_TEST_URL");
  EXPECT_EQ(config.appId, "777");
  EXPECT_EQ(config.storeHost, "env.example");
  EXPECT_EQ(config.reviewHost, RatingPromptConfig::kDefaultReviewHost);
  EXPECT_EQ(config.platformVersion, "5.0");
  EXPECT_EQ(config.connectionTestUrl, "http://127.0.0.1:9/");
}

}  // namespace

}  // namespace ui
