#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QWidget>

#include "app/application_lifecycle.h"
#include "app/constants.h"
#include "app/root_view_controller.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "store/record_store.h"
#include "tests/support/event_loop.h"
#include "platform/uikit/navigation_bar.h"
#include "platform/uikit/status_bar.h"
#include "ui/rating_prompt.h"
#include "ui/rating_prompt_record.h"

namespace {

QByteArray storedDefaults() {
  QFile file(QString::fromStdString(defaults::UserDefaults::standard().filePath()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
  EXPECT_EQ(delegate.rootViewController()->geometry(), QRect(0, uikit::StatusBar::kHeight, 320, 480 - uikit::StatusBar::kHeight));
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
  const auto& store = defaults::UserDefaults::standard();
  delegate.didFinishLaunchingWithOptions();
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return store.integerForKey(RatingPromptRecord::kUseCount) == 1; }));
  delegate.applicationWillEnterForeground();
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return store.integerForKey(RatingPromptRecord::kUseCount) == 2; }));
}

TEST(AppDelegate, ResignActiveTakesTheRatingAlertAwayWithoutAChoice) {
  RingeplagvernAppDelegate delegate;
  delegate.didFinishLaunchingWithOptions();
  RatingPrompt::sharedInstance().showRatingAlert();
  const QPointer<uikit::AlertView> alert = RatingPrompt::sharedInstance().ratingAlert();
  ASSERT_TRUE(alert && alert->isVisible());
  EXPECT_EQ(alert->window(), delegate.window());
  delegate.applicationWillResignActive();
  EXPECT_FALSE(alert && alert->isVisible());
  EXPECT_FALSE(defaults::UserDefaults::standard().boolForKey(RatingPromptRecord::kDeclinedToRate));
}

TEST(ApplicationLifecycle, OnlyLeavingActiveResignsAndOnlyReturningFromTheBackgroundEntersForeground) {
  const auto events = [](Qt::ApplicationState from, Qt::ApplicationState to) {
    const LifecycleEvents e = lifecycleEventsForTransition(from, to);
    return std::pair(e.resignActive, e.enterForeground);
  };
  EXPECT_EQ(events(Qt::ApplicationActive, Qt::ApplicationInactive), std::pair(true, false));
  EXPECT_EQ(events(Qt::ApplicationActive, Qt::ApplicationHidden), std::pair(true, false));
  EXPECT_EQ(events(Qt::ApplicationInactive, Qt::ApplicationHidden), std::pair(false, false));
  EXPECT_EQ(events(Qt::ApplicationHidden, Qt::ApplicationActive), std::pair(false, true));
  EXPECT_EQ(events(Qt::ApplicationSuspended, Qt::ApplicationActive), std::pair(false, true));
  EXPECT_EQ(events(Qt::ApplicationInactive, Qt::ApplicationActive), std::pair(false, false));
}

}  // namespace
