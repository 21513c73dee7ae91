#pragma once
// Helpers for tests that wait on work handed to the main thread.

#include <chrono>
#include <functional>

namespace rp::test {

// Runs the main event loop until `condition` holds or `timeout` passes;
// returns whether it held.
bool runEventLoopUntil(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Runs the main event loop for `duration`.
void runEventLoopFor(std::chrono::milliseconds duration);

}  // namespace rp::test
