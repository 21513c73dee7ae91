#include "platform/uikit/status_bar.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTest>
#include <memory>

#include "platform/net/network_activity_indicator.h"

namespace {

using net::NetworkActivityIndicator;

TEST(StatusBar, TheSpinnerShowsExactlyWhileTheNetworkIsBusy) {
  NetworkActivityIndicator::setVisible(true);
  auto bar = std::make_unique<uikit::StatusBar>();
  EXPECT_TRUE(bar->isActivityIndicatorShown()) << "already busy when the bar was made";
  NetworkActivityIndicator::setVisible(false);
  EXPECT_FALSE(bar->isActivityIndicatorShown());
  NetworkActivityIndicator::setVisible(true);
  EXPECT_TRUE(bar->isActivityIndicatorShown());

  bar.reset();
  NetworkActivityIndicator::setVisible(false);  // no longer heard by the deleted bar
}

TEST(StatusBar, ShowsTheTimeAsHoursAndMinutes) {
  uikit::StatusBar bar;
  EXPECT_EQ(bar.sizeHint().height(), uikit::StatusBar::kHeight);
  EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d$").match(bar.timeText()).hasMatch()) << bar.timeText().toStdString();
}

}  // namespace
