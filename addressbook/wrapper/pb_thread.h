#pragma once
// Block hand-over helpers of the wrapper's threads: run a block on a thread
// (inline when waiting from that thread itself), later, on the main thread,
// or in the background. Thread-safe.

#include "platform/dispatch/block_thread.h"

namespace pb {

namespace PBBlockAdditions {

void performBlock(dispatch::BlockThread& thread, dispatch::Block block, bool waitUntilDone = true);
// After `delay` seconds, from the calling thread's timers (the main loop when the
// caller is no dispatch thread), runs `block` on `thread`, waiting.
void performBlockAfterDelay(dispatch::BlockThread& thread, dispatch::Block block, double delay);
void performBlockOnMainThread(dispatch::Block block, bool waitUntilDone = true);
// Runs `block` on a new thread of its own; does not wait.
void performBlockInBackground(dispatch::Block block);

}  // namespace PBBlockAdditions

}  // namespace pb
