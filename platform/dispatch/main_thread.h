#pragma once
// The main thread is the Qt application thread. Work handed to it runs from
// the application's event loop, in the order it was handed over.

#include <chrono>
#include <functional>

namespace dispatch {

using Block = std::function<void()>;

// True on the application thread (before a QCoreApplication exists: on the
// thread that started the process).
bool isMainThread();

// Runs `block` on the main thread. With `waitUntilDone`, returns after it ran
// (and runs it inline when already on the main thread); otherwise returns at
// once and the block runs after the main thread's current work.
// REQUIRES: when waiting from another thread, the main thread must not be
// waiting for the caller, or the two deadlock.
void performOnMainThread(Block block, bool waitUntilDone);

// Queues `block` on the main thread without waiting, even from the main thread.
void asyncMain(Block block);

// Runs `block` on the main run loop after `delay`.
void performAfterDelay(std::chrono::milliseconds delay, Block block);

}  // namespace dispatch
