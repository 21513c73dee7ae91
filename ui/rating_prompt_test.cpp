#include "ui/rating_prompt.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "platform/defaults/user_defaults.h"
#include "platform/dispatch/block_thread.h"
#include "platform/foundation/date.h"
#include "platform/foundation/system_log.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"
#include "ui/rating_prompt_record.h"

namespace ui {

// Stands in for the system's handler of one URL scheme.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened.append(url); }
};

namespace {

using namespace std::chrono_literals;
using Record = RatingPromptRecord;

constexpr double kDay = 86400.0;
constexpr double kStart = 1'800'000'000.0;
constexpr const char* kVersion = "2.1";
constexpr const char* kAppId = "123456789";

class RatingPromptTest : public testing::Test {
 protected:
  void SetUp() override {
    // The main queue comes into being on the main thread, as in the
    // application, before the background queue hands anything to it.
    dispatch::asyncMain([] {});
    QCoreApplication::setApplicationName("Ringeplagvern");
    QCoreApplication::setApplicationVersion(kVersion);
    QLocale::setDefault(QLocale(QLocale::NorwegianBokmal, QLocale::Norway));
    fnd::Date::setClockForTesting([this] { return m_now.load(); });
    fnd::setLogSinkForTesting([this](std::string_view line) {
      std::lock_guard lock(m_logMutex);
      m_log.emplace_back(line);
    });
    RatingPrompt::setReachabilityProvider([this]() -> std::optional<net::ReachabilityFlags> {
      ++m_reachabilityQueries;
      if (!m_reachabilityKnown) return std::nullopt;
      return net::ReachabilityFlags{m_reachable, m_connectionRequired};
    });
    ASSERT_TRUE(m_service.listen());
    m_config.appId = kAppId;
    m_config.connectionTestUrl = "http://" + m_service.hostAndPort().toStdString() + "/";
    RatingPrompt::setConfig(m_config);
    RatingPrompt::setDaysUntilPrompt(30);
    RatingPrompt::setUsesUntilPrompt(20);
    RatingPrompt::setSignificantEventsUntilPrompt(-1);
    RatingPrompt::setTimeBeforeReminding(1);
    RatingPrompt::setDebug(false);
    for (const char* key :
         {Record::kCurrentVersion, Record::kFirstUseDate, Record::kUseCount, Record::kSignificantEventCount,
          Record::kRatedCurrentVersion, Record::kDeclinedToRate, Record::kReminderRequestDate})
      store().removeObjectForKey(key);
    m_window.resize(320, 480);
    m_window.show();
  }

  void TearDown() override {
    RatingPrompt::sharedInstance().hideRatingAlert();
    QDesktopServices::unsetUrlHandler("itms-apps");
    QDesktopServices::unsetUrlHandler("https");
    RatingPrompt::setReachabilityProvider({});
    fnd::setLogSinkForTesting({});
    fnd::Date::setClockForTesting({});
  }

  static defaults::UserDefaults& store() { return defaults::UserDefaults::standard(); }

  // The current version, first used `days` ago, with `uses` counted uses.
  void storeUses(double days, std::int64_t uses) {
    store().setString(Record::kCurrentVersion, kVersion);
    store().setDouble(Record::kFirstUseDate, m_now - days * kDay);
    store().setInteger(Record::kUseCount, uses);
  }

  static uikit::AlertView* alert() { return RatingPrompt::sharedInstance().ratingAlert(); }
  static bool alertVisible() { return alert() && alert()->isVisible(); }

  // Makes one call into the prompt and waits until its counting and any
  // network check are over; returns whether the alert is then on screen.
  bool useShowsAlert(const std::function<void()>& call = [] { RatingPrompt::appLaunched(true); }) {
    const int queriesBefore = m_reachabilityQueries;
    call();
    std::atomic<bool> drained{false};
    dispatch::backgroundQueue().async([&drained] { drained = true; });
    EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return drained.load(); }));
    if (m_reachabilityQueries == queriesBefore) return alertVisible();  // no network check: nothing more comes
    const bool connectionTested = m_reachabilityKnown && m_reachable && !m_connectionRequired;
    rp::test::runEventLoopUntil(alertVisible, connectionTested ? 5s : 100ms);
    return alertVisible();
  }

  void press(int index) {
    ASSERT_TRUE(alertVisible());
    QTest::mouseClick(alert()->buttonAtIndex(index), Qt::LeftButton);
    EXPECT_FALSE(alertVisible());
  }

  bool logged(const std::string& text) {
    std::lock_guard lock(m_logMutex);
    return std::any_of(m_log.begin(), m_log.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }

  std::atomic<double> m_now{kStart};
  std::atomic<int> m_reachabilityQueries{0};
  std::atomic<bool> m_reachabilityKnown{true};
  std::atomic<bool> m_reachable{true};
  std::atomic<bool> m_connectionRequired{false};
  std::mutex m_logMutex;
  std::vector<std::string> m_log;  // guarded by m_logMutex
  ListService m_service;
  RatingPromptConfig m_config;
  QWidget m_window;
};

