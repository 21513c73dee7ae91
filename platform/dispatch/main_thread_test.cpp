#include "platform/dispatch/main_thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/dispatch/block_thread.h"
#include "tests/support/event_loop.h"

using namespace std::chrono_literals;

namespace dispatch {
namespace {

TEST(MainThread, IsTheApplicationThread) {
  EXPECT_TRUE(isMainThread());
  bool onWorker = true;
  std::thread([&] { onWorker = isMainThread(); }).join();
  EXPECT_FALSE(onWorker);
}

TEST(MainThread, WaitingOnTheMainThreadRunsInline) {
  bool ran = false;
  performOnMainThread([&] { ran = true; }, true);
  EXPECT_TRUE(ran);
}

TEST(MainThread, NotWaitingQueuesBehindCurrentWork) {
  std::vector<int> order;
  performOnMainThread([&] { order.push_back(2); }, false);
  asyncMain([&] { order.push_back(3); });
  order.push_back(1);
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return order.size() == 3; }));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(MainThread, ManyThreadsWaitingAtOnceAllRunOnTheMainThreadWithoutDeadlock) {
  constexpr int kThreads = 16;
  constexpr int kCallsEach = 50;
  std::atomic<int> ranOnMain{0};
  std::atomic<int> ranElsewhere{0};
  std::atomic<int> finishedThreads{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kCallsEach; ++i) {
        int observed = -1;
        performOnMainThread(
            [&] {
              (isMainThread() ? ranOnMain : ranElsewhere)++;
              observed = i;
            },
            true);
        EXPECT_EQ(observed, i);  // the caller sees the block's effect when it returns
      }
      ++finishedThreads;
    });
  }
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return finishedThreads == kThreads; }, 30s));
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(ranOnMain, kThreads * kCallsEach);
  EXPECT_EQ(ranElsewhere, 0);
}

TEST(MainThread, WorkerWaitingForTheMainThreadFinishes) {
  // The main thread never waits for a worker, so a worker waiting for the
  // main thread always finishes.
  BlockThread worker("worker");
  std::atomic<bool> reported{false};
  worker.async([&] { performOnMainThread([&] { reported = true; }, true); });
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return reported.load(); }));
}

TEST(MainThread, DelayedPerformanceWaitsAtLeastTheDelay) {
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point ranAt{};
  performAfterDelay(50ms, [&] { ranAt = std::chrono::steady_clock::now(); });
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return ranAt != std::chrono::steady_clock::time_point{}; }));
  EXPECT_GE(ranAt - start, 50ms);
}

}  // namespace
}  // namespace dispatch
