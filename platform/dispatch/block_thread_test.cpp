#include "platform/dispatch/block_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace dispatch {
namespace {

TEST(BlockThread, RunsBlocksFromManyProducersInSubmissionOrderPerProducer) {
  constexpr int kProducers = 4;
  constexpr int kBlocksEach = 5000;
  std::vector<std::vector<int>> seen(kProducers);
  std::atomic<int> concurrent{0};
  std::atomic<bool> overlapped{false};
  {
    BlockThread queue("ordering");
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
      producers.emplace_back([&, p] {
        for (int i = 0; i < kBlocksEach; ++i) {
          queue.async([&, p, i] {
            if (concurrent.fetch_add(1) != 0) overlapped = true;
            seen[p].push_back(i);
            concurrent.fetch_sub(1);
          });
        }
      });
    }
    for (auto& producer : producers) producer.join();
  }  // the destructor runs everything submitted before it ends the thread
  EXPECT_FALSE(overlapped);
  for (const auto& blocks : seen) {
    ASSERT_EQ(blocks.size(), static_cast<std::size_t>(kBlocksEach));
    for (int i = 0; i < kBlocksEach; ++i) ASSERT_EQ(blocks[i], i);
  }
}

TEST(BlockThread, WaitingFromItsOwnThreadRunsInlineAndNotWaitingRunsAfterCurrentWork) {
  BlockThread thread("reentrant");
  std::vector<std::string> steps;
  thread.sync([&] {
    steps.push_back("outer start");
    thread.async([&] { steps.push_back("queued"); });
    EXPECT_TRUE(thread.sync([&] { steps.push_back("inline"); }));
    EXPECT_TRUE(thread.isCurrent());
    EXPECT_EQ(BlockThread::current(), &thread);
    steps.push_back("outer end");
  });
  thread.sync([] {});
  EXPECT_EQ(steps, (std::vector<std::string>{"outer start", "inline", "outer end", "queued"}));
  EXPECT_FALSE(thread.isCurrent());
  EXPECT_EQ(BlockThread::current(), nullptr);
}

TEST(BlockThread, WaitingSubmitterReceivesTheBlocksException) {
  BlockThread thread("throws");
  EXPECT_THROW(thread.sync([] { throw std::runtime_error("boom"); }), std::runtime_error);
  EXPECT_TRUE(thread.sync([] {}));  // the thread survived
}

TEST(BlockThread, CancelledThreadEndsPromptlyDropsPendingWorkAndReleasesWaiters) {
  auto thread = std::make_unique<BlockThread>("cancelled");
  std::promise<void> started;
  std::atomic<bool> droppedBlockRan{false};
  thread->async([&] {
    started.set_value();
    std::this_thread::sleep_for(100ms);
  });
  started.get_future().wait();
  std::future<bool> waiter =
      std::async(std::launch::async, [&] { return thread->sync([&] { droppedBlockRan = true; }); });
  std::this_thread::sleep_for(20ms);  // let the waiter queue its block
  thread->scheduleTimer(10ms, true, [&] { droppedBlockRan = true; });

  const auto cancelledAt = std::chrono::steady_clock::now();
  thread->cancel();
  EXPECT_TRUE(thread->isCancelled());
  EXPECT_FALSE(waiter.get());
  thread.reset();  // joins
  EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, 1s);
  EXPECT_FALSE(droppedBlockRan);
}

TEST(BlockThread, TimersFireOnTheThreadRepeatAndStopWhenInvalidated) {
  BlockThread thread("timers");
  std::atomic<int> repeats{0};
  std::atomic<int> once{0};
  std::atomic<bool> onThread{true};
  const auto repeating = thread.scheduleTimer(5ms, true, [&] {
    if (!thread.isCurrent()) onThread = false;
    ++repeats;
  });
  thread.scheduleTimer(5ms, false, [&] { ++once; });
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (repeats < 3 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  thread.invalidateTimer(repeating);
  thread.sync([] {});
  const int afterInvalidation = repeats;
  std::this_thread::sleep_for(30ms);
  EXPECT_GE(afterInvalidation, 3);
  EXPECT_EQ(repeats, afterInvalidation);
  EXPECT_EQ(once, 1);
  EXPECT_TRUE(onThread);
}

TEST(BlockThread, LastOwnerReleasedFromItsOwnBlockDoesNotDeadlock) {
  auto* thread = new BlockThread("self-release");
  std::promise<void> released;
  thread->async([&] {
    delete thread;
    released.set_value();
  });
  EXPECT_EQ(released.get_future().wait_for(5s), std::future_status::ready);
}

// A thread whose end is announced once its BlockThread is gone.
struct AnnouncedThread {
  explicit AnnouncedThread(std::promise<void>& gone) : announcer{gone} {}
  struct Announcer {
    std::promise<void>& gone;
    ~Announcer() { gone.set_value(); }
  } announcer;                           // destroyed last,
  BlockThread thread{"captured-owner"};  // after the thread has ended
};

// Submits, through `submit`, a block that holds the only owner of its own
// thread once it runs; true when the thread then ends.
template <class Submit>
bool endsWhenItsBlockLetsGo(Submit submit) {
  std::promise<void> gone;
  std::promise<void> ownerDropped;
  std::shared_future<void> dropped = ownerDropped.get_future().share();
  auto owner = std::make_shared<AnnouncedThread>(gone);
  submit(owner->thread, [owner, dropped] { dropped.wait(); });
  owner.reset();
  ownerDropped.set_value();
  return gone.get_future().wait_for(5s) == std::future_status::ready;
}

TEST(BlockThread, LastOwnerHeldOnlyByABlockOrTimerEndsTheThreadWithoutDeadlock) {
  EXPECT_TRUE(endsWhenItsBlockLetsGo([](BlockThread& thread, Block block) { thread.async(std::move(block)); }));
  EXPECT_TRUE(endsWhenItsBlockLetsGo(
      [](BlockThread& thread, Block block) { thread.scheduleTimer(1ms, false, std::move(block)); }));
}

TEST(BlockThread, BlockOnANewSerialQueueRunsOnAThreadOfItsOwnNamedByTheLabel) {
  std::promise<std::string> ranOn;
  asyncOnNewSerialQueue("no.tindravik.Queue", [&] {
    BlockThread* current = BlockThread::current();
    ranOn.set_value(current ? current->name() : "<none>");
  });
  auto result = ranOn.get_future();
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(result.get(), "no.tindravik.Queue");
}

}  // namespace
}  // namespace dispatch