TEST_F(RatingPromptTest, TheFirstLaunchOfAVersionStartsCountingWithoutAsking) {
  EXPECT_FALSE(useShowsAlert());
  EXPECT_EQ(store().stringForKey(Record::kCurrentVersion), kVersion);
  EXPECT_EQ(store().doubleForKey(Record::kFirstUseDate), kStart);
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 1);
  EXPECT_EQ(m_reachabilityQueries, 0) << "no network check before the conditions hold";
}

TEST_F(RatingPromptTest, AfterThirtyOneDaysTheTwentyFirstUseAsksAndTheTwentiethDoesNot) {
  storeUses(31, 19);
  EXPECT_FALSE(useShowsAlert());
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 20);

  ASSERT_TRUE(useShowsAlert());
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 21);
  EXPECT_EQ(m_service.requestCount(), 1) << "the connection test reached its address";
  EXPECT_EQ(alert()->parentWidget(), &m_window);
  EXPECT_EQ(alert()->title(), "Rate Ringeplagvern");
  EXPECT_EQ(alert()->message(),
            "If you enjoy using Ringeplagvern, would you mind taking a moment to rate it? It won't take more than a "
            "minute. Thanks for your support!");
  EXPECT_EQ(alert()->cancelButtonIndex(), 0);
  ASSERT_EQ(alert()->numberOfButtons(), 3);
  EXPECT_EQ(alert()->buttonTitleAtIndex(0), "No, Thanks");
  EXPECT_EQ(alert()->buttonTitleAtIndex(1), "Rate Ringeplagvern");
  EXPECT_EQ(alert()->buttonTitleAtIndex(2), "Remind me later");
}

TEST_F(RatingPromptTest, TooFewDaysOrACallThatMayNotAskOnlyCounts) {
  storeUses(29, 40);
  EXPECT_FALSE(useShowsAlert());
  storeUses(31, 40);
  EXPECT_FALSE(useShowsAlert([] { RatingPrompt::appEnteredForeground(false); }));
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 41);
  EXPECT_EQ(m_reachabilityQueries, 0);
}

TEST_F(RatingPromptTest, RemindMeLaterSilencesItForADay) {
  storeUses(31, 20);
  ASSERT_TRUE(useShowsAlert());
  press(2);
  EXPECT_EQ(store().doubleForKey(Record::kReminderRequestDate), kStart);
  EXPECT_FALSE(store().boolForKey(Record::kDeclinedToRate));

  m_now = kStart + kDay - 1;
  EXPECT_FALSE(useShowsAlert([] { RatingPrompt::appEnteredForeground(true); }));
  m_now = kStart + kDay;
  EXPECT_TRUE(useShowsAlert([] { RatingPrompt::appEnteredForeground(true); }));
}

TEST_F(RatingPromptTest, NoThanksEndsItForTheVersionAndANewVersionStartsAfresh) {
  storeUses(31, 20);
  ASSERT_TRUE(useShowsAlert());
  press(0);
  EXPECT_TRUE(store().boolForKey(Record::kDeclinedToRate));
  m_now = kStart + 100 * kDay;
  EXPECT_FALSE(useShowsAlert());

  QCoreApplication::setApplicationVersion("2.2");
  EXPECT_FALSE(useShowsAlert());
  EXPECT_EQ(store().stringForKey(Record::kCurrentVersion), "2.2");
  EXPECT_EQ(store().doubleForKey(Record::kFirstUseDate), m_now.load());
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 1);
  EXPECT_FALSE(store().boolForKey(Record::kDeclinedToRate));
}

TEST_F(RatingPromptTest, RatingOpensTheStorePageAndEndsItForTheVersion) {
  UrlCatcher store_;
  QDesktopServices::setUrlHandler("itms-apps", &store_, "open");
  storeUses(31, 20);
  ASSERT_TRUE(useShowsAlert());
  press(1);
  ASSERT_EQ(store_.opened.size(), 1);
  EXPECT_EQ(store_.opened.front(), QUrl("itms-apps://apps.apple.com/NO/app/id123456789"));
  EXPECT_TRUE(store().boolForKey(Record::kRatedCurrentVersion));
  EXPECT_FALSE(useShowsAlert());
}

TEST_F(RatingPromptTest, WithoutAHandlerForTheStoreTheWebPageOpensAndWithoutAnIdentifierNothing) {
  UrlCatcher browser;
  QDesktopServices::setUrlHandler("https", &browser, "open");
  RatingPrompt::rateApp();
  ASSERT_EQ(browser.opened.size(), 1);
  EXPECT_EQ(browser.opened.front(), QUrl("https://apps.apple.com/NO/app/id123456789"));

  RatingPromptConfig anonymous = m_config;
  anonymous.appId.clear();
  RatingPrompt::setConfig(anonymous);
  store().removeObjectForKey(Record::kRatedCurrentVersion);
  RatingPrompt::rateApp();
  EXPECT_EQ(browser.opened.size(), 1);
  EXPECT_TRUE(logged("no application identifier is configured"));
  EXPECT_FALSE(store().boolForKey(Record::kRatedCurrentVersion)) << "nothing was rated";
}

