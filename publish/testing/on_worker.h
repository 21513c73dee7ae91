#pragma once
// Test support: runs a blocking call the way the publisher does, on a worker
// queue, while the main thread keeps serving events (a loopback server in the
// test may live there). Main thread.

#include <QString>
#include <functional>

namespace publish::test {

// The call's result, or a line saying it did not return within a minute.
QString onWorker(const std::function<QString()>& call);

}  // namespace publish::test
