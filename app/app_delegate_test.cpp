// covers: app_delegate.cpp, application_lifecycle.cpp
#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <QApplicationStateChangeEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <array>

#include "app/application_lifecycle.h"
#include "app/constants.h"
#include "app/root_view_controller.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "platform/dispatch/termination_signals.h"
#include "platform/foundation/notification_center.h"
#include "platform/uikit/navigation_bar.h"
#include "platform/uikit/status_bar.h"
#include "store/record_store.h"
#include "tests/support/event_loop.h"
#include "ui/rating_prompt.h"
#include "ui/rating_prompt_record.h"

namespace app {

namespace {

QByteArray storedDefaults() {
  QFile file(QString::fromStdString(defaults::UserDefaults::standard().filePath()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rating prompt's count of uses since this object was made: the tests of
// one process share the settings.
class UseCount {
 public:
  UseCount() : m_before(current()) {}
  // Whether `uses` have been counted by the time the event loop has run a while.
  bool becomes(std::int64_t uses) const {
    return rp::test::runEventLoopUntil([&] { return current() - m_before == uses; });
  }

 private:
  static std::int64_t current() {
    return defaults::UserDefaults::standard().integerForKey(ui::RatingPromptRecord::kUseCount);
  }
  std::int64_t m_before;
};

TEST(AppDelegate, LaunchShowsThePhoneSizedWindowWithTheMainScreen) {
  RingeplagvernAppDelegate delegate;
  EXPECT_TRUE(delegate.didFinishLaunchingWithOptions());
  ASSERT_NE(delegate.window(), nullptr);
  EXPECT_TRUE(delegate.window()->isVisible());
  EXPECT_EQ(delegate.window()->size(), QSize(320, 480));
  EXPECT_EQ(delegate.rootViewController()->window(), delegate.window());
  EXPECT_EQ(delegate.rootViewController()->navigationBarTitle().title(), "Ringeplagvern");
  const auto* statusBar = delegate.window()->findChild<uikit::StatusBar*>("statusBar");
  ASSERT_NE(statusBar, nullptr);
  EXPECT_EQ(statusBar->geometry().top(), 0);
  EXPECT_EQ(delegate.rootViewController()->geometry(),
            QRect(0, uikit::StatusBar::kHeight, 320, 480 - uikit::StatusBar::kHeight));
  delegate.applicationWillTerminate();
}

TEST(AppDelegate, LaunchOpensTheRecordStoreAndTerminationClosesItWithTheRecordsKept) {
  {
    RingeplagvernAppDelegate delegate;
    delegate.didFinishLaunchingWithOptions();
    ASSERT_NE(store::StoreContext::defaultContext(), nullptr);
    fnd::Ref<numberlist::Contact> record = numberlist::Contact::createEntity();
    record->setPhoneNumber(fnd::str("22334455").get());
    store::StoreSaving::save(store::StoreContext::defaultContext());
    delegate.applicationWillTerminate();
    EXPECT_EQ(store::StoreContext::defaultContext(), nullptr);
  }
  RingeplagvernAppDelegate relaunched;
  relaunched.didFinishLaunchingWithOptions();
  EXPECT_EQ(numberlist::Contact::countOfEntities(), 1u);
  relaunched.applicationWillTerminate();
}

TEST(AppDelegate, TerminationWritesRecordsTheDefaultContextHasNotSavedYet) {
  {
    RingeplagvernAppDelegate delegate;
    delegate.didFinishLaunchingWithOptions();
    fnd::Ref<numberlist::Contact> record = numberlist::Contact::createEntity();
    record->setPhoneNumber(fnd::str("99001122").get());
    delegate.applicationWillTerminate();
  }
  RingeplagvernAppDelegate relaunched;
  relaunched.didFinishLaunchingWithOptions();
  EXPECT_EQ(numberlist::Contact::countOfEntitiesWithPredicate(
                objectstore::Predicate::withFormat("phoneNumber == '99001122'")),
            1u);
  relaunched.applicationWillTerminate();
}

TEST(AppDelegate, FreshInstallationReadsTheNeverWrittenSettings) {
  const auto& store = defaults::UserDefaults::standard();
  EXPECT_FALSE(store.boolForKey(AutoImportEnabledKey));
  EXPECT_FALSE(store.boolForKey(ImportApprovedKey));
  EXPECT_EQ(store.integerForKey(ImportNumberKey), 0);
  EXPECT_EQ(store.dateForKey(DateUpdatedDefaultKey), nullptr);
}

TEST(AppDelegate, ResignActiveAndTerminateWriteTheDefaultsToDisk) {
  RingeplagvernAppDelegate delegate;
  auto& store = defaults::UserDefaults::standard();
  store.setBool(AutoImportEnabledKey, true);
  EXPECT_FALSE(storedDefaults().contains("AutoImportEnabledKey"));
  delegate.applicationWillResignActive();
  EXPECT_TRUE(storedDefaults().contains("AutoImportEnabledKey=true"));

  store.setInteger(ImportNumberKey, 300);
  delegate.applicationWillTerminate();
  EXPECT_TRUE(storedDefaults().contains("ImportNumberKey=300"));
}

TEST(AppDelegate, LaunchAndEveryReturnToTheForegroundCountAUseOfTheVersion) {
  RingeplagvernAppDelegate delegate;
  const UseCount uses;
  delegate.didFinishLaunchingWithOptions();
  EXPECT_TRUE(uses.becomes(1));
  delegate.applicationWillEnterForeground();
  EXPECT_TRUE(uses.becomes(2));
}

TEST(AppDelegate, ResignActiveTakesTheRatingAlertAwayWithoutAChoice) {
  RingeplagvernAppDelegate delegate;
  delegate.didFinishLaunchingWithOptions();
  ui::RatingPrompt::sharedInstance().showRatingAlert();
  const QPointer<uikit::AlertView> alert = ui::RatingPrompt::sharedInstance().ratingAlert();
  ASSERT_TRUE(alert && alert->isVisible());
  EXPECT_EQ(alert->window(), delegate.window());
  delegate.applicationWillResignActive();
  EXPECT_FALSE(alert && alert->isVisible());
  EXPECT_FALSE(defaults::UserDefaults::standard().boolForKey(ui::RatingPromptRecord::kDeclinedToRate));
}

// Counts the notifications of leaving and coming back to the foreground.
class ForegroundNotifications {
 public:
  ForegroundNotifications() {
    observe(ui::kApplicationWillResignActiveNotification, m_counts[0]);
    observe(std::string(kApplicationWillEnterForegroundNotification), m_counts[1]);
    observe(std::string(kApplicationDidBecomeActiveNotification), m_counts[2]);
  }
  // Resigned, entered the foreground, became active.
  std::array<int, 3> counts() const { return m_counts; }

 private:
  void observe(const std::string& name, int& count) {
    auto& center = fnd::NotificationCenter::defaultCenter();
    m_observers.emplace_back(center,
                             center.addObserver(name, nullptr, [&count](const fnd::Notification&) { ++count; }));
  }
  std::array<int, 3> m_counts{};
  std::vector<fnd::ScopedObserver> m_observers;
};

// What the window system reports when the application gains or loses the focus.
void sendApplicationState(Qt::ApplicationState state) {
  QApplicationStateChangeEvent event(state);
  QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
}

using Counts = std::array<int, 3>;

TEST(ApplicationLifecycle, ComingBackFromAnotherWindowOrFromMinimisedEntersTheForegroundOnceEach) {
  RingeplagvernAppDelegate delegate;
  connectLifecycle(delegate);
  ForegroundNotifications seen;
  const UseCount uses;
  delegate.didFinishLaunchingWithOptions();
  sendApplicationState(Qt::ApplicationActive);
  EXPECT_EQ(seen.counts(), (Counts{0, 0, 0})) << "the activation at launch is no return";
  ASSERT_TRUE(uses.becomes(1));

  sendApplicationState(Qt::ApplicationInactive);  // another window has the focus
  EXPECT_EQ(seen.counts(), (Counts{1, 0, 0}));
  sendApplicationState(Qt::ApplicationActive);
  sendApplicationState(Qt::ApplicationActive);
  EXPECT_EQ(seen.counts(), (Counts{1, 1, 1}));
  EXPECT_TRUE(uses.becomes(2));

  delegate.window()->showMinimized();
  EXPECT_EQ(seen.counts(), (Counts{2, 1, 1}));
  sendApplicationState(Qt::ApplicationInactive);
  sendApplicationState(Qt::ApplicationActive);  // still minimised: not back yet
  EXPECT_EQ(seen.counts(), (Counts{2, 1, 1}));
  delegate.window()->showNormal();
  EXPECT_EQ(seen.counts(), (Counts{2, 2, 2}));
  delegate.applicationWillTerminate();
}

TEST(ApplicationLifecycle, SigtermEndsTheApplicationThroughTheTerminationPath) {
  RingeplagvernAppDelegate delegate;
  connectLifecycle(delegate);
  dispatch::quitOnTerminationSignals();
  delegate.didFinishLaunchingWithOptions();
  // A settings change not yet written to disk.
  defaults::UserDefaults::standard().setInteger(ImportNumberKey, 400);
  ASSERT_FALSE(storedDefaults().contains("ImportNumberKey=400"));

  QTimer::singleShot(0, [] { ::kill(::getpid(), SIGTERM); });
  QTimer::singleShot(std::chrono::seconds(10), [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(storedDefaults().contains("ImportNumberKey=400"));
  EXPECT_EQ(store::StoreContext::defaultContext(), nullptr) << "the record store was closed";
}

}  // namespace

}  // namespace app
