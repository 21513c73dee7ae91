#include "publish/testing/on_worker.h"

#include <chrono>
#include <memory>
#include <optional>

#include "platform/dispatch/block_thread.h"
#include "tests/support/event_loop.h"

namespace publish::test {

namespace {

constexpr std::chrono::seconds kWorkerDeadline{60};

}  // namespace

QString onWorker(const std::function<QString()>& call) {
  auto result = std::make_shared<std::optional<QString>>();
  dispatch::BlockThread worker("publish.test.worker");
  worker.async([call, result] {
    QString answer = call();
    dispatch::performOnMainThread([result, answer] { *result = answer; }, false);
  });
  if (!rp::test::runEventLoopUntil([&result] { return result->has_value(); }, kWorkerDeadline))
    return QStringLiteral("the call did not return in time");
  return **result;
}

}  // namespace publish::test
