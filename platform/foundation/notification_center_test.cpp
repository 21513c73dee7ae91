#include "platform/foundation/notification_center.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/dispatch/main_thread.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "tests/support/event_loop.h"

namespace fnd {
namespace {

TEST(NotificationCenter, DeliversByNameAndSenderOnThePostingThread) {
  NotificationCenter center;
  int fromA = 0, anySender = 0, allNames = 0;
  const int senderA = 0, senderB = 0;
  std::thread::id deliveredOn;
  center.addObserver("changed", &senderA, [&](const Notification&) { ++fromA; });
  center.addObserver("changed", nullptr, [&](const Notification&) {
    ++anySender;
    deliveredOn = std::this_thread::get_id();
  });
  center.addObserver("", nullptr, [&](const Notification&) { ++allNames; });
  center.post("changed", &senderA);
  center.post("changed", &senderB);
  center.post("other", &senderA);
  EXPECT_EQ(fromA, 1);
  EXPECT_EQ(anySender, 2);
  EXPECT_EQ(allNames, 3);
  std::thread([&] { center.post("changed"); }).join();
  EXPECT_NE(deliveredOn, std::this_thread::get_id());
}

TEST(NotificationCenter, TellsWhetherAPostWouldReachAnyone) {
  NotificationCenter center;
  const int senderA = 0, senderB = 0;
  EXPECT_FALSE(center.isObserved("changed", &senderA));
  auto fromA = center.addObserver("changed", &senderA, [](const Notification&) {});
  EXPECT_TRUE(center.isObserved("changed", &senderA));
  EXPECT_FALSE(center.isObserved("changed", &senderB));
  EXPECT_FALSE(center.isObserved("other", &senderA));
  auto everything = center.addObserver("", nullptr, [](const Notification&) {});
  EXPECT_TRUE(center.isObserved("other", &senderB));
  center.removeObserver(everything);
  center.removeObserver(fromA);
  EXPECT_FALSE(center.isObserved("changed", &senderA));
}

TEST(NotificationCenter, CarriesUserInfoAndStopsAfterRemoval) {
  NotificationCenter center;
  std::string seen;
  auto id = center.addObserver("n", nullptr, [&](const Notification& n) {
    seen = static_cast<String*>(n.userInfo->objectForKey(std::string_view("k")))->utf8();
  });
  auto info = ObjectDictionary::createMutable();
  info->setObject(str("v").get(), "k");
  center.post("n", nullptr, info);
  EXPECT_EQ(seen, "v");
  center.removeObserver(id);
  seen.clear();
  center.post("n", nullptr, info);
  EXPECT_EQ(seen, "");
}

TEST(NotificationCenter, HandlerMayRemoveObserversDuringDelivery) {
  NotificationCenter center;
  int second = 0;
  NotificationCenter::ObserverId secondId = 0;
  center.addObserver("n", nullptr, [&](const Notification&) { center.removeObserver(secondId); });
  secondId = center.addObserver("n", nullptr, [&](const Notification&) { ++second; });
  center.post("n");
  EXPECT_EQ(second, 0);  // removed before its turn came
}

TEST(NotificationCenter, PostOnMainThreadDeliversThereFromAWorker) {
  NotificationCenter center;
  std::atomic<bool> onMain{false};
  std::atomic<int> deliveries{0};
  ScopedObserver observer(center, center.addObserver("n", nullptr, [&](const Notification&) {
    onMain = dispatch::isMainThread();
    ++deliveries;
  }));
  std::thread([&] { center.postOnMainThread("n"); }).join();
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return deliveries == 1; }));
  EXPECT_TRUE(onMain);
  observer.reset();
  center.post("n");
  EXPECT_EQ(deliveries, 1);
}

}  // namespace
}  // namespace fnd
