#include "addressbook/wrapper/pb_thread.h"

#include <chrono>

namespace pb {

namespace PBBlockAdditions {

namespace {
constexpr const char* kBackgroundThreadName = "PBBackground";
}  // namespace

void performBlock(dispatch::BlockThread& thread, dispatch::Block block, bool waitUntilDone) {
  if (!block) return;
  thread.perform(std::move(block), waitUntilDone);
}

void performBlockAfterDelay(dispatch::BlockThread& thread, dispatch::Block block, double delay) {
  const auto interval = std::chrono::milliseconds(static_cast<std::int64_t>(delay * 1000.0));
  auto hop = [&thread, block = std::move(block)] { performBlock(thread, block, true); };
  if (dispatch::BlockThread* current = dispatch::BlockThread::current())
    current->scheduleTimer(interval, false, std::move(hop));
  else
    dispatch::performAfterDelay(interval, std::move(hop));
}

void performBlockOnMainThread(dispatch::Block block, bool waitUntilDone) {
  if (block) dispatch::performOnMainThread(std::move(block), waitUntilDone);
}

void performBlockInBackground(dispatch::Block block) {
  // A thread per block: a block may wait for one handed over after it.
  if (block) dispatch::asyncOnNewSerialQueue(kBackgroundThreadName, std::move(block));
}

}  // namespace PBBlockAdditions

}  // namespace pb
