// covers: reachability.cpp, interface_reachability.cpp
#include "platform/net/reachability.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/dispatch/block_thread.h"
#include "platform/net/interface_reachability.h"
#include "tests/support/event_loop.h"

namespace net {
namespace {

InterfaceState interfaceWith(const char* address, bool loopback = false) {
  InterfaceState state;
  state.up = true;
  state.running = true;
  state.loopback = loopback;
  state.addresses.append(QHostAddress(QString::fromLatin1(address)));
  return state;
}

TEST(InterfaceReachability, OnlyAWorkingInterfaceWithARoutableAddressReaches) {
  EXPECT_FALSE(reachabilityFromInterfaces({}).has_value()) << "no interface at all is no answer";

  const InterfaceState loopback = interfaceWith("127.0.0.1", true);
  EXPECT_FALSE(reachabilityFromInterfaces({loopback})->reachable);
  EXPECT_FALSE(reachabilityFromInterfaces({loopback, interfaceWith("fe80::1")})->reachable);
  EXPECT_FALSE(reachabilityFromInterfaces({interfaceWith("169.254.3.4")})->reachable);

  InterfaceState down = interfaceWith("192.168.1.20");
  down.up = false;
  InterfaceState notRunning = interfaceWith("192.168.1.20");
  notRunning.running = false;
  EXPECT_FALSE(reachabilityFromInterfaces({loopback, down, notRunning})->reachable);

  EXPECT_TRUE(reachabilityFromInterfaces({loopback, interfaceWith("192.168.1.20")})->reachable);
  EXPECT_TRUE(reachabilityFromInterfaces({interfaceWith("2001:db8::7")})->reachable);
  EXPECT_FALSE(reachabilityFromInterfaces({interfaceWith("10.0.0.2")})->connectionRequired);
}

TEST(Reachability, AnswersFromABackgroundQueueWhileTheMainThreadRuns) {
  // The main queue comes into being on the main thread, as in the
  // application, before the background queue hands anything to it.
  dispatch::asyncMain([] {});
  std::atomic<bool> answered{false};
  std::atomic<bool> hadFlags{false};
  dispatch::backgroundQueue().async([&] {
    hadFlags = Reachability::flagsForZeroAddress().has_value();
    answered = true;
  });
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return answered.load(); }));
  // Every machine that runs the tests has at least a loopback interface.
  EXPECT_TRUE(hadFlags);
  EXPECT_TRUE(Reachability::flagsForZeroAddress().has_value()) << "asked on the main thread itself";
}

}  // namespace
}  // namespace net