TEST_F(RatingPromptTest, WithoutAnIdentifierThereIsNoPromptOnlyCounting) {
  RatingPromptConfig anonymous = m_config;
  anonymous.appId.clear();
  RatingPrompt::setConfig(anonymous);
  storeUses(31, 20);
  EXPECT_FALSE(useShowsAlert());
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 21);
  EXPECT_EQ(m_reachabilityQueries, 0);
  EXPECT_FALSE(store().boolForKey(Record::kRatedCurrentVersion));
}

TEST_F(RatingPromptTest, AReviewPageThatCannotBeOpenedLeavesTheVersionUnrated) {
  // A handler that cannot be called: the system reports the page as not opened.
  UrlCatcher broken;
  QDesktopServices::setUrlHandler("itms-apps", &broken, "noSuchSlot");
  QDesktopServices::setUrlHandler("https", &broken, "noSuchSlot");
  storeUses(31, 20);
  ASSERT_TRUE(useShowsAlert());
  press(1);
  EXPECT_FALSE(store().boolForKey(Record::kRatedCurrentVersion));
  EXPECT_TRUE(logged("Could not open the review page"));
  EXPECT_TRUE(useShowsAlert()) << "the next use asks again";
}

TEST_F(RatingPromptTest, WithoutTheNetworkTheUseCountsButNothingIsShown) {
  storeUses(31, 20);
  m_reachable = false;
  EXPECT_FALSE(useShowsAlert());
  EXPECT_EQ(store().integerForKey(Record::kUseCount), 21);

  m_reachable = true;
  m_connectionRequired = true;
  EXPECT_FALSE(useShowsAlert());

  m_reachabilityKnown = false;
  EXPECT_FALSE(useShowsAlert());
  EXPECT_TRUE(logged("Error. Could not recover network reachability flags"));
  EXPECT_EQ(m_service.requestCount(), 0) << "no connection test without a route";
  EXPECT_EQ(m_reachabilityQueries, 3);
}

TEST_F(RatingPromptTest, TheConnectionTestMustBeAnswered) {
  const auto answer = [] {
    std::optional<bool> connected;
    RatingPrompt::sharedInstance().connectedToNetwork([&connected](bool value) { connected = value; });
    EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return connected.has_value(); }));
    return connected.value_or(false);
  };
  EXPECT_TRUE(answer());

  // A page far larger than the test reads is an answer all the same.
  m_service.setBody(QByteArray(1 << 20, 'x'));
  RatingPromptConfig largePage = m_config;
  largePage.connectionTestUrl = "http://" + m_service.hostAndPort().toStdString() + ListService::kPrimaryPath;
  RatingPrompt::setConfig(largePage);
  EXPECT_TRUE(answer());

  // A port that nothing listens on any more.
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  RatingPromptConfig silent = m_config;
  silent.connectionTestUrl = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/";
  closed.close();
  RatingPrompt::setConfig(silent);
  EXPECT_FALSE(answer());
}

TEST_F(RatingPromptTest, LeavingTheForegroundDismissesTheAlertWithoutAChoice) {
  storeUses(31, 20);
  ASSERT_TRUE(useShowsAlert());
  fnd::NotificationCenter::defaultCenter().post(kApplicationWillResignActiveNotification);
  EXPECT_FALSE(alertVisible());
  EXPECT_FALSE(store().boolForKey(Record::kDeclinedToRate));
  EXPECT_FALSE(store().boolForKey(Record::kRatedCurrentVersion));
  EXPECT_EQ(store().doubleForKey(Record::kReminderRequestDate), 0.0);

  EXPECT_TRUE(useShowsAlert([] { RatingPrompt::appEnteredForeground(true); })) << "the next use may ask again";
}

TEST_F(RatingPromptTest, LaunchAndAQuickReturnShowOneAlert) {
  storeUses(31, 20);
  ASSERT_TRUE(useShowsAlert([] {
    RatingPrompt::appLaunched(true);
    RatingPrompt::appEnteredForeground(true);
  }));
  ASSERT_TRUE(rp::test::runEventLoopUntil([this] { return m_service.requestCount() == 2; }));
  rp::test::runEventLoopFor(100ms);
  EXPECT_EQ(m_window.findChildren<uikit::AlertView*>().size(), 1);
}

TEST_F(RatingPromptTest, DebugAsksAtOnceAndLogsWhatItDoes) {
  RatingPrompt::setDebug(true);
  EXPECT_TRUE(useShowsAlert());
  EXPECT_TRUE(logged("RATINGPROMPT Tracking version: 2.1"));
  EXPECT_TRUE(logged("RATINGPROMPT Use count: 1"));
  RatingPrompt::appWillResignActive();
  EXPECT_FALSE(alertVisible());
  EXPECT_TRUE(logged("RATINGPROMPT appWillResignActive"));
  EXPECT_TRUE(logged("RATINGPROMPT Hiding Alert"));

  EXPECT_TRUE(useShowsAlert([] { RatingPrompt::userDidSignificantEvent(true); }));
  EXPECT_TRUE(logged("RATINGPROMPT Significant event count: 1"));
}

}  // namespace

}  // namespace ui

#include "rating_prompt_test.moc"
